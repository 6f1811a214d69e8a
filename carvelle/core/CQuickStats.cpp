#include "core/CQuickStats.h"

#include "core/CFillUpChain.h"
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

    std::vector<CDataLayer::FigureRow> rows;
    if (!dataLayer.LoadFigureRows(rows, *filter))
        return false;
    if (rows.empty())
        return true;
    // The load has no order of its own: an entry typed in later for an earlier day still counts
    // where its date puts it.
    PutInTakingOrder(rows);

    // Sums in double: twenty thousand single-precision additions drift by whole units. Every
    // entry counts for money, with a reading or without.
    double overall = 0.0;
    double fuelVolume = 0.0;
    double fuelExpense = 0.0;
    const CDataLayer::FigureRow* newestFuel = nullptr;
    const CDataLayer::FigureRow* previousFuel = nullptr;
    const CDataLayer::FigureRow* oldestFuel = nullptr;
    CFillUpChain chain;
    // The newest full fill-up with a reading: its economy and the fill-up before it.
    std::optional<float> newestFullEconomy;
    const CDataLayer::FigureRow* beforeNewestFull = nullptr;
    const CDataLayer::FigureRow* lastFuel = nullptr;
    for (const CDataLayer::FigureRow& row : rows) {
        overall += row.Amount;
        if (row.Type != CEntry::EntryFuel)
            continue;
        fuelVolume += row.Custom1;
        fuelExpense += row.Amount;
        const CFillUpChain::Leg leg = chain.Add(row.Odometer, row.Custom1, row.FillFlags);
        if (row.Odometer > 0 && !(row.FillFlags & CDataLayer::FillPartial)) {
            beforeNewestFull = lastFuel;
            newestFullEconomy = leg.Economy;
        }
        lastFuel = &row;
        if (oldestFuel == nullptr)
            oldestFuel = &row;
        previousFuel = newestFuel;
        newestFuel = &row;
    }

    LONG previousVendorID = 0;
    if (!chain.MetAnyMark()) {
        // A log without flags and without missing readings: each fill-up's own fuel over the
        // distance from the one before it, as the figures have always been.
        LONG fuelDistance = 0;
        double fuelConsumed = 0.0;
        if (newestFuel != nullptr) {
            if (newestFuel->Custom1 > 0.0f) {
                LONG lastLeg = 0;
                if (previousFuel != nullptr) {
                    lastLeg = newestFuel->Odometer - previousFuel->Odometer;
                    previousVendorID = previousFuel->ID;
                }
                MostRecentEconomy = ComputeEconomy(lastLeg, newestFuel->Custom1);
            }
            fuelConsumed = fuelVolume - oldestFuel->Custom1;
            fuelDistance = std::max<LONG>(0, newestFuel->Odometer - oldestFuel->Odometer);
        }
        FuelConsumed = static_cast<float>(fuelConsumed);
        AverageEconomy = ComputeEconomy(fuelDistance, FuelConsumed);
        if (fuelDistance >= 100)
            ConsumptionRate = FuelConsumed / (static_cast<float>(fuelDistance) * 0.01f);
    } else {
        // From full tank to full tank: the newest full fill-up's leg, and every leg that a
        // missed fill-up or a missing reading did not break.
        if (newestFullEconomy) {
            MostRecentEconomy = *newestFullEconomy;
            if (beforeNewestFull != nullptr)
                previousVendorID = beforeNewestFull->ID;
        } else {
            MostRecentEconomy = -1.0f;
        }
        FuelConsumed = static_cast<float>(fuelVolume - oldestFuel->Custom1);
        AverageEconomy = chain.AverageEconomy().value_or(-1.0f);
        if (chain.CountedDistance() >= 100)
            ConsumptionRate = static_cast<float>(chain.CountedVolume()) /
                              (static_cast<float>(chain.CountedDistance()) * 0.01f);
    }
    TotalFuelVolume = static_cast<float>(fuelVolume);
    FuelExpense = static_cast<float>(fuelExpense);
    OverallExpense = static_cast<float>(overall);
    if (previousVendorID != 0) {
        // The one text a figure names, read alone.
        CEntry previous;
        previous.SetID(previousVendorID);
        if (dataLayer.Load(&previous))
            PreviousVendor = QString::fromUtf16(previous.GetVendor());
    }

    // A reading of 0 is no reading; a newest reading below the oldest is a typing slip, not a
    // negative distance.
    const auto hasReading = [](const CDataLayer::FigureRow& row) { return row.Odometer > 0; };
    const auto oldestRead = std::find_if(rows.begin(), rows.end(), hasReading);
    const auto newestRead = std::find_if(rows.rbegin(), rows.rend(), hasReading);
    if (oldestRead != rows.end())
        Distance = std::max<LONG>(0, newestRead->Odometer - oldestRead->Odometer);
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
