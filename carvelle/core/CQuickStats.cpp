#include "core/CQuickStats.h"

#include "core/Units.h"

#include "core/AppData.h"
#include "core/CStringTable.h"
#include "core/EntryOrder.h"
#include "core/LocalDates.h"
#include "datastore/CDataLayer.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <QLocale>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// What the figures need of one entry, copied out so that ordering touches no record.
struct Row {
    double date;
    LONG odometer;
    LONG id;
    float amount;
    float quantity;
    std::uint32_t index; // into the loaded list
    bool fuel;
};

constexpr int kFigureLabels[CQuickStats::FigureCount] = {
    IDS_STAT_DATE_RANGE,        IDS_STAT_AVERAGE_ECONOMY, IDS_STAT_RECENT_ECONOMY,
    IDS_STAT_AVERAGE_FUEL_COST, IDS_STAT_DISTANCE,        IDS_STAT_FUEL_CONSUMED,
    IDS_STAT_FUEL_EXPENSE,      IDS_STAT_OVERALL_EXPENSE, IDS_STAT_CONSUMPTION_RATE,
    IDS_STAT_COST_OF_OWNERSHIP,
};

QString Money(float value) {
    return FormatNumber(value, kMoney);
}

QString Decimal(float value) {
    return FormatNumber(value, kDecimalNumber);
}

QString EconomyText(float economy) {
    if (!(economy > 0.0f))
        return LoadStringResource(IDS_NOT_AVAILABLE);
    return QStringLiteral("%1 %2").arg(Decimal(economy), EconomyUnitLabel());
}

} // namespace

void CQuickStats::Clear() {
    DateRangeText.clear();
    PreviousVendor.clear();
    AverageEconomy = 0.0f;
    MostRecentEconomy = 0.0f;
    FuelConsumed = 0.0f;
    ConsumptionRate = 0.0f;
    TotalFuelVolume = 0.0f;
    CostOfOwnership = 0.0f;
    OverallExpense = 0.0f;
    FuelExpense = 0.0f;
    Distance = 0;
}

bool CQuickStats::ComputeQuickStats(CEntryFilter* filter) {
    return ComputeQuickStats(TheDataLayer(), filter);
}

bool CQuickStats::ComputeQuickStats(CDataLayer& dataLayer, CEntryFilter* filter) {
    Clear();
    if (filter == nullptr)
        return false;
    DateRangeText = ::DateRangeText(filter);

    CObjectListT<CEntry> entries;
    if (!dataLayer.Load(entries, *filter))
        return false;
    const int count = entries.GetCount();
    if (count == 0)
        return true;

    // The load has no order of its own: an entry typed in later for an earlier day still counts
    // where its date puts it.
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const CEntry* entry = entries.Get(i);
        rows.push_back({entry->GetDate(), entry->GetOdometer(), entry->GetID(), entry->GetAmount(),
                        entry->GetCustom1(), static_cast<std::uint32_t>(i),
                        entry->GetType() == CEntry::EntryFuel});
    }
    PutInTakingOrder(rows);

    // Sums in double: twenty thousand single-precision additions drift by whole units.
    double overall = 0.0;
    double fuelVolume = 0.0;
    double fuelExpense = 0.0;
    const Row* newestFuel = nullptr;
    const Row* previousFuel = nullptr;
    const Row* oldestFuel = nullptr;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        overall += row->amount;
        if (!row->fuel)
            continue;
        fuelVolume += row->quantity;
        fuelExpense += row->amount;
        if (newestFuel == nullptr)
            newestFuel = &*row;
        else if (previousFuel == nullptr)
            previousFuel = &*row;
        oldestFuel = &*row;
    }

    LONG fuelDistance = 0;
    double fuelConsumed = 0.0;
    if (newestFuel != nullptr) {
        if (newestFuel->quantity > 0.0f) {
            LONG lastLeg = 0;
            if (previousFuel != nullptr) {
                lastLeg = newestFuel->odometer - previousFuel->odometer;
                PreviousVendor =
                    QString::fromUtf16(entries.Get(static_cast<int>(previousFuel->index))->GetVendor());
            }
            MostRecentEconomy = ComputeEconomy(lastLeg, newestFuel->quantity);
        }
        fuelConsumed = fuelVolume - oldestFuel->quantity;
        fuelDistance = std::max<LONG>(0, newestFuel->odometer - oldestFuel->odometer);
    }
    FuelConsumed = static_cast<float>(fuelConsumed);
    TotalFuelVolume = static_cast<float>(fuelVolume);
    FuelExpense = static_cast<float>(fuelExpense);
    OverallExpense = static_cast<float>(overall);

    AverageEconomy = ComputeEconomy(fuelDistance, FuelConsumed);
    if (fuelDistance >= 100)
        ConsumptionRate = FuelConsumed / (static_cast<float>(fuelDistance) * 0.01f);

    // A newest reading below the oldest is a typing slip, not a negative distance.
    Distance = std::max<LONG>(0, rows.back().odometer - rows.front().odometer);
    if (Distance >= 100)
        CostOfOwnership = OverallExpense / (static_cast<float>(Distance) * 0.01f);
    return true;
}

QString DateRangeText(CEntryFilter* filter) {
    if (filter == nullptr || !filter->HaveDateRange())
        return LoadStringResource(IDS_ALL_DATES);
    const QLocale locale;
    const QString start =
        locale.toString(FilterRangeDay(*filter, *filter->GetStartDate()), QLocale::ShortFormat);
    const QString end = locale.toString(FilterRangeDay(*filter, *filter->GetEndDate()), QLocale::ShortFormat);
    return FormatStringResource(IDS_DATE_RANGE_TEXT, {start, end});
}

QString CQuickStats::FigureLabel(int figure) {
    return figure >= 0 && figure < FigureCount ? LoadStringResource(kFigureLabels[figure]) : QString();
}

QString CQuickStats::FigureText(int figure) const {
    const QString volume = VolumeUnitName(true, true);
    const QString distance = DistanceUnitName(false, true);
    switch (figure) {
    case 0:
        return DateRangeText;
    case 1:
        return EconomyText(AverageEconomy);
    case 2: {
        QString text = EconomyText(MostRecentEconomy);
        if (MostRecentEconomy > 0.0f && !PreviousVendor.isEmpty())
            text += QStringLiteral(" (%1)").arg(PreviousVendor);
        return text;
    }
    case 3: {
        const float cost = TotalFuelVolume == 0.0f ? 0.0f : FuelExpense / TotalFuelVolume;
        return QStringLiteral("%1 per %2").arg(Money(cost), volume);
    }
    case 4:
        return QStringLiteral("%1 %2").arg(FormatNumber(static_cast<float>(Distance), kWholeNumber),
                                           distance);
    case 5:
        return QStringLiteral("%1 %2").arg(Decimal(FuelConsumed), volume);
    case 6:
        return Money(FuelExpense);
    case 7:
        return Money(OverallExpense);
    case 8:
        return QStringLiteral("%1 %2 per 100 %3").arg(Decimal(ConsumptionRate), volume, distance);
    case 9:
        return QStringLiteral("%1 per 100 %2").arg(Money(CostOfOwnership), distance);
    default:
        return QString();
    }
}
