#pragma once
// A fixture for tests without a window: temporary home folders, a temporary data file connected
// as the program's data layer, fresh settings, and helpers to store and count records.

#include "carvelle/support/CTestEnvironment.h"
#include "support/TempDataFile.h"

#include "core/AppData.h"
#include "datastore/CDataLayer.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <gtest/gtest.h>

#include <memory>

class CDataFileTest : public ::testing::Test {
protected:
    CDataFileTest() {
        TheDataLayer().Disconnect();
        ResetSettings();
    }

    ~CDataFileTest() override {
        TheDataLayer().Disconnect();
        ResetSettings();
    }

    void SetUp() override {
        ASSERT_EQ(TheDataLayer().Connect(m_File.WidePath().c_str()), CDataLayer::ConnectOK);
    }

    // Stores a vehicle and returns its RefID.
    ULONG StoreVehicle(const char16_t* name, int year) {
        auto vehicle = std::make_unique<CVehicle>();
        vehicle->SetName(name);
        vehicle->SetYear(year);
        EXPECT_EQ(TheDataLayer().Save(vehicle.get(), 0), 1);
        return vehicle->GetRefID();
    }

    void StoreEntry(ULONG vehicleRefID, const char16_t* name) {
        auto entry = std::make_unique<CEntry>();
        entry->SetName(name);
        entry->SetVehicleID(vehicleRefID);
        entry->SetType(CEntry::EntryRepair);
        EXPECT_EQ(TheDataLayer().Save(entry.get(), 0), 1);
    }

    void StoreReminder(ULONG vehicleRefID, const char16_t* name) {
        auto reminder = std::make_unique<CNotification>();
        reminder->SetName(name);
        reminder->SetVehicleID(vehicleRefID);
        EXPECT_EQ(TheDataLayer().Save(reminder.get(), 0), 1);
    }

    int StoredEntries(ULONG vehicleRefID) {
        CEntryFilter filter;
        filter.SetVehicleID(vehicleRefID);
        CObjectListT<CEntry> entries;
        EXPECT_EQ(TheDataLayer().Load(entries, filter), 1);
        return entries.GetCount();
    }

    int StoredReminders(ULONG vehicleRefID) {
        CObjectListT<CNotification> reminders;
        EXPECT_EQ(TheDataLayer().Load(reminders, vehicleRefID), 1);
        return reminders.GetCount();
    }

    int StoredVehicles() {
        CObjectListT<CVehicle> vehicles;
        EXPECT_EQ(TheDataLayer().Load(vehicles), 1);
        return vehicles.GetCount();
    }

    CTestEnvironment m_Environment;
    TempDataFile m_File;
};
