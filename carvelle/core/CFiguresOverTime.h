#pragma once
// The log of one vehicle over time: a row per fill-up and a row per month or year, computed in one
// pass over the loaded entries. Plain code for the charts, the report and the console tool, which
// only display what this computes. Periods are the user's local months and years.
//
// Odometer readings that go down are taken for slips of the finger: a reading below the highest
// one before it adds no distance and does not lower the mark the next reading is measured from.
// A reading of 0 is no reading: such an entry counts for money only. Economy runs from one full
// tank to the next (CFillUpChain).

#include "core/CFillUpChain.h"

#include "datastore/CDataLayer.h"
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
        // From the highest fill-up reading before this one; empty for the first fill-up and one
        // without a reading, 0 when the reading is not above that one.
        std::optional<long long> Distance;
        float Volume = 0.0f;
        float UnitPrice = 0.0f;
        float Total = 0.0f;
        // In the user's economy unit, from the last full tank; empty for the first fill-up, a
        // partial one, the one after a break in the chain, and where there is no distance or volume.
        std::optional<float> Economy;
        bool Partial = false;
        bool Missed = false;   // a fill-up before this one was not logged
        CFillUpChain::Leg Leg; // the leg its economy covers
    };

    struct Period {
        QDate First; // the first day of the month or year
        int Entries = 0;
        // The highest reading less the highest before the period (for the first period with a
        // reading, less the first reading above 0); never negative. Readings of 0 are left out.
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
    void Compute(std::span<const CDataLayer::FigureRow> entries, PeriodKind kind);
    // Loads the figure rows of the entries that the filter selects (it should name one vehicle)
    // and computes; false, with nothing computed, when they cannot be loaded.
    bool Compute(CRecordServices& records, CEntryFilter& filter, PeriodKind kind);

    // What the figures read of a loaded entry (no fill flags: a record does not carry them).
    static CDataLayer::FigureRow RowOf(const CEntry& entry);

    PeriodKind Kind() const { return m_Kind; }
    // Oldest first.
    const std::vector<FillUp>& FillUps() const { return m_FillUps; }
    // Every month or year from the first entry's to the last entry's, empty ones included.
    const std::vector<Period>& Periods() const { return m_Periods; }
    // The sums over every period; First is the first period's, invalid when there is no entry.
    const Period& Total() const { return m_Total; }
    // Over every leg from a full tank to the next; empty without one, or without distance.
    std::optional<float> AverageEconomy() const { return m_AverageEconomy; }

private:
    void Clear(PeriodKind kind);

    PeriodKind m_Kind = PeriodKind::Month;
    std::vector<FillUp> m_FillUps;
    std::vector<Period> m_Periods;
    Period m_Total;
    std::optional<float> m_AverageEconomy;
};
