// The log of one vehicle's N entries beside the bare CDataLayer::Load of the same entries (the
// floor): the entry list's reload (load, rows, sort by date) and its re-sorts, opening the file
// to the vehicle list, Quick Stats, the figures over time (load and the one pass by month), and
// the resident memory of the list against the loaded records alone. Quick Stats and the figures
// over time (the console tool's stats and report) are also set against one plain SQL aggregate
// over the same rows. Every seventh fill-up is partial, so the flags are read too.
//
// Sizes: --n=10000,100000 on the command line or CARVELLE_BENCH_N in the environment
// (default 10,000 and 100,000).

#include "core/CFiguresOverTime.h"
#include "core/CQuickStats.h"
#include "views/CEntryListView.h"
#include "views/CVehicleListView.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CRecordServices.h"
#include "datastore/CDataLayer.h"
#include "platform/TextConversion.h"

#include <QApplication>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr ULONG kVehicle = 1000001;

const char16_t* const kVendors[] = {u"Shell", u"BP", u"Chevron", u"Exxon", u"Station \u00DC"};

CBenchWorkspace* g_Workspace = nullptr;
std::map<std::size_t, std::string> g_Files;

// A copy of the template holding one vehicle's n entries of all four kinds, a few typed out of
// date order as a real log has them.
const std::string& DataFile(std::size_t n) {
    if (auto found = g_Files.find(n); found != g_Files.end())
        return found->second;
    const std::string path =
        g_Workspace->FreshFile("log-" + std::to_string(n) + ".dat", CARVELLE_TEMPLATE_PATH);
    CDataLayer layer;
    if (layer.Connect(Utf8ToWide(path).c_str()) != CDataLayer::ConnectOK)
        throw std::runtime_error("cannot connect to " + path);
    layer.BeginTransaction();
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<int>(i);
        // Every fiftieth entry is typed in late for a day three weeks back.
        const int day = (k % 50 == 49) ? k - 21 : k;
        CEntry entry;
        entry.SetRefID(static_cast<ULONG>(i + 1)); // issuing one searches the table each time
        entry.SetVehicleID(kVehicle);
        entry.SetType(static_cast<CEntry::Type>(1 + k % 4));
        entry.SetName(u"Fill-up");
        entry.SetNotes(u"Notes for the entry, 50% full");
        entry.SetDate(40000.0 + day * 0.5);
        entry.SetOdometer(1000 + day * 37);
        entry.SetVendor(kVendors[i % std::size(kVendors)]);
        entry.SetAmount(40.0f + static_cast<float>(k % 100) / 4.0f);
        entry.SetCustom1(30.0f + static_cast<float>(k % 50) / 8.0f);
        entry.SetCustom2(1.5f);
        if (!layer.Save(&entry, 0))
            throw std::runtime_error("cannot save an entry");
        if (k % 28 == 0 && !layer.SetFillFlags(&entry, CDataLayer::FillPartial))
            throw std::runtime_error("cannot flag an entry");
    }
    if (layer.Commit() != CDataLayer::CommitOK)
        throw std::runtime_error("cannot commit");
    return g_Files[n] = path;
}

// Connects to the file of n entries and gives the filter of its vehicle; skips the run when the
// file cannot be opened.
std::optional<CEntryFilter> ConnectTo(std::size_t n) {
    TheDataLayer().Disconnect();
    if (TheDataLayer().Connect(Utf8ToWide(DataFile(n)).c_str()) != CDataLayer::ConnectOK)
        return std::nullopt;
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    return filter;
}

std::optional<CEntryFilter> ConnectTo(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(n);
    if (!filter)
        state.SkipWithError("cannot connect");
    return filter;
}

void CountItems(benchmark::State& state, std::size_t n) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(n));
}

void LoadFloor(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    for (auto _ : state) {
        CObjectListT<CEntry> list;
        TheDataLayer().Load(list, *filter);
        benchmark::DoNotOptimize(list.GetCount());
    }
    CountItems(state, n);
}

// One SQL statement that sums the vehicle's entries, through the engine alone: what no figure can
// be cheaper than.
void AggregateFloor(benchmark::State& state, std::size_t n) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(DataFile(n).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        state.SkipWithError("cannot open");
        return;
    }
    const std::string sql = "SELECT COUNT(*), SUM(Amount), SUM(Custom1), MIN(Odometer), MAX(Odometer), "
                            "MIN(Date), MAX(Date) FROM Entry WHERE VehicleID=" +
                            std::to_string(kVehicle);
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
        if (sqlite3_step(statement) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_double(statement, 1));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    CountItems(state, n);
}

void QuickStats(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    for (auto _ : state) {
        CQuickStats stats;
        if (!stats.ComputeQuickStats(&*filter)) {
            state.SkipWithError("compute failed");
            break;
        }
        benchmark::DoNotOptimize(stats.OverallExpense);
    }
    CountItems(state, n);
}

// Load and the one pass that gives the rows per fill-up and per month.
void FiguresOverTime(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    for (auto _ : state) {
        CFiguresOverTime figures;
        if (!figures.Compute(TheRecords(), *filter, CFiguresOverTime::PeriodKind::Month)) {
            state.SkipWithError("compute failed");
            break;
        }
        benchmark::DoNotOptimize(figures.Total().TotalCost);
    }
    CountItems(state, n);
}

// The entry list's reload from the filter: load, one row per entry, sorted by date.
void EntryListReload(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    TheSettings().LastColSorted = CEntryListView::SortDate;
    CEntryListView list;
    list.SetUp();
    for (auto _ : state) {
        list.Reload(&*filter);
        benchmark::DoNotOptimize(list.GetRowCount());
    }
    CountItems(state, n);
}

// A re-sort of the loaded list by one column, alternating the direction as the menu does.
void EntryListSort(benchmark::State& state, std::size_t n, int column) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    TheSettings().LastColSorted = CEntryListView::SortDate;
    CEntryListView list;
    list.SetUp();
    list.Reload(&*filter);
    for (auto _ : state) {
        TheSettings().SortAscending ^= 1;
        list.SortItems(column);
        benchmark::DoNotOptimize(list.GetItemData(0));
    }
    CountItems(state, n);
}

// Opening the file to the vehicle list, as the program starts when no vehicle was active: the
// connection with its checks and the list of vehicles. Nothing of the entries is read for it.
void OpenToVehicleList(benchmark::State& state, std::size_t n) {
    const std::string path = DataFile(n);
    const std::u16string widePath = Utf8ToWide(path);
    CVehicleListView vehicles;
    vehicles.SetUp();
    for (auto _ : state) {
        TheDataLayer().Disconnect();
        if (TheDataLayer().Connect(widePath.c_str()) != CDataLayer::ConnectOK) {
            state.SkipWithError("cannot connect");
            break;
        }
        vehicles.LoadAll();
        benchmark::DoNotOptimize(vehicles.GetRowCount());
    }
}

// The first sort by description after a reload: the descriptions are formatted and ranked then,
// once per load; the re-sorts above reuse them.
void EntryListFirstDescriptionSort(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    TheSettings().LastColSorted = CEntryListView::SortDate;
    CEntryListView list;
    list.SetUp();
    for (auto _ : state) {
        state.PauseTiming();
        TheSettings().LastColSorted = CEntryListView::SortDate;
        list.Reload(&*filter);
        state.ResumeTiming();
        list.SortItems(CEntryListView::SortDescription);
        benchmark::DoNotOptimize(list.GetItemData(0));
    }
    CountItems(state, n);
}

// Bytes in use on the heap: unlike the resident size it does not hide memory that earlier rounds
// freed and this one reuses.
long HeapKiB() {
    return static_cast<long>(mallinfo2().uordblks / 1024);
}

// Heap memory of the loaded records alone, then of the list that shows them.
void ReportMemory(std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(n);
    if (!filter)
        return;
    const long before = HeapKiB();
    long records = 0;
    {
        CObjectListT<CEntry> loaded;
        TheDataLayer().Load(loaded, *filter);
        records = HeapKiB() - before;
    }
    const long released = HeapKiB();
    long view = 0;
    {
        CEntryListView list;
        list.SetUp();
        list.resize(480, 600);
        list.Reload(&*filter);
        list.doItemsLayout();
        view = HeapKiB() - released;
    }
    std::printf("  N=%-7zu heap: records alone %ld KiB, entry list with them %ld KiB, ratio %.2f "
                "(target: <= 2)\n",
                n, records, view,
                records > 0 ? static_cast<double>(view) / static_cast<double>(records) : 0.0);
}

const std::pair<const char*, int> kSortColumns[] = {{"SortDate", CEntryListView::SortDate},
                                                    {"SortOdometer", CEntryListView::SortOdometer},
                                                    {"SortAmount", CEntryListView::SortAmount},
                                                    {"SortDescription", CEntryListView::SortDescription}};

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes{10000, 100000};
    std::vector<char*> args;
    if (!ChooseSizes(argc, argv, sizes, args))
        return 2;
    // The list is a widget: it needs an application, offscreen is enough.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    CBenchWorkspace workspace;
    g_Workspace = &workspace;

    for (std::size_t n : sizes) {
        const auto rounds = static_cast<benchmark::IterationCount>(std::max<std::size_t>(5, 200000 / n));
        const auto repeated = [rounds](benchmark::internal::Benchmark* bench) { Repeated(bench, rounds); };
        repeated(benchmark::RegisterBenchmark(BenchName("Load", n).c_str(), LoadFloor, n));
        repeated(benchmark::RegisterBenchmark(BenchName("Aggregate", n).c_str(), AggregateFloor, n));
        repeated(benchmark::RegisterBenchmark(BenchName("QuickStats", n).c_str(), QuickStats, n));
        repeated(benchmark::RegisterBenchmark(BenchName("FiguresOverTime", n).c_str(), FiguresOverTime, n));
        repeated(benchmark::RegisterBenchmark(BenchName("EntryListReload", n).c_str(), EntryListReload, n));
        repeated(
            benchmark::RegisterBenchmark(BenchName("OpenToVehicleList", n).c_str(), OpenToVehicleList, n));
        for (const auto& [name, column] : kSortColumns)
            repeated(benchmark::RegisterBenchmark(BenchName(name, n).c_str(), EntryListSort, n, column));
        repeated(benchmark::RegisterBenchmark(BenchName("FirstSortDescription", n).c_str(),
                                              EntryListFirstDescriptionSort, n));
    }

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nAgainst the bare load of the same entries (targets: reload 1.5, quick stats 1.2, "
                "figures over time 1.2, re-sort by date/odometer/amount 0.15, by description 0.5; opening "
                "the file to the vehicle list under 100 ms):\n");
    const std::vector<const char*> measured = {
        "QuickStats",   "FiguresOverTime", "EntryListReload", "OpenToVehicleList",   "SortDate",
        "SortOdometer", "SortAmount",      "SortDescription", "FirstSortDescription"};
    PrintAgainstLoad(reporter, sizes, measured);
    std::printf("\nAgainst one SQL aggregate over the same rows (targets: quick stats and the figures "
                "over time 1.5 at 1,000,000 entries):\n");
    PrintAgainstLoad(reporter, sizes, {"QuickStats", "FiguresOverTime"}, "Aggregate");
    std::printf("\nMemory in use:\n");
    for (std::size_t n : sizes)
        ReportMemory(n);
    TheDataLayer().Disconnect();
    benchmark::Shutdown();
    return 0;
}
