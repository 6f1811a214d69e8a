#include "core/CFleetSummary.h"

#include "carvelle/core/FiguresOverTimeTestSupport.h"
#include "carvelle/support/LocalDayFixtures.h"
#include "support/TempDataFile.h"

#include "core/CRecordServices.h"
#include "core/LocalDates.h"
#include "datastore/CDataLayer.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <gtest/gtest.h>

TEST_F(FiguresOverTimeTest, SummaryAcrossVehiclesCoversTheRangeForEveryVehicle) {
    ScopedTimeZone zone(kNewYork);
    TempDataFile file;
    CDataLayer layer;
    ASSERT_EQ(layer.Connect(file.WidePath().c_str()), CDataLayer::ConnectOK);
    auto vehicle = [&layer](const char16_t* name) {
        CVehicle record;
        record.SetName(name);
        EXPECT_EQ(layer.Save(&record, 0), 1);
        return record.GetRefID();
    };
    const ULONG zephyr = vehicle(u"Zephyr");
    const ULONG astra = vehicle(u"Astra");
    vehicle(u"Civic");

    CObjectListT<CEntry> entries;
    Add(entries, CEntry::EntryFuel, At(2024, 3, 1, 9), 5000, 30.0f, 10.0f, 3.0f, astra);
    Add(entries, CEntry::EntryFuel, At(2024, 3, 15), 5300, 30.0f, 10.0f, 3.0f, astra);
    Add(entries, CEntry::EntryRepair, At(2024, 3, 31, 21), 5350, 120.0f, 0.0f, 0.0f, astra);
    Add(entries, CEntry::EntryRepair, At(2024, 4, 1, 9), 6000, 999.0f, 0.0f, 0.0f, astra);
    Add(entries, CEntry::EntryFuel, At(2024, 3, 10), 100, 50.0f, 12.0f, 4.0f, zephyr);
    Add(entries, CEntry::EntryFuel, At(2024, 3, 11), 400, 50.0f, 12.0f, 4.0f, 999); // no such vehicle
    for (int i = 0; i < entries.GetCount(); ++i)
        ASSERT_EQ(layer.Save(entries.Get(i), 0), 1);

    CEntryFilter march;
    march.SetVehicleID(zephyr); // not used: the summary covers every vehicle
    march.SetDateRangeType(CEntryFilter::DateRangeCustom);
    march.SetStartDate(LocalToSystemTime(QDate(2024, 3, 1).startOfDay()), 0);
    march.SetEndDate(LocalToSystemTime(EndOfLocalDay(QDate(2024, 3, 31))), 0);
    CRecordServices records(layer);
    CFleetSummary summary;
    ASSERT_TRUE(summary.Compute(records, march));

    const auto& rows = summary.Vehicles();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Name, QStringLiteral("Astra"));
    EXPECT_EQ(rows[0].Figures.Entries, 3);
    EXPECT_EQ(rows[0].Figures.Distance, 350);
    EXPECT_DOUBLE_EQ(rows[0].Figures.TotalCost, 180.0);
    EXPECT_NEAR(*rows[0].Figures.CostPer100, 180.0 / 3.5, 1e-9);
    EXPECT_FLOAT_EQ(*rows[0].AverageEconomy, 30.0f);

    EXPECT_EQ(rows[1].Name, QStringLiteral("Civic"));
    EXPECT_EQ(rows[1].Figures.Entries, 0);
    EXPECT_FALSE(rows[1].Figures.CostPer100);
    EXPECT_FALSE(rows[1].AverageEconomy);

    EXPECT_EQ(rows[2].RefID, zephyr);
    EXPECT_EQ(rows[2].Figures.Entries, 1);
    EXPECT_DOUBLE_EQ(rows[2].Figures.TotalCost, 50.0);
    EXPECT_FALSE(rows[2].AverageEconomy);
}
