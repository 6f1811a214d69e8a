#include "core/CFiguresOverTime.h"

#include "carvelle/core/FiguresOverTimeTestSupport.h"
#include "carvelle/support/LocalDayFixtures.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/LocalDates.h"
#include "core/Units.h"

#include <gtest/gtest.h>

TEST_F(FiguresOverTimeTest, MonthsOfALogInNewYorkWithAnEmptyMonthAndLowerReadings) {
    ScopedTimeZone zone(kNewYork);
    CObjectListT<CEntry> log;
    // Typed out of date order, as a real log is.
    Add(log, CEntry::EntryFuel, At(2024, 3, 5), 1400, 42.0f, 12.0f, 3.5f);
    Add(log, CEntry::EntryFuel, At(2024, 1, 10), 1000, 30.0f, 10.0f, 3.0f);
    Add(log, CEntry::EntryRepair, At(2024, 1, 31, 20), 1150, 200.0f);     // 1 February in UTC
    Add(log, CEntry::EntryExpense, At(2024, 1, 20), 100, 0.0f);           // a slip for 1100
    Add(log, CEntry::EntryFuel, At(2024, 3, 20), 150, 17.5f, 5.0f, 3.5f); // a slip for 1500
    Add(log, CEntry::EntryTrip, At(2024, 4, 2), 1700, 36.0f);
    Add(log, CEntry::EntryExpense, At(2024, 4, 2), 1700, 100.0f);
    Add(log, CEntry::EntryFuel, At(2024, 4, 30, 23), 1900, 35.0f, 10.0f, 3.5f); // 1 May in UTC

    CFiguresOverTime figures;
    figures.Compute(log, Kind::Month);

    const auto& periods = figures.Periods();
    ASSERT_EQ(periods.size(), 4u);
    EXPECT_EQ(periods[0].First, QDate(2024, 1, 1));
    EXPECT_EQ(periods[3].First, QDate(2024, 4, 1));

    // January counts from its first reading, not from the slip below it.
    EXPECT_EQ(periods[0].Entries, 3);
    EXPECT_EQ(periods[0].Distance, 150);
    EXPECT_DOUBLE_EQ(periods[0].FuelVolume, 10.0);
    EXPECT_DOUBLE_EQ(periods[0].FuelCost, 30.0);
    EXPECT_DOUBLE_EQ(periods[0].RepairCost, 200.0);
    EXPECT_DOUBLE_EQ(periods[0].TotalCost, 230.0);
    EXPECT_NEAR(*periods[0].CostPer100, 230.0 / 1.5, 1e-9);

    EXPECT_EQ(periods[1].First, QDate(2024, 2, 1));
    EXPECT_EQ(periods[1].Entries, 0);
    EXPECT_EQ(periods[1].Distance, 0);
    EXPECT_DOUBLE_EQ(periods[1].TotalCost, 0.0);
    EXPECT_FALSE(periods[1].CostPer100);

    EXPECT_EQ(periods[2].Distance, 250); // 1400 less January's 1150
    EXPECT_DOUBLE_EQ(periods[2].FuelVolume, 17.0);
    EXPECT_DOUBLE_EQ(periods[2].FuelCost, 59.5);
    EXPECT_NEAR(*periods[2].CostPer100, 23.8, 1e-9);

    EXPECT_EQ(periods[3].Entries, 3);
    EXPECT_EQ(periods[3].Distance, 500);
    EXPECT_DOUBLE_EQ(periods[3].TripCost, 36.0);
    EXPECT_DOUBLE_EQ(periods[3].ExpenseCost, 100.0);
    EXPECT_DOUBLE_EQ(periods[3].TotalCost, 171.0);

    const CFiguresOverTime::Period& total = figures.Total();
    EXPECT_EQ(total.Entries, 8);
    EXPECT_EQ(total.Distance, 900);
    EXPECT_DOUBLE_EQ(total.TotalCost, 460.5);
    EXPECT_NEAR(*total.CostPer100, 460.5 / 9.0, 1e-9);

    // Fill-ups: none before the first, none for the slip, and the one after it measured from
    // the highest reading before, not from the slip.
    const auto& fillUps = figures.FillUps();
    ASSERT_EQ(fillUps.size(), 4u);
    EXPECT_EQ(fillUps[0].Day, QDate(2024, 1, 10));
    EXPECT_FALSE(fillUps[0].Distance);
    EXPECT_FALSE(fillUps[0].Economy);
    EXPECT_EQ(fillUps[1].Distance, 400);
    EXPECT_NEAR(*fillUps[1].Economy, 400.0f / 12.0f, 1e-4);
    EXPECT_FLOAT_EQ(fillUps[1].UnitPrice, 3.5f);
    EXPECT_FLOAT_EQ(fillUps[1].Total, 42.0f);
    EXPECT_EQ(fillUps[2].Distance, 0);
    EXPECT_FALSE(fillUps[2].Economy);
    EXPECT_EQ(fillUps[3].Day, QDate(2024, 4, 30));
    EXPECT_EQ(fillUps[3].Odometer, 1900);
    EXPECT_EQ(fillUps[3].Distance, 500);
    EXPECT_FLOAT_EQ(*fillUps[3].Economy, 50.0f);
    // 900 miles on every fill-up but the first, as Quick Stats has it.
    EXPECT_NEAR(*figures.AverageEconomy(), 900.0f / 27.0f, 1e-4);

    // Economy follows the user's unit: litres in the tank, miles per US gallon on screen.
    TheSettings().UnitVolume = VolumeLitres;
    figures.Compute(log, Kind::Month);
    EXPECT_NEAR(*figures.FillUps()[3].Economy, 500.0f / (10.0f * 0.2642f), 1e-2);
}

TEST_F(FiguresOverTimeTest, SparseLogsGiveEmptyOrSensibleFigures) {
    ScopedTimeZone zone(kGreenwich);
    CFiguresOverTime figures;
    CObjectListT<CEntry> log;
    figures.Compute(log, Kind::Year);
    EXPECT_TRUE(figures.Periods().empty());
    EXPECT_TRUE(figures.FillUps().empty());
    EXPECT_FALSE(figures.Total().First.isValid());
    EXPECT_FALSE(figures.Total().CostPer100);
    EXPECT_FALSE(figures.AverageEconomy());

    // One fill-up: one period without distance.
    Add(log, CEntry::EntryFuel, At(2021, 6, 1), 5000, 1.0e9f, 10.0f, 1.0e8f);
    figures.Compute(log, Kind::Year);
    ASSERT_EQ(figures.Periods().size(), 1u);
    EXPECT_EQ(figures.Periods()[0].Distance, 0);
    EXPECT_FALSE(figures.Periods()[0].CostPer100);
    ASSERT_EQ(figures.FillUps().size(), 1u);
    EXPECT_FALSE(figures.FillUps()[0].Economy);
    EXPECT_FALSE(figures.AverageEconomy());

    // A year without entries between two, and money of a billion added without loss.
    Add(log, CEntry::EntryRepair, At(2023, 2, 1), 9000, 1.0e9f);
    Add(log, CEntry::EntryFuel, At(2023, 2, 1, 13), 9000, 1.0e9f, 10.0f, 1.0e8f);
    figures.Compute(log, Kind::Year);
    ASSERT_EQ(figures.Periods().size(), 3u);
    EXPECT_EQ(figures.Periods()[1].First, QDate(2022, 1, 1));
    EXPECT_EQ(figures.Periods()[1].Entries, 0);
    EXPECT_EQ(figures.Periods()[2].Distance, 4000);
    EXPECT_DOUBLE_EQ(figures.Total().TotalCost, 3.0e9);
    EXPECT_DOUBLE_EQ(*figures.Total().CostPer100, 3.0e9 / 40.0);
    EXPECT_NEAR(*figures.AverageEconomy(), 400.0f, 1e-3);

    // Everything on one day, the readings going down: one period, never a negative distance.
    CObjectListT<CEntry> oneDay;
    Add(oneDay, CEntry::EntryFuel, At(2024, 5, 5, 8), 3000, 40.0f, 10.0f, 4.0f);
    Add(oneDay, CEntry::EntryFuel, At(2024, 5, 5, 9), 2000, 40.0f, 10.0f, 4.0f);
    Add(oneDay, CEntry::EntryFuel, At(2024, 5, 5, 10), 1000, 40.0f, 10.0f, 4.0f);
    figures.Compute(oneDay, Kind::Month);
    ASSERT_EQ(figures.Periods().size(), 1u);
    EXPECT_EQ(figures.Periods()[0].Distance, 0);
    for (const CFiguresOverTime::FillUp& fillUp : figures.FillUps())
        EXPECT_FALSE(fillUp.Economy);
    EXPECT_EQ(figures.FillUps()[2].Distance, 0);
    EXPECT_FALSE(figures.AverageEconomy());
}
