#include "carvelle/views/LocalDayFixtures.h"
#include "carvelle/views/ViewsTestSupport.h"

#include "core/CFiguresOverTime.h"
#include "core/CQuickStats.h"
#include "core/CRecordServices.h"
#include "stats/CDlgQuickStats.h"
#include "stats/CQuickStatsListView.h"

#include "core/LocalDates.h"
#include "core/ResourceIds.h"

#include <QImage>
#include <QKeyEvent>
#include <QTest>

#include <string>

namespace {

// A day number as a stored date: 45000 is 14 March 2023.
constexpr double kDay0 = 45000.0;

class QuickStatsTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_Vehicle = StoreVehicle(u"Corolla", 2004);
    }

    void Add(CEntry::Type type, double day, LONG odometer, float amount, float quantity = 0.0f,
             const char16_t* vendor = u"", ULONG vehicle = 0, DWORD fillFlags = 0) {
        CEntry entry;
        // Our own reference IDs: issuing them searches the whole table once per entry.
        entry.SetRefID(++m_LastRefID);
        entry.SetVehicleID(vehicle != 0 ? vehicle : m_Vehicle);
        entry.SetType(type);
        entry.SetDate(kDay0 + day);
        entry.SetOdometer(odometer);
        entry.SetAmount(amount);
        entry.SetCustom1(quantity);
        entry.SetVendor(vendor);
        ASSERT_EQ(TheDataLayer().Save(&entry, 0), 1);
        if (fillFlags != 0) {
            ASSERT_EQ(TheDataLayer().SetFillFlags(&entry, fillFlags), 1);
        }
    }

    CQuickStats Compute(ULONG vehicle = 0, CEntry::Type type = CEntry::EntryNone) {
        CEntryFilter filter;
        filter.SetVehicleID(vehicle != 0 ? vehicle : m_Vehicle);
        filter.SetEntryType(type);
        CQuickStats stats;
        EXPECT_TRUE(stats.ComputeQuickStats(&filter));
        return stats;
    }

    ULONG m_Vehicle = 0;
    ULONG m_LastRefID = 0;
};

} // namespace

TEST_F(QuickStatsTest, ThreeFillUpsAndARepairGiveTheFiguresWhateverOrderTheyWereTypedIn) {
    Add(CEntry::EntryFuel, 0, 1000, 30.0f, 10.0f, u"Shell");
    Add(CEntry::EntryFuel, 10, 1300, 31.0f, 10.0f, u"BP");
    Add(CEntry::EntryRepair, 15, 1450, 100.0f);
    Add(CEntry::EntryFuel, 20, 1600, 39.0f, 12.0f, u"Exxon");
    const CQuickStats stats = Compute();

    EXPECT_NEAR(stats.AverageEconomy, 600.0f / 22.0f, 1e-4);
    EXPECT_FLOAT_EQ(stats.MostRecentEconomy, 25.0f);
    EXPECT_EQ(stats.PreviousVendor, QStringLiteral("BP"));
    EXPECT_FLOAT_EQ(stats.FuelConsumed, 22.0f);
    EXPECT_FLOAT_EQ(stats.TotalFuelVolume, 32.0f);
    EXPECT_NEAR(stats.ConsumptionRate, 22.0f / 6.0f, 1e-5);
    EXPECT_FLOAT_EQ(stats.FuelExpense, 100.0f);
    EXPECT_FLOAT_EQ(stats.OverallExpense, 200.0f);
    EXPECT_EQ(stats.Distance, 600);
    EXPECT_NEAR(stats.CostOfOwnership, 200.0f / 6.0f, 1e-4);
    EXPECT_EQ(stats.DateRangeText, QStringLiteral("All Dates"));

    // The same log typed in another order: the newest first, an earlier day typed in last.
    const ULONG other = StoreVehicle(u"Civic", 2010);
    Add(CEntry::EntryFuel, 20, 1600, 39.0f, 12.0f, u"Exxon", other);
    Add(CEntry::EntryRepair, 15, 1450, 100.0f, 0.0f, u"", other);
    Add(CEntry::EntryFuel, 0, 1000, 30.0f, 10.0f, u"Shell", other);
    Add(CEntry::EntryFuel, 10, 1300, 31.0f, 10.0f, u"BP", other);
    const CQuickStats typedLate = Compute(other);
    EXPECT_EQ(typedLate.PreviousVendor, stats.PreviousVendor);
    EXPECT_FLOAT_EQ(typedLate.AverageEconomy, stats.AverageEconomy);
    EXPECT_FLOAT_EQ(typedLate.MostRecentEconomy, stats.MostRecentEconomy);
    EXPECT_FLOAT_EQ(typedLate.FuelConsumed, stats.FuelConsumed);
    EXPECT_EQ(typedLate.Distance, stats.Distance);
}

TEST_F(QuickStatsTest, EconomyRunsFromFullTankToFullTankAndAReadingOf0CountsForMoneyOnly) {
    constexpr DWORD kPartial = CDataLayer::FillPartial;
    constexpr DWORD kMissed = CDataLayer::FillMissed;
    // A phone app's cost without a reading, before the log starts.
    Add(CEntry::EntryExpense, -40, 0, 50.0f);
    Add(CEntry::EntryFuel, 0, 1000, 30.0f, 10.0f, u"Shell");
    Add(CEntry::EntryFuel, 9, 1200, 12.0f, 4.0f, u"BP", 0, kPartial);
    Add(CEntry::EntryFuel, 14, 1300, 9.0f, 3.0f, u"Aral", 0, kPartial);
    Add(CEntry::EntryFuel, 19, 1500, 24.0f, 8.0f, u"Esso");             // 500 on 4 + 3 + 8
    Add(CEntry::EntryFuel, 31, 1900, 36.0f, 12.0f, u"Jet", 0, kMissed); // the leg before is unknown
    Add(CEntry::EntryFuel, 40, 2200, 30.0f, 10.0f, u"Total");           // 300 on 10
    const CQuickStats stats = Compute();
    EXPECT_NEAR(stats.AverageEconomy, 800.0f / 25.0f, 1e-4);
    EXPECT_FLOAT_EQ(stats.MostRecentEconomy, 30.0f);
    EXPECT_EQ(stats.PreviousVendor, QStringLiteral("Jet"));
    EXPECT_NEAR(stats.ConsumptionRate, 25.0f / 8.0f, 1e-5);
    EXPECT_FLOAT_EQ(stats.FuelConsumed, 37.0f);
    EXPECT_FLOAT_EQ(stats.TotalFuelVolume, 47.0f);
    EXPECT_FLOAT_EQ(stats.OverallExpense, 191.0f);
    EXPECT_EQ(stats.Distance, 1200);
    EXPECT_NEAR(stats.CostOfOwnership, 191.0f / 12.0f, 1e-4);

    // The figures over time, fill-up by fill-up and per month, by the same rule.
    CEntryFilter filter;
    filter.SetVehicleID(m_Vehicle);
    CFiguresOverTime figures;
    ASSERT_TRUE(figures.Compute(TheRecords(), filter, CFiguresOverTime::PeriodKind::Month));
    std::vector<std::optional<float>> economy;
    for (const CFiguresOverTime::FillUp& fillUp : figures.FillUps())
        economy.push_back(fillUp.Economy);
    ASSERT_EQ(economy.size(), 6u);
    EXPECT_EQ(economy[0], std::nullopt);
    EXPECT_EQ(economy[1], std::nullopt);
    EXPECT_EQ(economy[2], std::nullopt);
    EXPECT_NEAR(economy[3].value_or(0.0f), 500.0f / 15.0f, 1e-4);
    EXPECT_EQ(economy[4], std::nullopt);
    EXPECT_NEAR(economy[5].value_or(0.0f), 30.0f, 1e-4);
    EXPECT_TRUE(figures.FillUps()[1].Partial);
    EXPECT_TRUE(figures.FillUps()[4].Missed);
    EXPECT_NEAR(figures.AverageEconomy().value_or(0.0f), 32.0f, 1e-4);
    // The first month counts from its first reading above 0, not from the cost without one.
    ASSERT_FALSE(figures.Periods().empty());
    EXPECT_EQ(figures.Total().Distance, 1200);
    EXPECT_DOUBLE_EQ(figures.Total().TotalCost, 191.0);

    // Flags that leave no full tank to measure from give no figure rather than a wrong one.
    const ULONG other = StoreVehicle(u"Civic", 2010);
    Add(CEntry::EntryFuel, 0, 1000, 30.0f, 10.0f, u"", other, kPartial);
    Add(CEntry::EntryFuel, 5, 1000, 30.0f, 10.0f, u"", other);
    Add(CEntry::EntryFuel, 9, 900, 30.0f, 10.0f, u"", other, kMissed);
    const CQuickStats none = Compute(other);
    EXPECT_FALSE(none.AverageEconomy > 0.0f);
    EXPECT_FALSE(none.MostRecentEconomy > 0.0f);
    EXPECT_EQ(none.FigureText(1), QStringLiteral("N/A"));
    EXPECT_FLOAT_EQ(none.ConsumptionRate, 0.0f);
}

TEST_F(QuickStatsTest, DistanceAndCostOfOwnershipAtTheirBoundaries) {
    Add(CEntry::EntryRepair, 0, 1000, 250.0f);
    Add(CEntry::EntryRepair, 1, 1099, 250.0f);
    CQuickStats stats = Compute();
    EXPECT_EQ(stats.Distance, 99);
    EXPECT_FLOAT_EQ(stats.CostOfOwnership, 0.0f);

    Add(CEntry::EntryExpense, 2, 1100, 0.0f);
    EXPECT_FLOAT_EQ(Compute().CostOfOwnership, 500.0f);

    Add(CEntry::EntryExpense, 3, 1250, 0.0f);
    stats = Compute();
    EXPECT_EQ(stats.Distance, 250);
    EXPECT_FLOAT_EQ(stats.CostOfOwnership, 200.0f); // 500 over 2.5 hundreds, not over 2

    // A newest reading below the oldest (a slip of the finger) is no distance at all.
    Add(CEntry::EntryExpense, 4, 500, 0.0f);
    stats = Compute();
    EXPECT_EQ(stats.Distance, 0);
    EXPECT_FLOAT_EQ(stats.CostOfOwnership, 0.0f);
}

TEST_F(QuickStatsTest, TwentyThousandFillUpsAddUpWithoutDrift) {
    ASSERT_EQ(TheDataLayer().BeginTransaction(), 1);
    for (int i = 0; i < 20000; ++i)
        Add(CEntry::EntryFuel, i * 0.1, 1000 + i * 300, 45.67f, 45.67f);
    ASSERT_EQ(TheDataLayer().Commit(), CDataLayer::CommitOK);
    const CQuickStats stats = Compute();
    EXPECT_NEAR(stats.TotalFuelVolume, 913400.0f, 0.1f);
    EXPECT_NEAR(stats.FuelExpense, 913400.0f, 0.1f);
    EXPECT_NEAR(stats.OverallExpense, 913400.0f, 0.1f);
    EXPECT_NEAR(stats.FuelConsumed, 913400.0f - 45.67f, 0.1f);
}

TEST_F(QuickStatsTest, SparseLogsKeepTheirZerosAndNotAvailableFigures) {
    // No entries at all.
    CQuickStats empty = Compute();
    EXPECT_FLOAT_EQ(empty.AverageEconomy, 0.0f);
    EXPECT_FLOAT_EQ(empty.OverallExpense, 0.0f);
    EXPECT_EQ(empty.Distance, 0);
    EXPECT_FALSE(empty.ComputeQuickStats(nullptr));

    // One fill-up: no economy, nothing consumed, but its cost counts.
    Add(CEntry::EntryFuel, 0, 1000, 40.0f, 10.0f, u"Shell");
    CQuickStats one = Compute();
    EXPECT_FLOAT_EQ(one.AverageEconomy, -1.0f);
    EXPECT_FALSE(one.MostRecentEconomy > 0.0f);
    EXPECT_TRUE(one.PreviousVendor.isEmpty());
    EXPECT_FLOAT_EQ(one.FuelConsumed, 0.0f);
    EXPECT_FLOAT_EQ(one.TotalFuelVolume, 10.0f);
    EXPECT_FLOAT_EQ(one.FuelExpense, 40.0f);

    // Repairs only: no fuel figures, yet distance and cost still cover the repairs.
    Add(CEntry::EntryRepair, 1, 1100, 60.0f);
    Add(CEntry::EntryRepair, 2, 1400, 90.0f);
    CQuickStats repairs = Compute(0, CEntry::EntryRepair);
    EXPECT_FLOAT_EQ(repairs.AverageEconomy, -1.0f);
    EXPECT_FLOAT_EQ(repairs.FuelExpense, 0.0f);
    EXPECT_EQ(repairs.Distance, 300);
    EXPECT_FLOAT_EQ(repairs.OverallExpense, 150.0f);
    EXPECT_FLOAT_EQ(repairs.CostOfOwnership, 50.0f);

    // A newest fill-up with no quantity has no recent economy, even with older fill-ups.
    Add(CEntry::EntryFuel, 3, 1500, 10.0f, 0.0f);
    EXPECT_FLOAT_EQ(Compute().MostRecentEconomy, 0.0f);
}

TEST_F(QuickStatsTest, DateRangeTextShowsTheDaysTheUserChose) {
    const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const ScopedTimeZone zone(kNewYork);
    CEntryFilter filter;
    EXPECT_EQ(DateRangeText(&filter), QStringLiteral("All Dates"));

    // A custom range: the UTC instants of 1 March 00:00 and 31 March 23:59:59 in New York.
    filter.SetStartDate(LocalToSystemTime(QDate(2024, 3, 1).startOfDay()), 0);
    filter.SetEndDate(LocalToSystemTime(QDateTime(QDate(2024, 3, 31), QTime(23, 59, 59))), 0);
    filter.SetDateRangeType(CEntryFilter::DateRangeCustom);
    EXPECT_EQ(DateRangeText(&filter), QStringLiteral("3/1/24 - 3/31/24"));

    // Month to date on a pinned day: starts on the 1st, not on the last of February.
    const PinnedClock clock(MakeTime(2024, 3, 15, 12));
    filter.SetDateRangeType(CEntryFilter::DateRangeMonthToDate);
    EXPECT_EQ(DateRangeText(&filter), QStringLiteral("3/1/24 - 3/15/24"));
}

TEST_F(QuickStatsTest, TheDialogShowsEveryRowAndClosesOnDoneCancelEnterAndEscape) {
    const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    Add(CEntry::EntryFuel, 0, 1000, 30.0f, 10.0f, u"Shell");
    Add(CEntry::EntryFuel, 10, 1300, 31.0f, 10.0f, u"BP");
    Add(CEntry::EntryFuel, 20, 2600, 40.0f, 12.0f, u"Exxon");
    const CQuickStats stats = Compute();

    CDlgQuickStats dialog(stats);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("dlg214"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Quick Stats"));
    CQuickStatsListView* list = dialog.findChild<CQuickStatsListView*>(QStringLiteral("quickStatsList"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetRowCount(), 10);
    EXPECT_EQ(list->ContextMenuIndex(), -1);
    EXPECT_EQ(list->GetRowText(0), QStringLiteral("Date range:"));
    EXPECT_EQ(list->GetRowText(9), QStringLiteral("Cost of ownership:"));
    EXPECT_EQ(list->ValueText(0), QStringLiteral("All Dates"));
    EXPECT_EQ(list->ValueText(2), QStringLiteral("108.33 mi/gal (BP)"));
    EXPECT_EQ(list->ValueText(3), QStringLiteral("$3.16 per gal"));
    EXPECT_EQ(list->ValueText(4), QStringLiteral("1,600 miles"));
    EXPECT_EQ(list->ValueText(8), QStringLiteral("1.38 gal per 100 miles"));
    EXPECT_EQ(list->ValueText(9), QStringLiteral("$6.31 per 100 miles"));
    list->SetStats(nullptr);
    EXPECT_EQ(list->ValueText(4), QStringLiteral("N/A"));
    list->SetStats(&stats);

    // Drawn with the palette's roles: under a dark palette the selected first row uses its
    // highlight, the others its base.
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(40, 80, 160));
    dark.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    dialog.setPalette(dark);
    dialog.resize(480, 640);
    dialog.show();
    ASSERT_TRUE(list->IsRowSelected(0));
    const QImage image = list->viewport()->grab().toImage();
    const QRect first = list->RowRect(0);
    const QRect second = list->RowRect(1);
    // Right of the texts and clear of any focus frame.
    EXPECT_EQ(image.pixelColor(first.right() - 4, first.center().y()), QColor(40, 80, 160));
    EXPECT_EQ(image.pixelColor(second.right() - 4, second.center().y()), QColor(30, 30, 30));

    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_FALSE(dialog.isVisible());

    for (int command : {ID_DONE, ID_CANCEL}) {
        dialog.show();
        CScriptedPrompter::Press(dialog, command);
        EXPECT_EQ(dialog.result(), command);
    }
    dialog.show();
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), 2);
}
