#pragma once
// What the tests of the figures over time share: entries at local dates and times, in a list.

#include "core/AppData.h"
#include "core/CFiguresOverTime.h"
#include "core/LocalDates.h"
#include "records/CEntry.h"
#include "records/CObjectListT.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <gtest/gtest.h>

#include <memory>

using Kind = CFiguresOverTime::PeriodKind;

class FiguresOverTimeTest : public ::testing::Test {
protected:
    FiguresOverTimeTest() { ResetSettings(); }
    ~FiguresOverTimeTest() override { ResetSettings(); }

    // An entry at a local date and time.
    void Add(CObjectListT<CEntry>& list, CEntry::Type type, QDateTime local, LONG odometer, float amount,
             float quantity = 0.0f, float price = 0.0f, ULONG vehicle = 1) {
        auto entry = std::make_unique<CEntry>();
        entry->SetVehicleID(vehicle);
        entry->SetType(type);
        entry->SetDate(LocalToOleDate(local));
        entry->SetOdometer(odometer);
        entry->SetAmount(amount);
        entry->SetCustom1(quantity);
        entry->SetCustom2(price);
        list.Add(entry.release());
    }

    static QDateTime At(int year, int month, int day, int hour = 12, int minute = 0) {
        return QDateTime(QDate(year, month, day), QTime(hour, minute));
    }
};
