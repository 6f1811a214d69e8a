// What keeping a data file safe costs and saves, each beside a floor measured in the same run:
//  - a backup of a data file of N entries (the copy into a new partial file, the integrity check
//    of the copy, the sync and the rename), against a plain copy of the file's bytes;
//  - with --corpus=K (or CARVELLE_BENCH_CORPUS), K damaged copies of one data file (bits flipped
//    at random in its pages, a row ID changed, a page overwritten), each repaired and each given to
//    the sqlite3 shell's ".recover": the entries each keeps, file by file, beside the rows a plain
//    scan of the damaged table reads. The shell is optional: the one built with
//    -DCARVELLE_SQLITE_SOURCE, else a "sqlite3" on the PATH; when its .recover does not work, that
//    comparison is left out and the run says why.
//
// Sizes: --n=100000 (the default); --corpus=300.

#include "datastore/CDataFileRepair.h"
#include "exchange/CDataFileBackup.h"
#include "platform/TextConversion.h"

#include "BenchSupport.h"

#include <QString>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

CBenchWorkspace* g_Workspace = nullptr;

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
}

// A data file of n entries over five vehicles, with its store ID already issued.
std::string DataFile(std::size_t n) {
    static std::map<std::size_t, std::string> made;
    if (auto found = made.find(n); found != made.end())
        return found->second;
    const std::string path =
        g_Workspace->FreshFile("entries-" + std::to_string(n) + ".dat", CARVELLE_TEMPLATE_PATH);
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    Exec(db, "BEGIN");
    Exec(db, "UPDATE MetaData SET Value=424242 WHERE ID=1");
    for (int v = 0; v < 5; ++v) {
        const std::string vehicle = "INSERT INTO Vehicle(RefID, Name) VALUES(" + std::to_string(1000 + v) +
                                    ", 'Vehicle " + std::to_string(v) + "')";
        Exec(db, vehicle.c_str());
    }
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO Entry VALUES(NULL,?1,'Fill-up number '||?1,'Notes for entry '||?1||', 50% full',"
        "46000.5,46000.5,45000+?1/10.0,1000+?1*37,1000+?1%5,1+?1%4,'Station',40.25,30.5,1.55)",
        -1, &insert, nullptr);
    for (std::size_t i = 1; i <= n; ++i) {
        sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i));
        if (sqlite3_step(insert) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    sqlite3_close(db);
    return made[n] = path;
}

void CopyBytes(benchmark::State& state, std::size_t n) {
    const std::string path = DataFile(n);
    const std::string copy = g_Workspace->Path("copy.dat");
    for (auto _ : state)
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void Backup(benchmark::State& state, std::size_t n) {
    const QString path = QString::fromStdString(DataFile(n));
    const QString copy = QString::fromStdString(g_Workspace->Path("backup.dat"));
    CDataFileBackup backup;
    backup.replace = true;
    for (auto _ : state) {
        if (backup.Backup(path, copy) != CDataFileBackup::ResultOK) {
            state.SkipWithError(backup.Problem().toStdString().c_str());
            break;
        }
    }
}

void PrintRatio(const CollectingReporter& reporter, const std::string& figure, const std::string& floor,
                const char* label, double target) {
    const auto f = reporter.seconds.find(figure);
    const auto b = reporter.seconds.find(floor);
    if (f != reporter.seconds.end() && b != reporter.seconds.end() && b->second.real > 0) {
        std::printf("  %-36s %10.3f ms, floor %9.3f ms, ratio %6.2f (target: <= %.1f)\n", label,
                    f->second.real * 1e3, b->second.real * 1e3, f->second.real / b->second.real, target);
    }
}

// The Entry rows in a file; -1 when it cannot be read.
long long EntryRows(const std::string& path) {
    sqlite3* db = nullptr;
    long long rows = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* count = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM Entry", -1, &count, nullptr) == SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW)
            rows = sqlite3_column_int64(count, 0);
        sqlite3_finalize(count);
    }
    sqlite3_close(db);
    return rows;
}

// The pages of the Entry table's leaves, and the page size.
std::vector<long long> EntryLeaves(const std::string& path, long long& pageSize) {
    std::vector<long long> pages;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        pageSize = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    if (sqlite3_prepare_v2(db, "SELECT pageno FROM dbstat WHERE name='Entry' AND pagetype='leaf'", -1,
                           &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW)
            pages.push_back(sqlite3_column_int64(statement, 0));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return pages;
}

// The damage of corpus file i: bits flipped anywhere, bits flipped in the Entry leaves, a row ID
// changed, or a leaf overwritten.
void Damage(const std::string& path, std::size_t i, const std::vector<long long>& leaves,
            long long pageSize) {
    std::mt19937 random(static_cast<unsigned>(i) * 2654435761u + 17u);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const long long size = file.tellg();
    auto pick = [&random](long long below) {
        return std::uniform_int_distribution<long long>(0, below - 1)(random);
    };
    auto flip = [&file](long long at, int bit) {
        char byte = 0;
        file.seekg(at);
        file.read(&byte, 1);
        byte = static_cast<char>(byte ^ (1 << bit));
        file.seekp(at);
        file.write(&byte, 1);
    };
    const long long leaf =
        (leaves[static_cast<std::size_t>(pick(static_cast<long long>(leaves.size())))] - 1) * pageSize;
    switch (i % 4) {
    case 0:
        for (int bits = 1 + static_cast<int>(pick(4)); bits > 0; --bits)
            flip(pick(size), static_cast<int>(pick(8)));
        break;
    case 1:
        for (int bits = 1 + static_cast<int>(pick(8)); bits > 0; --bits)
            flip(leaf + pick(pageSize), static_cast<int>(pick(8)));
        break;
    case 2: {
        // A row ID of two bytes: the first cell's, after its payload size.
        std::string page(static_cast<std::size_t>(pageSize), '\0');
        file.seekg(leaf);
        file.read(page.data(), pageSize);
        const auto byte = [&page](std::size_t at) { return static_cast<unsigned char>(page[at]); };
        const std::size_t cells = byte(3) << 8 | byte(4);
        const std::size_t pointer =
            8 + 2 * static_cast<std::size_t>(pick(static_cast<long long>(std::max<std::size_t>(cells, 1))));
        std::size_t at = static_cast<std::size_t>(byte(pointer) << 8 | byte(pointer + 1));
        while (at < page.size() && (byte(at) & 0x80))
            ++at;
        ++at;
        if (at < page.size())
            flip(leaf + static_cast<long long>(at), static_cast<int>(pick(7)));
        break;
    }
    default: {
        const std::string garbage(static_cast<std::size_t>(pageSize), static_cast<char>(pick(256)));
        file.seekp(leaf);
        file.write(garbage.data(), pageSize);
        break;
    }
    }
}

// The rows of Entry that a plain scan reads, page after page, up to the first it cannot.
long long PlainScanRows(const std::string& path) {
    sqlite3* db = nullptr;
    long long rows = 0;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* scan = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT * FROM Entry NOT INDEXED", -1, &scan, nullptr) == SQLITE_OK) {
            while (sqlite3_step(scan) == SQLITE_ROW)
                ++rows;
        }
        sqlite3_finalize(scan);
    }
    sqlite3_close(db);
    return rows;
}

// Gives the damaged file to the shell's .recover and the result to another shell.
void Recover(const std::string& shell, const std::string& damaged, const std::string& recovered) {
    const std::string command =
        shell + " '" + damaged + "' .recover 2>/dev/null | " + shell + " '" + recovered + "' >/dev/null 2>&1";
    [[maybe_unused]] const int status = std::system(command.c_str());
}

// The shell built from a SQLite source tree with the sqlite_dbpage table (CARVELLE_SQLITE_SOURCE),
// else the one on the PATH, when its .recover works; or empty with the reason.
std::string FindShell(std::string& why) {
#ifdef CARVELLE_RECOVER_SHELL
    const std::string shell = std::string("'") + CARVELLE_RECOVER_SHELL + "'";
#else
    const std::string shell = "sqlite3";
#endif
    if (std::system((shell + " -version >/dev/null 2>&1").c_str()) != 0) {
        why = "no sqlite3 shell at " + shell;
        return std::string();
    }
    const std::string probe = g_Workspace->Path("probe.db");
    const std::string out = g_Workspace->Path("probe-recovered.db");
    sqlite3* db = nullptr;
    sqlite3_open_v2(probe.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_exec(db, "CREATE TABLE Entry(x); INSERT INTO Entry VALUES(1),(2)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    Recover(shell, probe, out);
    if (EntryRows(out) != 2) {
        why = "the .recover of " + shell +
              " recovers nothing here (its library lacks the sqlite_dbpage table; see "
              "CARVELLE_SQLITE_SOURCE)";
        return std::string();
    }
    return shell;
}

void RunCorpus(std::size_t count) {
    constexpr long long kEntries = 3000;
    std::string why;
    const std::string shell = FindShell(why);
    const std::string base = DataFile(static_cast<std::size_t>(kEntries));
    long long pageSize = 4096;
    const std::vector<long long> leaves = EntryLeaves(base, pageSize);
    long long keptRepair = 0;
    long long keptRecover = 0;
    long long readPlain = 0;
    std::size_t behindPlain = 0;
    std::size_t behind = 0;
    std::size_t refused = 0;
    long long pieced = 0;
    std::size_t over = 0;
    std::size_t miscounted = 0;
    std::printf("\nRepair corpus: %zu damaged copies of a file of 3000 entries\n", count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string damaged = g_Workspace->Path("damaged.dat");
        const std::string repaired = g_Workspace->Path("repaired.dat");
        const std::string recovered = g_Workspace->Path("recovered.dat");
        std::filesystem::copy_file(base, damaged, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(repaired);
        std::filesystem::remove(recovered);
        Damage(damaged, i, leaves, pageSize);

        CDataFileRepair repair;
        long long byRepair = 0;
        if (repair.Run(Utf8ToWide(damaged).c_str(), Utf8ToWide(repaired).c_str()) ==
            CDataFileRepair::RepairOK)
            byRepair = std::max(0LL, EntryRows(repaired));
        else
            ++refused;
        keptRepair += byRepair;
        // A repair that keeps more rows than the file had would have made some up.
        over += byRepair > kEntries ? 1 : 0;
        for (const CDataFileRepair::TableCopy& table : repair.Tables()) {
            if (table.name != "Entry")
                continue;
            pieced += table.pieced;
            // Every row is either kept or counted as left out.
            miscounted += table.kept + table.skipped != kEntries ? 1 : 0;
        }
        const long long plain = PlainScanRows(damaged);
        readPlain += plain;
        if (byRepair < plain) {
            ++behindPlain;
            std::printf("  file %zu (damage kind %zu): repair %lld, plain scan %lld\n", i, i % 4, byRepair,
                        plain);
        }
        if (shell.empty())
            continue;
        Recover(shell, damaged, recovered);
        const long long byRecover = std::max(0LL, EntryRows(recovered));
        keptRecover += byRecover;
        if (byRepair < byRecover) {
            ++behind;
            std::printf("  file %zu (damage kind %zu): repair %lld, .recover %lld", i, i % 4, byRepair,
                        byRecover);
            for (const CDataFileRepair::TableCopy& table : repair.Tables()) {
                if (table.name == "Entry")
                    std::printf(" (left out %lld, damaged stretches %lld%s%s)",
                                static_cast<long long>(table.skipped),
                                static_cast<long long>(table.damagedStretches),
                                table.problem.empty() ? "" : ": ", table.problem.c_str());
            }
            std::printf("\n");
        }
    }
    std::printf(
        "  entries kept: repair %lld; read by a plain scan %lld, files where the repair kept fewer: %zu\n",
        keptRepair, readPlain, behindPlain);
    std::printf("  ");
    if (!shell.empty())
        std::printf(".recover %lld; files where the repair kept fewer: %zu; ", keptRecover, behind);
    std::printf("repairs refused: %zu\n", refused);
    std::printf("  entries pieced together from pages by the repair: %lld; files where it kept more than the "
                "%lld entries there were: %zu\n",
                pieced, kEntries, over);
    std::printf("  files whose kept and left-out entries do not add up to the %lld there were: %zu\n",
                kEntries, miscounted);
    if (shell.empty())
        std::printf("  (%s: the repair is not compared with .recover)\n", why.c_str());
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes{100000};
    std::vector<std::size_t> corpus;
    if (const char* env = std::getenv("CARVELLE_BENCH_CORPUS"))
        corpus = ParseSizes(env);
    std::vector<char*> args;
    if (const char* env = std::getenv("CARVELLE_BENCH_N"))
        sizes = ParseSizes(env);
    args = TakeSizeFlags(argc, argv, {{"--n=", &sizes}, {"--corpus=", &corpus}});
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    CBenchWorkspace workspace;
    g_Workspace = &workspace;
    for (std::size_t n : sizes) {
        const auto rounds = static_cast<benchmark::IterationCount>(std::max<std::size_t>(3, 100000 / n));
        Repeated(benchmark::RegisterBenchmark(BenchName("CopyBytes", n).c_str(), CopyBytes, n), rounds);
        Repeated(benchmark::RegisterBenchmark(BenchName("Backup", n).c_str(), Backup, n), rounds);
    }
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nAgainst the floor of this run:\n");
    for (std::size_t n : sizes)
        PrintRatio(reporter, BenchName("Backup", n), BenchName("CopyBytes", n),
                   ("backup, " + std::to_string(n) + " entries / copy").c_str(), 6.0);
    if (!corpus.empty())
        RunCorpus(corpus.front());
    benchmark::Shutdown();
    return 0;
}
