#pragma once
// What the Quick Stats tests share: a connected data file with one vehicle, and helpers to store
// entries and to compute the figures of a vehicle.

#include "carvelle/support/CDataFileTest.h"

#include "core/AppData.h"
#include "core/CQuickStats.h"
#include "datastore/CDataLayer.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"

// A day number as a stored date: 45000 is 14 March 2023.
inline constexpr double kDay0 = 45000.0;

class QuickStatsTest : public CDataFileTest {
protected:
    void SetUp() override {
        CDataFileTest::SetUp();
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
