// The charts of one vehicle's N entries beside the bare CDataLayer::Load of the same entries (the
// floor): the figures and points behind the four charts (load, one pass by month and by year,
// thinned to a screen's width), and the same drawn: each chart made and painted into an image as
// a chart view of 960 x 600 shows it. The drawing should take no more than 0.3 s for 100,000.
//
// Sizes: --n=10000,100000 on the command line or CARVELLE_BENCH_N in the environment
// (default 10,000 and 100,000).

#include "charts/CChartData.h"
#include "charts/CChartFactory.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "datastore/CDataLayer.h"
#include "platform/TextConversion.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QPainter>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr ULONG kVehicle = 1000001;
constexpr int kScreenWidth = 1920;
constexpr QSize kViewSize(960, 600);

CBenchWorkspace* g_Workspace = nullptr;
std::map<std::size_t, std::string> g_Files;

// A copy of the template holding one vehicle's n entries, half of them fill-ups, a few typed out
// of date order, two a day.
const std::string& DataFile(std::size_t n) {
    if (auto found = g_Files.find(n); found != g_Files.end())
        return found->second;
    const std::string path =
        g_Workspace->FreshFile("charts-" + std::to_string(n) + ".dat", CARVELLE_TEMPLATE_PATH);
    CDataLayer layer;
    if (layer.Connect(Utf8ToWide(path).c_str()) != CDataLayer::ConnectOK)
        throw std::runtime_error("cannot connect to " + path);
    layer.BeginTransaction();
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<int>(i);
        const int day = (k % 50 == 49) ? k - 21 : k;
        CEntry entry;
        entry.SetRefID(static_cast<ULONG>(i + 1));
        entry.SetVehicleID(kVehicle);
        entry.SetType(k % 2 == 0 ? CEntry::EntryFuel : static_cast<CEntry::Type>(2 + (k / 2) % 3));
        entry.SetDate(40000.0 + day * 0.5);
        entry.SetOdometer(1000 + day * 37);
        entry.SetAmount(40.0f + static_cast<float>(k % 100) / 4.0f);
        entry.SetCustom1(2.0f + static_cast<float>(k % 50) / 8.0f);
        entry.SetCustom2(1.5f + static_cast<float>(k % 30) / 100.0f);
        if (!layer.Save(&entry, 0))
            throw std::runtime_error("cannot save an entry");
    }
    if (layer.Commit() != CDataLayer::CommitOK)
        throw std::runtime_error("cannot commit");
    return g_Files[n] = path;
}

std::optional<CEntryFilter> ConnectTo(benchmark::State& state, std::size_t n) {
    TheDataLayer().Disconnect();
    if (TheDataLayer().Connect(Utf8ToWide(DataFile(n)).c_str()) != CDataLayer::ConnectOK) {
        state.SkipWithError("cannot connect");
        return std::nullopt;
    }
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    return filter;
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
}

// Load, the figures by month and year, and the points and bars thinned to the screen.
void ChartData(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    for (auto _ : state) {
        CChartData data;
        if (!data.Load(TheRecords(), *filter, kScreenWidth)) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(data.Economy().size());
    }
}

// The same, then the four charts made and painted as a chart view shows them.
void ChartsDrawn(benchmark::State& state, std::size_t n) {
    std::optional<CEntryFilter> filter = ConnectTo(state, n);
    if (!filter)
        return;
    QImage image(kViewSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        CChartData data;
        if (!data.Load(TheRecords(), *filter, kScreenWidth)) {
            state.SkipWithError("load failed");
            break;
        }
        for (int chart = 0; chart < CChartData::ChartCount; ++chart) {
            QChartView view(CChartFactory::Make(data, static_cast<CChartData::Chart>(chart),
                                                CChartData::PeriodKind::Month, false, kViewSize.width())
                                .release());
            view.setRenderHint(QPainter::Antialiasing);
            view.resize(kViewSize);
            QPainter painter(&image);
            view.render(&painter);
        }
        benchmark::DoNotOptimize(image.bits());
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes{10000, 100000};
    std::vector<char*> args;
    if (!ChooseSizes(argc, argv, sizes, args))
        return 2;
    // The charts are widgets: they need an application, offscreen is enough.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    CBenchWorkspace workspace;
    g_Workspace = &workspace;

    for (std::size_t n : sizes) {
        const auto rounds = static_cast<benchmark::IterationCount>(std::max<std::size_t>(3, 100000 / n));
        const auto repeated = [rounds](benchmark::internal::Benchmark* bench) { Repeated(bench, rounds); };
        repeated(benchmark::RegisterBenchmark(BenchName("Load", n).c_str(), LoadFloor, n));
        repeated(benchmark::RegisterBenchmark(BenchName("ChartData", n).c_str(), ChartData, n));
        repeated(benchmark::RegisterBenchmark(BenchName("ChartsDrawn", n).c_str(), ChartsDrawn, n));
    }

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nAgainst the bare load of the same entries (target: the four charts drawn within 0.3 s "
                "for 100,000 entries):\n");
    PrintAgainstLoad(reporter, sizes, {"ChartData", "ChartsDrawn"});
    TheDataLayer().Disconnect();
    benchmark::Shutdown();
    return 0;
}
