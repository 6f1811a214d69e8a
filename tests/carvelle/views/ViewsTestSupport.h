#pragma once
// What the view tests share: temporary home folders, a connected temporary data file, fresh
// settings and a scripted prompter that also notes how each popup menu looked when shown.

#include "carvelle/support/CScriptedPrompter.h"
#include "carvelle/support/CTestEnvironment.h"
#include "support/TempDataFile.h"

#include "core/AppData.h"
#include "datastore/CDataLayer.h"
#include "records/CObjectListT.h"
#include "widgets/CMenuResource.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMenu>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class CMenuNotingPrompter : public CScriptedPrompter {
public:
    QAction* TrackPopupMenu(QMenu& menu, const QPoint& globalPos) override {
        if (onMenu) {
            onMenu(menu);
        }
        return CScriptedPrompter::TrackPopupMenu(menu, globalPos);
    }

    // Sees the menu as it is about to be shown.
    std::function<void(QMenu&)> onMenu;
};

// Runs the event loop until the condition holds; false when it did not within the time.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class ViewsTest : public ::testing::Test {
protected:
    ViewsTest() {
        TheDataLayer().Disconnect();
        ResetSettings();
    }

    ~ViewsTest() override {
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
    CMenuNotingPrompter m_Prompter;
};
