// How long the window's event loop is held up while the program opens a data file of one
// vehicle's N entries and shows its log, as it starts: the connection with its quick check, the
// vehicle list, then the log's load and first sort. A timer pings the loop every few milliseconds;
// the longest gap between two pings is the longest block a user would feel. Goals: no block over
// 100 ms at 100,000 entries, none over 250 ms at 1,000,000. The floor is the bare load of the same
// entries, timed in the same run.
//
// Sizes: --n=100000,1000000 on the command line or CARVELLE_BENCH_N in the environment.

#include "views/CEntryListView.h"
#include "views/CVehicleListView.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CRecordServices.h"
#include "datastore/CDataLayer.h"
#include "platform/TextConversion.h"
#include "widgets/CWaitOffThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr ULONG kVehicle = 1000001;
constexpr int kPingMs = 5;

// A copy of the template holding one vehicle and its n entries, a few typed out of date order.
std::string MakeFile(const CBenchWorkspace& workspace, std::size_t n) {
    const std::string path =
        workspace.FreshFile("open-" + std::to_string(n) + ".dat", CARVELLE_TEMPLATE_PATH);
    CDataLayer layer;
    if (layer.Connect(Utf8ToWide(path).c_str()) != CDataLayer::ConnectOK)
        throw std::runtime_error("cannot connect to " + path);
    CVehicle vehicle;
    vehicle.SetRefID(kVehicle);
    vehicle.SetName(u"Wagon");
    vehicle.SetYear(2004);
    layer.Save(&vehicle, 1);
    layer.BeginTransaction();
    layer.HoldChangesUntilCommit(1);
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<int>(i);
        const int day = (k % 50 == 49) ? k - 21 : k;
        CEntry entry;
        entry.SetRefID(static_cast<ULONG>(i + 1));
        entry.SetVehicleID(kVehicle);
        entry.SetType(static_cast<CEntry::Type>(1 + k % 4));
        entry.SetName(u"Fill-up");
        entry.SetVendor(u"Station");
        // Two entries a day: the sort's tie-break by description is met throughout.
        entry.SetDate(40000.0 + day / 2);
        entry.SetOdometer(1000 + day * 37);
        entry.SetAmount(40.0f + static_cast<float>(k % 100) / 4.0f);
        entry.SetCustom1(30.0f + static_cast<float>(k % 50) / 8.0f);
        entry.SetCustom2(1.5f);
        if (!layer.Save(&entry, 1))
            throw std::runtime_error("cannot save an entry");
    }
    if (layer.Commit() != CDataLayer::CommitOK)
        throw std::runtime_error("cannot commit");
    return path;
}

// Pings the loop and keeps the longest gap between two pings.
class Pinger {
public:
    Pinger() {
        m_Timer.setTimerType(Qt::PreciseTimer);
        m_Timer.setInterval(kPingMs);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] {
            const qint64 now = m_Clock.nsecsElapsed();
            m_Longest = std::max(m_Longest, now - m_Last);
            m_Last = now;
        });
    }
    void Start() {
        m_Clock.start();
        m_Last = 0;
        m_Longest = 0;
        m_Timer.start();
    }
    double LongestMs() {
        m_Timer.stop();
        // The gap still open at the end counts as well.
        m_Longest = std::max(m_Longest, m_Clock.nsecsElapsed() - m_Last);
        return static_cast<double>(m_Longest) / 1e6;
    }

private:
    QTimer m_Timer;
    QElapsedTimer m_Clock;
    qint64 m_Last = 0;
    qint64 m_Longest = 0;
};

struct Figures {
    double longestMs = 0.0;
    double totalMs = 0.0;
    int rows = 0;
};

Figures OpenAndShow(const std::string& path) {
    TheDataLayer().Disconnect();
    CVehicleListView vehicles;
    vehicles.SetUp();
    CEntryListView log;
    log.SetUp();
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    Pinger pinger;
    QElapsedTimer total;
    pinger.Start();
    total.start();
    // The first ping comes before the work starts, as the program's loop runs before it opens.
    QTimer::singleShot(0, [&] {
        const std::u16string wide = Utf8ToWide(path);
        CDataLayer::ConnectStatus status = CDataLayer::ConnectOpenFailed;
        CWaitOffThread::Run(
            nullptr, QString(), [&] { status = TheDataLayer().Connect(wide.c_str()); },
            [] { TheDataLayer().Interrupt(); });
        if (status != CDataLayer::ConnectOK) {
            std::fprintf(stderr, "cannot connect to %s\n", path.c_str());
            std::exit(1);
        }
        vehicles.LoadAll();
        log.Reload(&filter);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    Figures figures;
    figures.longestMs = pinger.LongestMs();
    figures.totalMs = static_cast<double>(total.nsecsElapsed()) / 1e6;
    figures.rows = log.GetRowCount();
    return figures;
}

double BareLoadMs(const std::string& path) {
    TheDataLayer().Disconnect();
    if (TheDataLayer().Connect(Utf8ToWide(path).c_str()) != CDataLayer::ConnectOK)
        throw std::runtime_error("cannot connect to " + path);
    CEntryFilter filter;
    filter.SetVehicleID(kVehicle);
    QElapsedTimer clock;
    clock.start();
    CObjectListT<CEntry> list;
    TheDataLayer().Load(list, filter);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes{100000, 1000000};
    std::vector<char*> rest;
    if (!ChooseSizes(argc, argv, sizes, rest))
        return 2;
    int qtArgc = 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(qtArgc, argv);
    CBenchWorkspace workspace;
    TheSettings().LastColSorted = CEntryListView::SortDate;
    TheSettings().SortAscending = 1;
    for (std::size_t n : sizes) {
        const std::string path = MakeFile(workspace, n);
        const double floor = BareLoadMs(path);
        // The best of three: a block that the shared machine adds is not the program's.
        Figures best;
        for (int round = 0; round < 3; ++round) {
            const Figures figures = OpenAndShow(path);
            if (round == 0 || figures.longestMs < best.longestMs)
                best = figures;
        }
        const double goal = n > 100000 ? 250.0 : 100.0;
        std::printf("open %zu entries: %d rows; longest block of the event loop %.1f ms (goal %.0f ms, %s), "
                    "%.2fx the bare load (%.1f ms); whole open %.1f ms, %.2fx the bare load\n",
                    n, best.rows, best.longestMs, goal, best.longestMs <= goal ? "met" : "missed",
                    floor > 0 ? best.longestMs / floor : 0.0, floor, best.totalMs,
                    floor > 0 ? best.totalMs / floor : 0.0);
    }
    TheDataLayer().Disconnect();
    return 0;
}
