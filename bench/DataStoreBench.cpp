// The data store at N = 1,000, 10,000 and 100,000 entries: a list load of one vehicle's entries,
// a save of N new entries in one transaction and a sort by name, each beside the same work done
// by a plain SQLite loop on the same file (prepared statement, bound values, texts into
// std::u16string), which is the floor. At the end it prints each figure's ratio to its floor and
// the memory that the largest loaded list takes.
//
// Sizes: --n=1000,10000 on the command line or CARVELLE_BENCH_N=1000 in the environment.

#include "dorvane/datastore/CDataLayer.h"
#include "platform/TextConversion.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr ULONG kVehicle = 1000001;      // the vehicle whose entries are loaded
constexpr ULONG kOtherVehicle = 2000002; // every fifth entry belongs to this one

const char16_t* const kVendors[] = {u"Shell",          u"BP",           u"Chevron", u"Exxon",
                                    u"Station \u00DC", u"Garage O'Neil"};

// Owns a plain SQLite connection.
struct Db {
    explicit Db(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + path);
        }
    }
    ~Db() { sqlite3_close_v2(handle); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    void Exec(const char* sql) {
        if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(handle));
        }
    }
    sqlite3* handle = nullptr;
};

struct Stmt {
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &handle, nullptr) != SQLITE_OK) {
            throw std::runtime_error(std::string(sql) + ": " + sqlite3_errmsg(db));
        }
    }
    ~Stmt() { sqlite3_finalize(handle); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    sqlite3_stmt* handle = nullptr;
};

// What the floor keeps of one entry row.
struct EntryRow {
    std::int64_t id;
    std::int64_t refID;
    std::u16string name;
    std::u16string notes;
    double created;
    double modified;
    double date;
    int odometer;
    std::int64_t vehicleID;
    int type;
    std::u16string vendor;
    double amount;
    double custom1;
    double custom2;
};

// The entries a benchmark saves: as records for the library, as plain values for the floor.
std::vector<EntryRow> MakeRows(std::size_t count, ULONG firstRefID) {
    std::vector<EntryRow> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto n = static_cast<int>(i);
        EntryRow row;
        row.id = 0;
        row.refID = firstRefID + static_cast<ULONG>(i);
        row.name = u"Fill-up number " + Utf8ToWide(std::to_string(n));
        row.notes = u"Notes for entry " + Utf8ToWide(std::to_string(n)) + u", 50% full";
        row.created = 46000.0 + n / 1000.0;
        row.modified = row.created;
        row.date = 45000.0 + n / 10.0;
        row.odometer = 1000 + n * 37;
        row.vehicleID = (i % 5 == 4) ? kOtherVehicle : kVehicle;
        row.type = 1 + n % 4;
        row.vendor = kVendors[i % std::size(kVendors)];
        row.amount = 40.0 + (n % 100) / 4.0;
        row.custom1 = 30.0 + (n % 50) / 8.0;
        row.custom2 = 1.5 + (n % 20) / 100.0;
        rows.push_back(std::move(row));
    }
    return rows;
}

void InsertPlain(sqlite3* db, const std::vector<EntryRow>& rows) {
    Stmt insert(db, "INSERT INTO Entry VALUES(NULL,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    sqlite3_stmt* s = insert.handle;
    for (const EntryRow& row : rows) {
        sqlite3_bind_int64(s, 1, row.refID);
        sqlite3_bind_text16(s, 2, row.name.data(), static_cast<int>(row.name.size() * 2), SQLITE_STATIC);
        sqlite3_bind_text16(s, 3, row.notes.data(), static_cast<int>(row.notes.size() * 2), SQLITE_STATIC);
        sqlite3_bind_double(s, 4, row.created);
        sqlite3_bind_double(s, 5, row.modified);
        sqlite3_bind_double(s, 6, row.date);
        sqlite3_bind_int(s, 7, row.odometer);
        sqlite3_bind_int64(s, 8, row.vehicleID);
        sqlite3_bind_int(s, 9, row.type);
        sqlite3_bind_text16(s, 10, row.vendor.data(), static_cast<int>(row.vendor.size() * 2), SQLITE_STATIC);
        sqlite3_bind_double(s, 11, row.amount);
        sqlite3_bind_double(s, 12, row.custom1);
        sqlite3_bind_double(s, 13, row.custom2);
        if (sqlite3_step(s) != SQLITE_DONE) {
            throw std::runtime_error(sqlite3_errmsg(db));
        }
        sqlite3_reset(s);
    }
}

std::vector<std::unique_ptr<CEntry>> MakeRecords(const std::vector<EntryRow>& rows) {
    std::vector<std::unique_ptr<CEntry>> records;
    records.reserve(rows.size());
    for (const EntryRow& row : rows) {
        auto entry = std::make_unique<CEntry>();
        entry->SetRefID(static_cast<ULONG>(row.refID));
        entry->SetName(row.name.c_str());
        entry->SetNotes(row.notes.c_str());
        entry->SetDate(row.date);
        entry->SetOdometer(row.odometer);
        entry->SetVehicleID(static_cast<ULONG>(row.vehicleID));
        entry->SetType(static_cast<CEntry::Type>(row.type));
        entry->SetVendor(row.vendor.c_str());
        entry->SetAmount(static_cast<float>(row.amount));
        entry->SetCustom1(static_cast<float>(row.custom1));
        entry->SetCustom2(static_cast<float>(row.custom2));
        records.push_back(std::move(entry));
    }
    return records;
}

CBenchWorkspace* g_Workspace = nullptr;
std::map<std::size_t, std::string> g_LoadFiles; // N -> file with N entries of kVehicle (and N/4 others)

const std::string& LoadFile(std::size_t n) {
    auto found = g_LoadFiles.find(n);
    if (found != g_LoadFiles.end()) {
        return found->second;
    }
    const std::string path =
        g_Workspace->FreshFile("load-" + std::to_string(n) + ".dat", CARVELLE_TEMPLATE_PATH);
    Db db(path);
    db.Exec("BEGIN");
    InsertPlain(db.handle, MakeRows(n + n / 4, 1));
    db.Exec("COMMIT");
    return g_LoadFiles[n] = path;
}

// Benchmarks ----------------------------------------------------------------------------------

void LoadDorvane(benchmark::State& state, std::size_t n) {
    CDataLayer layer;
    if (layer.Connect(Utf8ToWide(LoadFile(n)).c_str()) != CDataLayer::ConnectOK) {
        state.SkipWithError("cannot connect");
        return;
    }
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    for (auto _ : state) {
        CObjectListT<CEntry> list;
        layer.Load(list, filter);
        benchmark::DoNotOptimize(list.GetCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(n));
}

void LoadFloor(benchmark::State& state, std::size_t n) {
    Db db(LoadFile(n));
    Stmt select(db.handle, "SELECT * FROM Entry WHERE VehicleID=?");
    sqlite3_stmt* s = select.handle;
    for (auto _ : state) {
        std::vector<EntryRow> rows;
        sqlite3_bind_int64(s, 1, kVehicle);
        while (sqlite3_step(s) == SQLITE_ROW) {
            EntryRow row;
            row.id = sqlite3_column_int64(s, 0);
            row.refID = sqlite3_column_int64(s, 1);
            row.name = static_cast<const char16_t*>(sqlite3_column_text16(s, 2));
            row.notes = static_cast<const char16_t*>(sqlite3_column_text16(s, 3));
            row.created = sqlite3_column_double(s, 4);
            row.modified = sqlite3_column_double(s, 5);
            row.date = sqlite3_column_double(s, 6);
            row.odometer = sqlite3_column_int(s, 7);
            row.vehicleID = sqlite3_column_int64(s, 8);
            row.type = sqlite3_column_int(s, 9);
            row.vendor = static_cast<const char16_t*>(sqlite3_column_text16(s, 10));
            row.amount = sqlite3_column_double(s, 11);
            row.custom1 = sqlite3_column_double(s, 12);
            row.custom2 = sqlite3_column_double(s, 13);
            rows.push_back(std::move(row));
        }
        sqlite3_reset(s);
        benchmark::DoNotOptimize(rows.size());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(n));
}

void InsertDorvane(benchmark::State& state, std::size_t n) {
    const std::vector<EntryRow> rows = MakeRows(n, 5000000);
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = g_Workspace->FreshFile("insert.dat", CARVELLE_TEMPLATE_PATH);
        std::vector<std::unique_ptr<CEntry>> records = MakeRecords(rows);
        CDataLayer layer;
        if (layer.Connect(Utf8ToWide(path).c_str()) != CDataLayer::ConnectOK) {
            state.SkipWithError("cannot connect");
            break;
        }
        state.ResumeTiming();

        layer.BeginTransaction();
        for (const auto& entry : records) {
            if (!layer.Save(entry.get(), 0)) {
                state.SkipWithError("save failed");
                break;
            }
        }
        if (layer.Commit() != CDataLayer::CommitOK) {
            state.SkipWithError("commit failed");
        }

        state.PauseTiming();
        layer.Disconnect();
        records.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(n));
}

void InsertFloor(benchmark::State& state, std::size_t n) {
    const std::vector<EntryRow> rows = MakeRows(n, 5000000);
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = g_Workspace->FreshFile("insert.dat", CARVELLE_TEMPLATE_PATH);
        auto db = std::make_unique<Db>(path);
        state.ResumeTiming();

        db->Exec("BEGIN IMMEDIATE");
        InsertPlain(db->handle, rows);
        db->Exec("COMMIT");

        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(n));
}

void SortDorvane(benchmark::State& state, std::size_t n) {
    std::vector<EntryRow> rows = MakeRows(n, 1);
    std::shuffle(rows.begin(), rows.end(), std::mt19937(42));
    for (auto _ : state) {
        state.PauseTiming();
        CObjectListT<CEntry> list;
        for (auto& entry : MakeRecords(rows)) {
            list.Add(entry.get());
            static_cast<void>(entry.release());
        }
        state.ResumeTiming();
        list.SortByName();
        state.PauseTiming();
        list.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(n));
}

// Results -------------------------------------------------------------------------------------

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
        }
    }
    return -1;
}

// Heap and peak resident memory taken by one loaded list of the largest size.
void ReportLoadMemory(std::size_t n) {
    CDataLayer layer;
    if (layer.Connect(Utf8ToWide(LoadFile(n)).c_str()) != CDataLayer::ConnectOK) {
        return;
    }
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    malloc_trim(0);
    {
        // Resets the peak resident size (VmHWM) where the kernel allows it.
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
    }
    const long peakBefore = StatusKiB("VmHWM");
    const long residentBefore = StatusKiB("VmRSS");
    const std::size_t heapBefore = mallinfo2().uordblks;
    CObjectListT<CEntry> list;
    layer.Load(list, filter);
    const std::size_t heapAfter = mallinfo2().uordblks;
    const long peakAfter = StatusKiB("VmHWM");
    std::printf("\nLoaded list of %d entries (N=%zu): heap in use %.1f MB; peak resident grew %.1f MB "
                "(VmHWM %ld -> %ld KiB, VmRSS before %ld KiB)\n",
                list.GetCount(), n, static_cast<double>(heapAfter - heapBefore) / 1e6,
                static_cast<double>(peakAfter - peakBefore) / 1024.0, peakBefore, peakAfter, residentBefore);
}

// "Load/Dorvane/1000".
std::string BenchName(const char* what, const char* who, std::size_t n) {
    std::string name(what);
    name += '/';
    name += who;
    return ::BenchName(name.c_str(), n);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    std::vector<char*> args;
    if (!ChooseSizes(argc, argv, sizes, args))
        return 2;
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    CBenchWorkspace workspace;
    g_Workspace = &workspace;

    for (std::size_t n : sizes) {
        // Fewer rounds for the larger sizes: one insert of 100,000 takes about a second.
        const auto rounds = static_cast<benchmark::IterationCount>(std::max<std::size_t>(3, 30000 / n));
        benchmark::RegisterBenchmark(BenchName("Load", "Dorvane", n).c_str(), LoadDorvane, n)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(rounds * 2);
        benchmark::RegisterBenchmark(BenchName("Load", "Floor", n).c_str(), LoadFloor, n)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(rounds * 2);
        benchmark::RegisterBenchmark(BenchName("Insert", "Dorvane", n).c_str(), InsertDorvane, n)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(rounds);
        benchmark::RegisterBenchmark(BenchName("Insert", "Floor", n).c_str(), InsertFloor, n)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(rounds);
        benchmark::RegisterBenchmark(BenchName("SortByName", "Dorvane", n).c_str(), SortDorvane, n)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(rounds);
    }

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nRatio of each figure to its plain SQLite floor (targets: load <= 1.3, insert <= 2.0):\n");
    for (std::size_t n : sizes) {
        for (const char* what : {"Load", "Insert"}) {
            const auto dorvane = reporter.seconds.find(BenchName(what, "Dorvane", n));
            const auto floor = reporter.seconds.find(BenchName(what, "Floor", n));
            if (dorvane != reporter.seconds.end() && floor != reporter.seconds.end() &&
                floor->second.real > 0 && floor->second.cpu > 0) {
                const auto& d = dorvane->second;
                const auto& f = floor->second;
                std::printf("  %-6s N=%-7zu real: Dorvane %9.3f ms, floor %9.3f ms, ratio %.2f;  "
                            "cpu: Dorvane %9.3f ms, floor %9.3f ms, ratio %.2f\n",
                            what, n, d.real * 1e3, f.real * 1e3, d.real / f.real, d.cpu * 1e3, f.cpu * 1e3,
                            d.cpu / f.cpu);
            }
        }
    }
    ReportLoadMemory(*std::max_element(sizes.begin(), sizes.end()));

    benchmark::Shutdown();
    return 0;
}
