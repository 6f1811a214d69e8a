// What the connect-time checks and the settings reader cost, each beside a floor measured in the
// same run:
//  - connecting to a data file of N entries (the schema check and the engine's quick check of
//    every page), against a full load of all N entries from the connected file;
//  - the full check (the engine's integrity check with every index, and the data file's own
//    rules), which runs at start in the background once the file changed, against the connect
//    and the full load; and its structural part, which checks every backup, against a plain copy
//    of the file's bytes;
//  - reading a settings file of M value names, against a plain read of the same file's bytes.
// At the end it prints each figure's ratio to its floor.
//
// Sizes: --entries=100000 and --names=40000,200000 (the defaults).

#include "dorvane/datastore/CDataFileCheck.h"
#include "dorvane/datastore/CDataLayer.h"
#include "platform/Registry.h"
#include "platform/TextConversion.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

CBenchWorkspace* g_Workspace = nullptr;

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
    }
}

// A data file of n entries over five vehicles, with its store ID already issued.
std::string DataFile(std::size_t n) {
    static std::map<std::size_t, std::string> made;
    if (auto found = made.find(n); found != made.end()) {
        return found->second;
    }
    const std::string path =
        g_Workspace->FreshFile("entries-" + std::to_string(n) + ".dat", CARVELLE_TEMPLATE_PATH);
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    Exec(db, "BEGIN");
    Exec(db, "UPDATE MetaData SET Value=424242 WHERE ID=1");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO Entry VALUES(NULL,?1,'Fill-up number '||?1,'Notes for entry '||?1||', 50% full',"
        "46000.5,46000.5,45000+?1/10.0,1000+?1*37,1000+?1%5,1+?1%4,'Station',40.25,30.5,1.55)",
        -1, &insert, nullptr);
    for (std::size_t i = 1; i <= n; ++i) {
        sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i));
        if (sqlite3_step(insert) != SQLITE_DONE) {
            throw std::runtime_error(sqlite3_errmsg(db));
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    sqlite3_close(db);
    return made[n] = path;
}

// A settings file of our key with m value names, in the registry editor's text form.
std::string SettingsFile(std::size_t m) {
    static std::map<std::size_t, std::string> made;
    if (auto found = made.find(m); found != made.end()) {
        return found->second;
    }
    const std::string path = g_Workspace->Path("settings-" + std::to_string(m) + ".reg");
    std::ofstream out(path, std::ios::binary);
    out << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Ferrox "
           "Software\\Carvelle]\n";
    char line[64];
    for (std::size_t i = 0; i < m; ++i) {
        std::snprintf(line, sizeof line, "\"Value%zu\"=dword:%08zx\n", i, i);
        out << line;
    }
    out << "\"UnitVolume\"=dword:00000001\n";
    return made[m] = path;
}

void Connect(benchmark::State& state, std::size_t n) {
    const std::u16string path = Utf8ToWide(DataFile(n));
    for (auto _ : state) {
        CDataLayer layer;
        if (layer.Connect(path.c_str()) != CDataLayer::ConnectOK) {
            state.SkipWithError("cannot connect");
            break;
        }
    }
}

void LoadAllEntries(benchmark::State& state, std::size_t n) {
    CDataLayer layer;
    if (layer.Connect(Utf8ToWide(DataFile(n)).c_str()) != CDataLayer::ConnectOK) {
        state.SkipWithError("cannot connect");
        return;
    }
    CEntryFilter all;
    for (auto _ : state) {
        CObjectListT<CEntry> list;
        layer.Load(list, all);
        if (static_cast<std::size_t>(list.GetCount()) != n) {
            state.SkipWithError("wrong count");
            break;
        }
    }
}

void FullCheck(benchmark::State& state, std::size_t n, CDataFileCheck::Scope scope) {
    const std::u16string path = Utf8ToWide(DataFile(n));
    for (auto _ : state) {
        CDataFileCheck check;
        if (check.Run(path.c_str(), scope) != CDataLayer::ConnectOK) {
            state.SkipWithError("the check failed");
            break;
        }
    }
}

void CopyBytes(benchmark::State& state, std::size_t n) {
    const std::string path = DataFile(n);
    const std::string copy = g_Workspace->Path("copy.dat");
    for (auto _ : state) {
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void ReadSettings(benchmark::State& state, std::size_t m) {
    const std::string path = SettingsFile(m);
    for (auto _ : state) {
        CRegistryKey key(path);
        if (!key.Open() || key.QueryDword("UnitVolume") != 1u) {
            state.SkipWithError("cannot read");
            break;
        }
    }
}

void ReadBytes(benchmark::State& state, std::size_t m) {
    const std::string path = SettingsFile(m);
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        benchmark::DoNotOptimize(bytes.str().size());
    }
}

void PrintRatio(const CollectingReporter& reporter, const std::string& figure, const std::string& floor,
                const char* label) {
    const auto f = reporter.seconds.find(figure);
    const auto b = reporter.seconds.find(floor);
    if (f != reporter.seconds.end() && b != reporter.seconds.end() && b->second.real > 0) {
        std::printf("  %-44s %10.3f ms, floor %9.3f ms, ratio %7.2f\n", label, f->second.real * 1e3,
                    b->second.real * 1e3, f->second.real / b->second.real);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> entries{100000};
    std::vector<std::size_t> names{40000, 200000};
    std::vector<char*> args = TakeSizeFlags(argc, argv, {{"--entries=", &entries}, {"--names=", &names}});
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    CBenchWorkspace workspace;
    g_Workspace = &workspace;
    for (std::size_t n : entries) {
        benchmark::RegisterBenchmark(BenchName("Connect", n).c_str(), Connect, n)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(BenchName("LoadAllEntries", n).c_str(), LoadAllEntries, n)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(BenchName("FullCheck", n).c_str(), FullCheck, n,
                                     CDataFileCheck::ScopeEverything)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(BenchName("StructureCheck", n).c_str(), FullCheck, n,
                                     CDataFileCheck::ScopeStructure)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(BenchName("CopyBytes", n).c_str(), CopyBytes, n)
            ->Unit(benchmark::kMillisecond);
    }
    for (std::size_t m : names) {
        benchmark::RegisterBenchmark(BenchName("ReadSettings", m).c_str(), ReadSettings, m)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(BenchName("ReadBytes", m).c_str(), ReadBytes, m)
            ->Unit(benchmark::kMillisecond);
    }

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nRatio of each figure to its floor (target: connect below 1, the full load):\n");
    for (std::size_t n : entries) {
        PrintRatio(reporter, BenchName("Connect", n), BenchName("LoadAllEntries", n),
                   ("connect, " + std::to_string(n) + " entries / load of all").c_str());
        PrintRatio(reporter, BenchName("FullCheck", n), BenchName("Connect", n),
                   ("full check, " + std::to_string(n) + " entries / connect").c_str());
        PrintRatio(reporter, BenchName("FullCheck", n), BenchName("LoadAllEntries", n),
                   ("full check, " + std::to_string(n) + " entries / load of all").c_str());
        PrintRatio(reporter, BenchName("StructureCheck", n), BenchName("CopyBytes", n),
                   ("backup's check, " + std::to_string(n) + " entries / copy").c_str());
    }
    for (std::size_t m : names) {
        PrintRatio(reporter, BenchName("ReadSettings", m), BenchName("ReadBytes", m),
                   ("settings reader, " + std::to_string(m) + " names / plain read").c_str());
    }
    benchmark::Shutdown();
    return 0;
}
