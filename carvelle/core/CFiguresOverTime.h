#pragma once
// The log of one vehicle over time: a row per fill-up and a row per month or year, computed in one
// pass over the loaded entries. Plain code for the charts, the report and the console tool, which
// only display what this computes. Periods are the user's local months and years.
//
// Odometer readings that go down are taken for slips of the finger: a reading below the highest
// one before it adds no distance and does not lower the mark the next reading is measured from.

#include "platform/WinTypes.h"

#include <QDate>

#include <optional>
#include <span>
#include <vector>

class CEntry;
class CEntryFilter;
class CRecordServices;
template <class T> class CObjectListT;

class CFiguresOverTime {
public:
    enum class PeriodKind { Month, Year };

    struct FillUp {
        double Date = 0.0; // as stored (UTC OLE date)
        QDate Day;         // the local day the user sees
        LONG Odometer = 0;
        // From the highest fill-up reading before this one; empty for the first fill-up, 0 when
        // the reading is not above that one.
        std::optional<long long> Distance;
        float Volume = 0.0f;
        float UnitPrice = 0.0f;
        float Total = 0.0f;
        // In the user's economy unit; empty for the first fill-up and where there is no distance
        // or no volume.
        std::optional<float> Economy;
    };

    struct Period {
        QDate First; // the first day of the month or year
        int Entries = 0;
        // The highest reading less the highest before the period (for the first period, less
        // the first reading); never negative.
        long long Distance = 0;
        double FuelVolume = 0.0;
        double FuelCost = 0.0;
        double RepairCost = 0.0;
        double TripCost = 0.0;
        double ExpenseCost = 0.0; // other expenses and entries of an unknown type
        double TotalCost = 0.0;
        std::optional<double> CostPer100; // empty below a distance of 100

        // Adds the other's entries, distance and costs; then sets CostPer100 from the sums.
        void Add(const Period& other);
    };

    // From the entries of one vehicle, in any order: they are taken by date, then odometer, then
    // ID, as Quick Stats takes them. An entry whose date has no local day is left out.
    void Compute(const CObjectListT<CEntry>& entries, PeriodKind kind);
    void Compute(std::span<const CEntry* const> entries, PeriodKind kind);
    // Loads the entries that the filter selects (it should name one vehicle) and computes; false,
    // with nothing computed, when they cannot be loaded.
    bool Compute(CRecordServices& records, CEntryFilter& filter, PeriodKind kind);

    PeriodKind Kind() const { return m_Kind; }
    // Oldest first.
    const std::vector<FillUp>& FillUps() const { return m_FillUps; }
    // Every month or year from the first entry's to the last entry's, empty ones included.
    const std::vector<Period>& Periods() const { return m_Periods; }
    // The sums over every period; First is the first period's, invalid when there is no entry.
    const Period& Total() const { return m_Total; }
    // Over all fill-ups but the first, as Quick Stats computes it; empty below two fill-ups or
    // without distance.
    std::optional<float> AverageEconomy() const { return m_AverageEconomy; }

private:
    void Clear(PeriodKind kind);

    PeriodKind m_Kind = PeriodKind::Month;
    std::vector<FillUp> m_FillUps;
    std::vector<Period> m_Periods;
    Period m_Total;
    std::optional<float> m_AverageEconomy;
};
