// The Charts dialog as a user opens it on a log.

#include "carvelle/charts/ChartsTestSupport.h"

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
