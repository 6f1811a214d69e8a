// CSV export and import of N entries against their floors in the same run: the export against
// the bare CDataLayer::Load of the same entries, the import (parse, check and insert in one
// transaction) against the plain Dorvane insert of the same entries and against the sqlite3
// shell's own ".import" of the same CSV into a plain table, and the heap in use while importing
// against the size of the file. The shell is optional: without a "sqlite3" on the PATH (or with
// CARVELLE_BENCH_NO_SHELL set) that comparison is left out and the run says so.
//
// Sizes: --n=10000,100000 on the command line or CARVELLE_BENCH_N in the environment
// (default 100,000).

#include "exchange/CEntryExporter.h"
#include "exchange/CEntryImporter.h"

#include "datastore/CDataLayer.h"
#include "platform/TextConversion.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr ULONG kVehicle = 1000001;
const char16_t* const kVendors[] = {u"Shell", u"BP", u"Chevron", u"Exxon", u"Station \u00DC, Main St"};

CBenchWorkspace* g_Workspace = nullptr;

// n entries of one vehicle, all four kinds, as records with their own reference IDs.
std::vector<std::unique_ptr<CEntry>> MakeEntries(std::size_t n) {
    std::vector<std::unique_ptr<CEntry>> entries;
    entries.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<int>(i);
        auto entry = std::make_unique<CEntry>();
        entry->SetRefID(static_cast<ULONG>(i + 1));
        entry->SetVehicleID(kVehicle);
        entry->SetType(static_cast<CEntry::Type>(1 + k % 4));
        entry->SetNotes(k % 3 == 0 ? u"Notes for the entry, 50% full" : u"");
        entry->SetName(k % 4 == 1 ? u"Oil change" : u"");
        entry->SetDate(40000.5 + k * 0.5);
        entry->SetOdometer(1000 + k * 37);
        entry->SetVendor(kVendors[i % std::size(kVendors)]);
        entry->SetAmount(40.0f + static_cast<float>(k % 100) / 4.0f);
        entry->SetCustom1(30.0f + static_cast<float>(k % 50) / 8.0f);
        entry->SetCustom2(1.5f);
        entries.push_back(std::move(entry));
    }
    return entries;
}

void Connect(CDataLayer& layer, const std::string& path) {
    if (layer.Connect(Utf8ToWide(path).c_str()) != CDataLayer::ConnectOK)
        throw std::runtime_error("cannot connect to " + path);
}

void SaveAll(CDataLayer& layer, const std::vector<std::unique_ptr<CEntry>>& entries) {
    layer.BeginTransaction();
    for (const auto& entry : entries) {
        entry->SetID(0);
        if (!layer.Save(entry.get(), 0))
            throw std::runtime_error("cannot save an entry");
    }
    if (layer.Commit() != CDataLayer::CommitOK)
        throw std::runtime_error("cannot commit");
}

// A data file with the vehicle and its n entries, and the CSV export of it.
struct Files {
    std::string data;
    QString csv;
};
std::map<std::size_t, Files> g_Files;

const Files& FilesFor(std::size_t n) {
    if (auto found = g_Files.find(n); found != g_Files.end())
        return found->second;
    Files files;
    files.data = g_Workspace->FreshFile("log-" + std::to_string(n) + ".dat", CARVELLE_TEMPLATE_PATH);
    CDataLayer layer;
    Connect(layer, files.data);
    CVehicle vehicle;
    vehicle.SetRefID(kVehicle);
    vehicle.SetName(u"Corolla");
    layer.Save(&vehicle, 0);
    SaveAll(layer, MakeEntries(n));
    files.csv = QString::fromStdString(g_Workspace->Path("log-" + std::to_string(n) + ".csv"));
    CEntryFilter all;
    if (!CEntryExporter(layer).WriteFile(all, files.csv))
        throw std::runtime_error("cannot export");
    return g_Files[n] = files;
}

void CountItems(benchmark::State& state, std::size_t n) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(n));
}

void LoadFloor(benchmark::State& state, std::size_t n) {
    CDataLayer layer;
    Connect(layer, FilesFor(n).data);
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    for (auto _ : state) {
        CObjectListT<CEntry> list;
        layer.Load(list, filter);
        benchmark::DoNotOptimize(list.GetCount());
    }
    CountItems(state, n);
}

void Export(benchmark::State& state, std::size_t n) {
    CDataLayer layer;
    Connect(layer, FilesFor(n).data);
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    const QString out = QString::fromStdString(g_Workspace->Path("export.csv"));
    for (auto _ : state) {
        CEntryExporter exporter(layer);
        if (!exporter.WriteFile(filter, out)) {
            state.SkipWithError("export failed");
            break;
        }
        benchmark::DoNotOptimize(exporter.Count());
    }
    CountItems(state, n);
}

void InsertFloor(benchmark::State& state, std::size_t n) {
    const std::vector<std::unique_ptr<CEntry>> entries = MakeEntries(n);
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = g_Workspace->FreshFile("insert.dat", CARVELLE_TEMPLATE_PATH);
        CDataLayer layer;
        Connect(layer, path);
        state.ResumeTiming();
        SaveAll(layer, entries);
        state.PauseTiming();
        layer.Disconnect();
        state.ResumeTiming();
    }
    CountItems(state, n);
}

// Parse, check and insert the CSV of n entries into a file that holds only the vehicle.
CEntryImporter::Result ImportInto(const std::string& path, const QString& csv,
                                  const CEntryImporter::Progress& progress) {
    CDataLayer layer;
    Connect(layer, path);
    CEntryImporter importer(layer);
    if (!importer.Open(csv))
        return CEntryImporter::ResultFailed;
    return importer.Import(progress);
}

void Import(benchmark::State& state, std::size_t n) {
    const QString csv = FilesFor(n).csv;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string path = g_Workspace->FreshFile("import.dat", CARVELLE_TEMPLATE_PATH);
        state.ResumeTiming();
        if (ImportInto(path, csv, nullptr) != CEntryImporter::ResultOK) {
            state.SkipWithError("import failed");
            break;
        }
    }
    CountItems(state, n);
}

// The sqlite3 shell on the PATH, or empty.
std::string FindShell() {
    if (std::getenv("CARVELLE_BENCH_NO_SHELL"))
        return {};
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/sqlite3";
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

std::string g_Shell;
// The shell's processor time per run, by size: on a busy machine the clock says less than this.
std::map<std::size_t, std::vector<double>> g_ShellCpu;

// The shell's own import of the same CSV into a new, plain table of a new file, the process
// started and ended in the time.
void ShellImport(benchmark::State& state, std::size_t n) {
    const std::string csv = FilesFor(n).csv.toStdString();
    const std::string db = g_Workspace->Path("shell.db");
    const std::string command = ".import " + csv + " t";
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(db.c_str());
        state.ResumeTiming();
        const pid_t child = fork();
        if (child == 0) {
            execl(g_Shell.c_str(), "sqlite3", "-batch", "-csv", db.c_str(), command.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        while (child > 0 && wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        g_ShellCpu[n].push_back(static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6);
        if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the sqlite3 shell failed");
            break;
        }
    }
    CountItems(state, n);
}

long HeapBytes() {
    return static_cast<long>(mallinfo2().uordblks);
}

// The most heap in use during an import of the n-row file, sampled at every progress report,
// beside the file's size.
void ReportMemory(std::size_t n) {
    const QString csv = FilesFor(n).csv;
    const std::string path = g_Workspace->FreshFile("memory.dat", CARVELLE_TEMPLATE_PATH);
    malloc_trim(0);
    const long before = HeapBytes();
    long peak = before;
    ImportInto(path, csv, [&](qint64, qint64) {
        peak = std::max(peak, HeapBytes());
        return true;
    });
    peak = std::max(peak, HeapBytes());
    const double size = static_cast<double>(QFileInfo(csv).size());
    std::printf(
        "  N=%-7zu file %.1f MB, heap in use while importing grew %.1f MB, ratio %.2f (target: < 3)\n", n,
        size / 1e6, static_cast<double>(peak - before) / 1e6, static_cast<double>(peak - before) / size);
}

void PrintRatio(const CollectingReporter& reporter, const char* what, const char* floor, std::size_t n,
                double target, bool realOnly = false) {
    const auto measured = reporter.seconds.find(BenchName(what, n));
    const auto base = reporter.seconds.find(BenchName(floor, n));
    if (measured == reporter.seconds.end() || base == reporter.seconds.end() || base->second.real <= 0 ||
        (!realOnly && base->second.cpu <= 0))
        return;
    if (realOnly) {
        // The floor runs in another process: its processor time is the median of its runs.
        std::vector<double> cpu = g_ShellCpu[n];
        std::sort(cpu.begin(), cpu.end());
        const double median = cpu.empty() ? 0.0 : cpu[cpu.size() / 2];
        std::printf(
            "  %-6s N=%-7zu real %9.3f ms, %s %9.3f ms, ratio %.2f;  cpu ratio %.2f (target: <= %.1f)\n",
            what, n, measured->second.real * 1e3, floor, base->second.real * 1e3,
            measured->second.real / base->second.real, median > 0 ? measured->second.cpu / median : 0.0,
            target);
        return;
    }
    std::printf("  %-6s N=%-7zu real %9.3f ms, %s %9.3f ms, ratio %.2f;  cpu ratio %.2f (target: <= %.1f)\n",
                what, n, measured->second.real * 1e3, floor, base->second.real * 1e3,
                measured->second.real / base->second.real, measured->second.cpu / base->second.cpu, target);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes{100000};
    std::vector<char*> args;
    if (!ChooseSizes(argc, argv, sizes, args))
        return 2;
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    CBenchWorkspace workspace;
    g_Workspace = &workspace;
    g_Shell = FindShell();

    for (std::size_t n : sizes) {
        const auto rounds = static_cast<benchmark::IterationCount>(std::max<std::size_t>(3, 30000 / n));
        const auto repeated = [rounds](benchmark::internal::Benchmark* bench) { Repeated(bench, rounds); };
        repeated(benchmark::RegisterBenchmark(BenchName("Load", n).c_str(), LoadFloor, n));
        repeated(benchmark::RegisterBenchmark(BenchName("Export", n).c_str(), Export, n));
        // One insert of 100,000 takes about a second: fewer rounds.
        const auto inserts = static_cast<benchmark::IterationCount>(std::max<std::size_t>(1, 3000 / n));
        for (const auto& [name, run] : {std::pair{"Insert", &InsertFloor}, std::pair{"Import", &Import}})
            Repeated(benchmark::RegisterBenchmark(BenchName(name, n).c_str(), run, n), inserts);
        if (!g_Shell.empty())
            Repeated(
                benchmark::RegisterBenchmark(BenchName("Shell", n).c_str(), ShellImport, n)->UseRealTime(),
                inserts);
    }

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nAgainst the floors of this run:\n");
    for (std::size_t n : sizes) {
        PrintRatio(reporter, "Export", "Load", n, 1.5);
        PrintRatio(reporter, "Import", "Insert", n, 2.0);
        PrintRatio(reporter, "Import", "Shell", n, 2.5, true);
    }
    if (g_Shell.empty())
        std::printf("  (no sqlite3 shell on the PATH: the import is not compared with its .import)\n");
    std::printf("\nMemory:\n");
    for (std::size_t n : sizes)
        ReportMemory(n);
    benchmark::Shutdown();
    return 0;
}
