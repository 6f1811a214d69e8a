#pragma once
// What the chart tests share: logs typed as rows, a quarter of a car's log, the series of a chart
// by name, and a connected data file with one vehicle in New York's zone and the US locale.

#include "carvelle/support/LocalDayFixtures.h"
#include "carvelle/support/ViewsTestSupport.h"

#include "charts/CChartData.h"
#include "charts/CChartFactory.h"
#include "charts/CDlgCharts.h"

#include "core/CAppSettings.h"
#include "core/LocalDates.h"
#include "core/Units.h"
#include "records/CEntryFilter.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QValueAxis>

#include <memory>
#include <numeric>
#include <vector>

using Kind = CChartData::PeriodKind;

struct Logged {
    CEntry::Type type;
    QDate day;
    LONG odometer;
    float amount;
    float quantity = 0.0f;
    float price = 0.0f;
};

inline std::unique_ptr<CEntry> MakeEntry(const Logged& logged, ULONG vehicle) {
    auto entry = std::make_unique<CEntry>();
    entry->SetVehicleID(vehicle);
    entry->SetType(logged.type);
    entry->SetDate(LocalToOleDate(QDateTime(logged.day, QTime(12, 0))));
    entry->SetOdometer(logged.odometer);
    entry->SetAmount(logged.amount);
    entry->SetCustom1(logged.quantity);
    entry->SetCustom2(logged.price);
    return entry;
}

inline std::unique_ptr<CObjectListT<CEntry>> Log(const std::vector<Logged>& rows) {
    auto list = std::make_unique<CObjectListT<CEntry>>();
    for (const Logged& row : rows)
        list->Add(MakeEntry(row, 1).release());
    return list;
}

template <class T> T* Series(QChartView* view, const QString& name) {
    for (QAbstractSeries* series : view->chart()->series()) {
        if (series->objectName() == name)
            return qobject_cast<T*>(series);
    }
    return nullptr;
}

// Three months of a car: a fill-up typed with a slip of the odometer, one without a price.
inline const std::vector<Logged> kQuarter = {
    {CEntry::EntryFuel, QDate(2024, 1, 5), 1000, 30.0f, 10.0f, 3.0f},
    {CEntry::EntryFuel, QDate(2024, 1, 15), 1300, 31.0f, 10.0f, 3.1f},
    {CEntry::EntryFuel, QDate(2024, 1, 25), 1600, 38.4f, 12.0f, 3.2f},
    {CEntry::EntryFuel, QDate(2024, 2, 4), 1500, 16.5f, 5.0f, 3.3f},
    {CEntry::EntryRepair, QDate(2024, 2, 10), 1800, 250.0f},
    {CEntry::EntryFuel, QDate(2024, 2, 14), 1900, 34.0f, 10.0f, 3.4f},
    {CEntry::EntryFuel, QDate(2024, 3, 1), 2220, 28.0f, 8.0f, 3.5f},
    {CEntry::EntryTrip, QDate(2024, 3, 5), 2300, 67.0f},
    {CEntry::EntryExpense, QDate(2024, 3, 6), 2310, 15.0f},
    {CEntry::EntryFuel, QDate(2024, 3, 20), 2500, 21.0f, 7.0f, 0.0f},
};

class ChartsTest : public ViewsTest {
protected:
    void SetUp() override {
        ViewsTest::SetUp();
        m_Vehicle = StoreVehicle(u"Corolla", 2004);
    }

    void Store(const std::vector<Logged>& rows) {
        for (const Logged& row : rows) {
            std::unique_ptr<CEntry> entry = MakeEntry(row, m_Vehicle);
            ASSERT_EQ(TheDataLayer().Save(entry.get(), 0), 1);
        }
    }

    CEntryFilter Filter() const {
        CEntryFilter filter;
        filter.SetVehicleID(m_Vehicle);
        return filter;
    }

    ScopedTimeZone m_Zone{kNewYork};
    ScopedLocale m_Locale{QLocale(QLocale::English, QLocale::UnitedStates)};
    ULONG m_Vehicle = 0;
};
