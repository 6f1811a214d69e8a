// The Charts dialog as a user opens it on a log, and the charts of logs that go wrong.

#include "carvelle/views/LocalDayFixtures.h"
#include "carvelle/views/ViewsTestSupport.h"

#include "charts/CChartData.h"
#include "charts/CChartFactory.h"
#include "charts/CDlgCharts.h"

#include "core/CAppSettings.h"
#include "core/LocalDates.h"
#include "core/Units.h"
#include "records/CEntryFilter.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QValueAxis>

#include <memory>
#include <numeric>

namespace {

using Kind = CChartData::PeriodKind;

struct Logged {
    CEntry::Type type;
    QDate day;
    LONG odometer;
    float amount;
    float quantity = 0.0f;
    float price = 0.0f;
};

std::unique_ptr<CEntry> MakeEntry(const Logged& logged, ULONG vehicle) {
    auto entry = std::make_unique<CEntry>();
    entry->SetVehicleID(vehicle);
    entry->SetType(logged.type);
    entry->SetDate(LocalToOleDate(QDateTime(logged.day, QTime(12, 0))));
    entry->SetOdometer(logged.odometer);
    entry->SetAmount(logged.amount);
    entry->SetCustom1(logged.quantity);
    entry->SetCustom2(logged.price);
    return entry;
}

std::unique_ptr<CObjectListT<CEntry>> Log(const std::vector<Logged>& rows) {
    auto list = std::make_unique<CObjectListT<CEntry>>();
    for (const Logged& row : rows)
        list->Add(MakeEntry(row, 1).release());
    return list;
}

template <class T> T* Series(QChartView* view, const QString& name) {
    for (QAbstractSeries* series : view->chart()->series()) {
        if (series->objectName() == name)
            return qobject_cast<T*>(series);
    }
    return nullptr;
}

// Three months of a car: a fill-up typed with a slip of the odometer, one without a price.
const std::vector<Logged> kQuarter = {
    {CEntry::EntryFuel, QDate(2024, 1, 5), 1000, 30.0f, 10.0f, 3.0f},
    {CEntry::EntryFuel, QDate(2024, 1, 15), 1300, 31.0f, 10.0f, 3.1f},
    {CEntry::EntryFuel, QDate(2024, 1, 25), 1600, 38.4f, 12.0f, 3.2f},
    {CEntry::EntryFuel, QDate(2024, 2, 4), 1500, 16.5f, 5.0f, 3.3f},
    {CEntry::EntryRepair, QDate(2024, 2, 10), 1800, 250.0f},
    {CEntry::EntryFuel, QDate(2024, 2, 14), 1900, 34.0f, 10.0f, 3.4f},
    {CEntry::EntryFuel, QDate(2024, 3, 1), 2220, 28.0f, 8.0f, 3.5f},
    {CEntry::EntryTrip, QDate(2024, 3, 5), 2300, 67.0f},
    {CEntry::EntryExpense, QDate(2024, 3, 6), 2310, 15.0f},
    {CEntry::EntryFuel, QDate(2024, 3, 20), 2500, 21.0f, 7.0f, 0.0f},
};

class ChartsTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_Vehicle = StoreVehicle(u"Corolla", 2004);
    }

    void Store(const std::vector<Logged>& rows) {
        for (const Logged& row : rows) {
            std::unique_ptr<CEntry> entry = MakeEntry(row, m_Vehicle);
            ASSERT_EQ(TheDataLayer().Save(entry.get(), 0), 1);
        }
    }

    CEntryFilter Filter() const {
        CEntryFilter filter;
        filter.SetVehicleID(m_Vehicle);
        return filter;
    }

    ScopedTimeZone m_Zone{kNewYork};
    ScopedLocale m_Locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    ULONG m_Vehicle = 0;
};

} // namespace

TEST_F(ChartsTest, AQuarterOfALogDrawsEachSeriesWithItsPoints) {
    Store(kQuarter);
    CDlgCharts dialog(Filter(), QStringLiteral("Corolla 2004"));

    QChartView* economyView = dialog.ChartView(CChartData::ChartEconomy);
    auto* economy = Series<QLineSeries>(economyView, QStringLiteral("economy"));
    auto* average = Series<QLineSeries>(economyView, QStringLiteral("average"));
    ASSERT_TRUE(economy && average);
    // Every fill-up but the first and the slip; the average once five of them are in.
    EXPECT_EQ(economy->count(), 5);
    ASSERT_EQ(average->count(), 1);
    EXPECT_NEAR(average->at(0).y(), 1500.0 / 47.0, 1e-3); // their miles over their gallons
    EXPECT_EQ(
        dialog.Note(CChartData::ChartEconomy)->text(),
        QStringLiteral("Fill-ups without economy: 1 (no fuel, or a reading not above the one before)."));
    auto* price = Series<QLineSeries>(dialog.ChartView(CChartData::ChartPrice), QStringLiteral("price"));
    ASSERT_TRUE(price);
    EXPECT_EQ(price->count(), 6);

    auto* cost = Series<QStackedBarSeries>(dialog.ChartView(CChartData::ChartCost), QStringLiteral("cost"));
    ASSERT_TRUE(cost);
    ASSERT_EQ(cost->count(), CChartData::KindCount);
    for (QBarSet* set : cost->barSets())
        EXPECT_EQ(set->count(), 3);
    EXPECT_DOUBLE_EQ(cost->barSets()[CChartData::KindRepair]->at(1), 250.0);
    auto* per100 =
        Series<QBarSeries>(dialog.ChartView(CChartData::ChartCostPer100), QStringLiteral("per100"));
    ASSERT_TRUE(per100);
    EXPECT_NEAR(per100->barSets()[0]->at(1), 300.5 / 3.0, 1e-3);

    dialog.SetPeriodKind(Kind::Year);
    cost = Series<QStackedBarSeries>(dialog.ChartView(CChartData::ChartCost), QStringLiteral("cost"));
    ASSERT_TRUE(cost);
    EXPECT_EQ(cost->barSets()[CChartData::KindFuel]->count(), 1);

    // In litres per 100 km, where less is better, the average is still their fuel over their
    // distance, and the axis says so.
    TheSettings().UnitDistance = DistanceKilometres;
    TheSettings().UnitVolume = VolumeLitres;
    TheSettings().UnitFuelEconomy = EconomyLitresPer100Km;
    CDlgCharts metric(Filter(), QStringLiteral("Corolla 2004"));
    average = Series<QLineSeries>(metric.ChartView(CChartData::ChartEconomy), QStringLiteral("average"));
    ASSERT_TRUE(average);
    EXPECT_NEAR(average->at(0).y(), 47.0 * 100.0 / 1500.0, 1e-3);
    const auto axes = metric.ChartView(CChartData::ChartEconomy)->chart()->axes(Qt::Vertical);
    ASSERT_EQ(axes.size(), 1);
    EXPECT_EQ(axes[0]->titleText(), QStringLiteral("Economy (l/100 km)"));
    ResetSettings();

    // What the pointer shows over a point and a bar.
    EXPECT_EQ(
        CChartFactory::PointTip(CChartData::ChartEconomy, {CChartData::DayToX(QDate(2024, 3, 1)), 40.0}),
        QStringLiteral("3/1/24: 40.00 mi/gal"));
    EXPECT_EQ(
        CChartFactory::PointTip(CChartData::ChartPrice, {CChartData::DayToX(QDate(2024, 1, 15)), 3.599}),
        QStringLiteral("1/15/24: $3.599"));
    EXPECT_EQ(
        CChartFactory::BarTip(dialog.Data().CostBars(Kind::Month), Kind::Month, CChartData::KindRepair, 1),
        QStringLiteral("Feb 2024\nRepairs: $250.00\nTotal: $300.50"));
}

TEST_F(ChartsTest, ALongLogIsThinnedToThePixelsAndGroupedToTheBars) {
    // A fill-up a day for 20,000 days, with one fill-up of a gallon and one of thirty.
    std::vector<Logged> rows;
    for (int i = 0; i < 20000; ++i) {
        const float gallons = i == 7000 ? 1.0f : i == 9000 ? 30.0f : 10.0f;
        rows.push_back(
            {CEntry::EntryFuel, QDate(2000, 1, 1).addDays(i), 1000 + 300 * i, 30.0f, gallons, 3.0f});
    }
    auto log = Log(rows);
    CChartData data;
    data.Build(*log, CEntry::EntryNone, 400);

    ASSERT_LE(data.Economy().size(), 400u); // no more points than pixels
    const auto [lowest, highest] =
        std::minmax_element(data.Economy().begin(), data.Economy().end(),
                            [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    EXPECT_DOUBLE_EQ(lowest->y(), 10.0); // the extremes survive the thinning
    EXPECT_DOUBLE_EQ(highest->y(), 300.0);
    // ... but not the axis, which keeps to the rest and says so.
    EXPECT_LT(data.EconomyRange().second, 100.0);
    EXPECT_GT(data.EconomyRange().first, 20.0);
    EXPECT_TRUE(data.Note(CChartData::ChartEconomy, Kind::Month)
                    .startsWith(QLatin1String("Fill-ups far off the rest: 2")));

    // 658 months on 66 bars at most: a bar a year, and not a cent lost on the way.
    const CChartData::Bars& bars = data.CostBars(Kind::Month);
    EXPECT_EQ(bars.periodsPerBar, 12);
    ASSERT_EQ(bars.first.size(), 55u);
    EXPECT_EQ(bars.first[1], QDate(2001, 1, 1));
    EXPECT_NEAR(std::accumulate(bars.total.begin(), bars.total.end(), 0.0), 20000 * 30.0, 1e-6);
    EXPECT_EQ(data.Note(CChartData::ChartCost, Kind::Month), QStringLiteral("Each bar sums 12 months."));
    std::unique_ptr<QChart> chart = CChartFactory::Make(data, CChartData::ChartCost, Kind::Month, false, 800);
    EXPECT_EQ(qobject_cast<QAbstractBarSeries*>(chart->series().value(0))->barSets()[0]->count(), 55);

    // Thousands of fill-ups on one day: two points, one bar, an axis that is not a point.
    rows.clear();
    for (int i = 0; i < 5000; ++i)
        rows.push_back({CEntry::EntryFuel, QDate(2024, 6, 1), 1000 + 300 * i, 30.0f, 10.0f - (i % 3), 3.0f});
    log = Log(rows);
    data.Build(*log, CEntry::EntryNone, 400);
    EXPECT_EQ(data.Economy().size(), 2u);
    EXPECT_EQ(data.Note(CChartData::ChartPrice, Kind::Month),
              QStringLiteral("Every fill-up in this view is on one day, 6/1/24."));
    EXPECT_EQ(data.CostBars(Kind::Month).first.size(), 1u);
    chart = CChartFactory::Make(data, CChartData::ChartEconomy, Kind::Month, false, 800);
    const QList<QAbstractAxis*> axes = chart->axes(Qt::Horizontal);
    ASSERT_EQ(axes.size(), 1);
    auto* x = qobject_cast<QValueAxis*>(axes[0]);
    ASSERT_TRUE(x);
    EXPECT_LT(x->min(), x->max());
}

TEST_F(ChartsTest, ALogThatCannotBeDrawnGivesAnEmptyChartAndSaysWhy) {
    const QString noEntries = QStringLiteral("There are no entries in this view.");
    struct Case {
        const char* what;
        std::vector<Logged> rows;
        CEntry::Type shown;
        CChartData::Chart chart;
        QString note;
    };
    const std::vector<Case> cases = {
        {"nothing in the range", {}, CEntry::EntryNone, CChartData::ChartCost, noEntries},
        {"nothing in the range", {}, CEntry::EntryNone, CChartData::ChartEconomy, noEntries},
        {"no fill-ups",
         {{CEntry::EntryRepair, QDate(2024, 1, 5), 1000, 80.0f}},
         CEntry::EntryNone,
         CChartData::ChartPrice,
         QStringLiteral("There are no fill-ups in this view.")},
        {"repairs only in view",
         {{CEntry::EntryRepair, QDate(2024, 1, 5), 1000, 80.0f}},
         CEntry::EntryRepair,
         CChartData::ChartEconomy,
         QStringLiteral("The log's filter leaves the fill-ups out: choose all entries or fuel only.")},
        {"one fill-up",
         {{CEntry::EntryFuel, QDate(2024, 1, 5), 1000, 30.0f, 10.0f, 3.0f}},
         CEntry::EntryNone,
         CChartData::ChartEconomy,
         QStringLiteral("Fuel economy needs two fill-ups; this view has one.")},
        {"odometer going down",
         {{CEntry::EntryFuel, QDate(2024, 1, 5), 1000, 30.0f, 10.0f, 3.0f},
          {CEntry::EntryFuel, QDate(2024, 1, 9), 900, 30.0f, 10.0f, 3.0f}},
         CEntry::EntryNone,
         CChartData::ChartEconomy,
         QStringLiteral("No full fill-up has fuel and a reading above the full one before it, so there is no "
                        "economy to draw.")},
        {"a year with one entry",
         {{CEntry::EntryExpense, QDate(2024, 1, 5), 1000, 30.0f}},
         CEntry::EntryNone,
         CChartData::ChartCostPer100,
         QStringLiteral("No month reaches a distance of 100 mi, so there is no cost per 100 to draw.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto log = Log(c.rows);
        CChartData data;
        data.Build(*log, c.shown, 800);
        EXPECT_EQ(data.Note(c.chart, Kind::Month), c.note);
        EXPECT_TRUE(data.IsEmpty(c.chart, Kind::Month));
        EXPECT_TRUE(CChartFactory::Make(data, c.chart, Kind::Month, false, 800)->series().isEmpty());
    }

    // Money of a billion fits its axis and its tooltip.
    auto rich = Log({{CEntry::EntryRepair, QDate(2024, 1, 5), 1000, 1e9f}});
    CChartData data;
    data.Build(*rich, CEntry::EntryNone, 800);
    std::unique_ptr<QChart> chart = CChartFactory::Make(data, CChartData::ChartCost, Kind::Year, false, 800);
    auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(y);
    EXPECT_GE(y->max(), 1e9);
    EXPECT_EQ(CChartFactory::BarTip(data.CostBars(Kind::Year), Kind::Year, CChartData::KindRepair, 0),
              QStringLiteral("2024\nRepairs: $1,000,000,000.00\nTotal: $1,000,000,000.00"));
}

TEST_F(ChartsTest, TheChartsTakeTheDarkThemeWithADarkPalette) {
    Store(kQuarter);
    CDlgCharts dialog(Filter(), QStringLiteral("Corolla 2004"));
    EXPECT_EQ(dialog.ChartView(CChartData::ChartCost)->chart()->theme(), QChart::ChartThemeLight);
    QPalette dark = dialog.palette();
    dark.setColor(QPalette::Window, QColor(32, 32, 32));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dialog.setPalette(dark);
    for (int chart = 0; chart < CChartData::ChartCount; ++chart)
        EXPECT_EQ(dialog.ChartView(static_cast<CChartData::Chart>(chart))->chart()->theme(),
                  QChart::ChartThemeDark);
    // ... with its series still there.
    EXPECT_NE(Series<QLineSeries>(dialog.ChartView(CChartData::ChartEconomy), QStringLiteral("economy")),
              nullptr);
}

TEST_F(ChartsTest, TheChartInViewIsSavedAsPngOrSvg) {
    Store(kQuarter);
    CDlgCharts dialog(Filter(), QStringLiteral("Corolla 2004"));
    const QString folder = QString::fromStdString(m_File.Folder());

    m_Prompter.AnswerFile(folder + QStringLiteral("/economy"));
    dialog.OnSave();
    QImage image(folder + QStringLiteral("/economy.png"));
    EXPECT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 360);

    dialog.findChild<QTabWidget*>(QStringLiteral("charts"))->setCurrentIndex(CChartData::ChartCost);
    m_Prompter.AnswerFile(folder + QStringLiteral("/cost.SVG"));
    dialog.OnSave();
    QFile svg(folder + QStringLiteral("/cost.SVG"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));

    m_Prompter.AnswerFile(folder + QStringLiteral("/no such folder/cost.png"));
    dialog.OnSave();
    const auto messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              QStringLiteral("The chart could not be saved to %1/no such folder/cost.png.").arg(folder));
}
