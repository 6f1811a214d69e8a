#pragma once
// What the reminder tests share: a connected data file with one vehicle, a clock pinned to
// 10 March 2026 12:00 UTC in a UTC zone and the US locale, and helpers to store and read reminders.

#include "carvelle/support/CCarvelleTest.h"
#include "carvelle/support/LocalDayFixtures.h"
#include "support/TempDataFile.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CSession.h"
#include "datastore/CDataLayer.h"
#include "records/CEntry.h"
#include "records/CObjectListT.h"
#include "reminders/CheckReminders.h"

#include <QDialog>
#include <QPushButton>

#include <memory>
#include <string>
#include <vector>

class RemindersTest : public CCarvelleTest {
protected:
    void SetUp() override {
        ASSERT_EQ(TheDataLayer().Connect(m_File.WidePath().c_str()), CDataLayer::ConnectOK);
        m_Vehicle.SetName(u"Wagon");
        m_Vehicle.SetYear(2004);
        m_Vehicle.SetCurrentOdometer(12345);
        ASSERT_EQ(TheDataLayer().Save(&m_Vehicle, 0), 1);
        TheSession().Activate(m_Vehicle.GetRefID(), 12345);
        TheSettings().DBPath = m_File.WidePath();
        SystemTimeToVariantTime(&m_Now, &m_NowDate);
        ForgetPutOffReminders();
    }

    // Stores a reminder of the vehicle; returns its row ID.
    LONG Store(const char16_t* name, LONG odometer, double date) {
        CNotification reminder;
        reminder.SetName(name);
        reminder.SetOdometer(odometer);
        reminder.SetDate(date);
        reminder.SetVehicleID(m_Vehicle.GetRefID());
        EXPECT_EQ(TheDataLayer().Save(&reminder, 0), 1);
        return reminder.GetID();
    }

    // A fuel entry of the vehicle on that day at noon UTC with that reading.
    void Log(int year, int month, int day, LONG odometer) {
        const SYSTEMTIME noon = MakeTime(year, month, day, 12);
        double date = 0.0;
        SystemTimeToVariantTime(&noon, &date);
        CEntry entry;
        entry.SetVehicleID(m_Vehicle.GetRefID());
        entry.SetType(CEntry::EntryFuel);
        entry.SetDate(date);
        entry.SetOdometer(odometer);
        entry.SetAmount(40.0f);
        entry.SetCustom1(10.0f);
        EXPECT_EQ(TheDataLayer().Save(&entry, 0), 1);
    }

    // The stored reminder with that row ID and its interval.
    std::unique_ptr<CNotification> Stored(LONG id, CDataLayer::ReminderInterval* interval = nullptr) const {
        auto reminder = std::make_unique<CNotification>();
        reminder->SetID(id);
        EXPECT_EQ(TheDataLayer().Load(reminder.get()), 1);
        if (interval != nullptr) {
            EXPECT_EQ(TheDataLayer().GetReminderInterval(reminder.get(), interval), 1);
        }
        return reminder;
    }

    void Repeat(LONG id, LONG everyDistance, LONG everyMonths) {
        EXPECT_EQ(TheDataLayer().SetReminderInterval(Stored(id).get(), {everyDistance, everyMonths}), 1);
    }

    std::vector<std::u16string> StoredNames() const {
        CObjectListT<CNotification> list;
        EXPECT_EQ(TheDataLayer().Load(list, m_Vehicle.GetRefID()), 1);
        std::vector<std::u16string> names;
        for (int i = 0; i < list.GetCount(); ++i)
            names.emplace_back(list.Get(i)->GetName());
        return names;
    }

    // The notice's answer: its Delete button, or Enter (which keeps the reminder).
    static void PressDelete(QDialog& notice) {
        auto* button = notice.findChild<QPushButton*>(QStringLiteral("noticeDelete"));
        ASSERT_NE(button, nullptr);
        button->click();
    }

    ScopedTimeZone m_Zone{kGreenwich};
    ScopedLocale m_Locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    SYSTEMTIME m_Now = MakeTime(2026, 3, 10, 12);
    PinnedClock m_Clock{m_Now};
    double m_NowDate = 0.0;
    TempDataFile m_File;
    CVehicle m_Vehicle;
};
