// The charts of logs that go wrong: too long to draw every point, or nothing to draw.

#include "carvelle/charts/ChartsTestSupport.h"

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
