#include "core/CFiguresOverTime.h"

#include "core/CRecordServices.h"
#include "core/EntryOrder.h"
#include "core/LocalDates.h"
#include "core/Units.h"

#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

// What the figures need of one entry, copied out so that ordering touches no record.
struct Row {
    double date;
    QDate day;
    LONG odometer;
    LONG id;
    int period; // months or years since year 0
    float amount;
    float quantity;
    float price;
    CEntry::Type type;
    DWORD flags;
};

int PeriodNumber(const QDate& day, CFiguresOverTime::PeriodKind kind) {
    int year = 0;
    int month = 0;
    day.getDate(&year, &month, nullptr);
    return kind == CFiguresOverTime::PeriodKind::Month ? year * 12 + month - 1 : year;
}

QDate FirstDay(int period, CFiguresOverTime::PeriodKind kind) {
    return kind == CFiguresOverTime::PeriodKind::Month ? QDate(period / 12, period % 12 + 1, 1)
                                                       : QDate(period, 1, 1);
}

std::optional<double> CostPer100(double cost, long long distance) {
    if (distance < 100)
        return std::nullopt;
    return cost / (static_cast<double>(distance) / 100.0);
}

} // namespace

void CFiguresOverTime::Period::Add(const Period& other) {
    Entries += other.Entries;
    Distance += other.Distance;
    FuelVolume += other.FuelVolume;
    FuelCost += other.FuelCost;
    RepairCost += other.RepairCost;
    TripCost += other.TripCost;
    ExpenseCost += other.ExpenseCost;
    TotalCost += other.TotalCost;
    CostPer100 = ::CostPer100(TotalCost, Distance);
}

void CFiguresOverTime::Clear(PeriodKind kind) {
    m_Kind = kind;
    m_FillUps.clear();
    m_Periods.clear();
    m_Total = Period();
    m_AverageEconomy.reset();
}

void CFiguresOverTime::Compute(const CObjectListT<CEntry>& entries, PeriodKind kind) {
    std::vector<const CEntry*> pointers;
    pointers.reserve(static_cast<std::size_t>(std::max(entries.GetCount(), 0)));
    for (int i = 0; i < entries.GetCount(); ++i)
        pointers.push_back(entries.Get(i));
    Compute(pointers, kind);
}

void CFiguresOverTime::Compute(std::span<const CEntry* const> entries, PeriodKind kind) {
    std::vector<CDataLayer::FigureRow> rows;
    rows.reserve(entries.size());
    for (const CEntry* entry : entries) {
        if (entry != nullptr)
            rows.push_back(RowOf(*entry));
    }
    Compute(std::span<const CDataLayer::FigureRow>(rows), kind);
}

CDataLayer::FigureRow CFiguresOverTime::RowOf(const CEntry& entry) {
    CDataLayer::FigureRow row;
    row.Date = entry.GetDate();
    row.ID = entry.GetID();
    row.VehicleID = entry.GetVehicleID();
    row.Odometer = entry.GetOdometer();
    row.Type = entry.GetType();
    row.Amount = entry.GetAmount();
    row.Custom1 = entry.GetCustom1();
    row.Custom2 = entry.GetCustom2();
    return row;
}

bool CFiguresOverTime::Compute(CRecordServices& records, CEntryFilter& filter, PeriodKind kind) {
    std::vector<CDataLayer::FigureRow> rows;
    if (!records.LoadFigureRows(rows, filter)) {
        Clear(kind);
        return false;
    }
    Compute(std::span<const CDataLayer::FigureRow>(rows), kind);
    return true;
}

void CFiguresOverTime::Compute(std::span<const CDataLayer::FigureRow> entries, PeriodKind kind) {
    Clear(kind);

    std::vector<Row> rows;
    rows.reserve(entries.size());
    CLocalDays days;
    int firstPeriod = std::numeric_limits<int>::max();
    int lastPeriod = std::numeric_limits<int>::min();
    std::size_t fillUps = 0;
    QDate lastDay;
    int dayPeriod = 0;
    for (const CDataLayer::FigureRow& entry : entries) {
        const QDate day = days.Day(entry.Date);
        if (!day.isValid())
            continue;
        // Neighbours in a log mostly share a day; splitting a day into its parts is not free.
        if (day != lastDay) {
            lastDay = day;
            dayPeriod = PeriodNumber(day, kind);
            firstPeriod = std::min(firstPeriod, dayPeriod);
            lastPeriod = std::max(lastPeriod, dayPeriod);
        }
        if (entry.Type == CEntry::EntryFuel)
            ++fillUps;
        rows.push_back({entry.Date, day, entry.Odometer, entry.ID, dayPeriod, entry.Amount, entry.Custom1,
                        entry.Custom2, entry.Type, entry.FillFlags});
    }
    if (rows.empty())
        return;
    m_FillUps.reserve(fillUps);
    PutInTakingOrder(rows);

    // Local days follow stored dates but for a zone that turns its clocks back over midnight, so
    // the periods are laid out from the smallest to the largest seen, not from the ends.
    const auto periodCount = static_cast<std::size_t>(lastPeriod - firstPeriod) + 1;
    m_Periods.resize(periodCount);
    for (std::size_t i = 0; i < periodCount; ++i)
        m_Periods[i].First = FirstDay(firstPeriod + static_cast<int>(i), kind);
    std::vector<long long> highest(periodCount, std::numeric_limits<long long>::min());

    CFillUpChain chain;
    bool haveFuelMark = false;
    long long fuelMark = 0; // the highest fill-up reading so far
    for (const Row& row : rows) {
        const auto index = static_cast<std::size_t>(row.period - firstPeriod);
        Period& period = m_Periods[index];
        ++period.Entries;
        if (row.odometer > 0)
            highest[index] = std::max<long long>(highest[index], row.odometer);
        period.TotalCost += row.amount;
        switch (row.type) {
        case CEntry::EntryFuel: {
            period.FuelVolume += row.quantity;
            period.FuelCost += row.amount;
            FillUp fillUp;
            fillUp.Date = row.date;
            fillUp.Day = row.day;
            fillUp.Odometer = row.odometer;
            fillUp.Volume = row.quantity;
            fillUp.UnitPrice = row.price;
            fillUp.Total = row.amount;
            fillUp.Partial = (row.flags & CDataLayer::FillPartial) != 0;
            fillUp.Missed = (row.flags & CDataLayer::FillMissed) != 0;
            if (row.odometer > 0) {
                if (haveFuelMark)
                    fillUp.Distance = std::max<long long>(0, row.odometer - fuelMark);
                fuelMark = haveFuelMark ? std::max<long long>(fuelMark, row.odometer) : row.odometer;
                haveFuelMark = true;
            }
            fillUp.Leg = chain.Add(row.odometer, row.quantity, row.flags);
            fillUp.Economy = fillUp.Leg.Economy;
            m_FillUps.push_back(fillUp);
            break;
        }
        case CEntry::EntryRepair:
            period.RepairCost += row.amount;
            break;
        case CEntry::EntryTrip:
            period.TripCost += row.amount;
            break;
        default:
            period.ExpenseCost += row.amount;
            break;
        }
    }

    // The first reading above 0 starts the count: in a log whose readings never go down it is the
    // first period's lowest, and a slip below it later in that period does not stretch the period.
    constexpr long long kNone = std::numeric_limits<long long>::min();
    long long mark = 0;
    for (const Row& row : rows) {
        if (row.odometer > 0) {
            mark = row.odometer;
            break;
        }
    }
    m_Total.First = m_Periods.front().First;
    for (std::size_t i = 0; i < periodCount; ++i) {
        Period& period = m_Periods[i];
        if (highest[i] != kNone) {
            period.Distance = std::max<long long>(0, highest[i] - mark);
            mark = std::max(mark, highest[i]);
        }
        period.CostPer100 = CostPer100(period.TotalCost, period.Distance);
        m_Total.Add(period);
    }
    m_AverageEconomy = chain.AverageEconomy();
}
