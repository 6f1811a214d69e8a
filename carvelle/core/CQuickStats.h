#pragma once
// The figures of the Quick Stats sheet, computed over the entries that a filter selects. Plain
// code: the dialog only displays what this computes.

#include "platform/WinTypes.h"

#include <QString>

class CDataLayer;
class CEntryFilter;

class CQuickStats {
public:
    // Fills the figures from the entries that match the filter, oldest to newest by date, then
    // odometer, then ID. False when there is no filter or the entries cannot be loaded.
    bool ComputeQuickStats(CEntryFilter* filter);
    // The same from the given data layer (the console tool has no program around it).
    bool ComputeQuickStats(CDataLayer& dataLayer, CEntryFilter* filter);

    // The ten figures as the sheet shows them, in its order (date range first): the label and
    // the value's text in the user's units and locale.
    static constexpr int FigureCount = 10;
    static QString FigureLabel(int figure);
    QString FigureText(int figure) const;

    QString DateRangeText;
    QString PreviousVendor;         // the vendor of the fill-up before the newest one
    float AverageEconomy = 0.0f;    // in the economy unit; -1.0 when not available
    float MostRecentEconomy = 0.0f; // the newest fill-up alone; -1.0 or 0.0 when not available
    float FuelConsumed = 0.0f;      // every fill-up but the oldest
    float ConsumptionRate = 0.0f;   // fuel consumed per 100 distance units
    float TotalFuelVolume = 0.0f;   // every fill-up
    float CostOfOwnership = 0.0f;   // overall expense per 100 distance units
    float OverallExpense = 0.0f;
    float FuelExpense = 0.0f;
    LONG Distance = 0; // newest odometer less the oldest; never negative

private:
    void Clear();
};

// The filter's date range as the user sees it ("3/1/24 - 3/31/24"), or "All Dates".
QString DateRangeText(CEntryFilter* filter);
