#pragma once
// The summary across vehicles: for each vehicle, the sums of its entries in a range, its
// distance, cost per 100 distance units and average economy, as the figures over time give them.

#include "core/CFiguresOverTime.h"

#include "platform/WinTypes.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

class CEntry;
class CEntryFilter;
class CRecordServices;
class CVehicle;
template <class T> class CObjectListT;

class CFleetSummary {
public:
    struct Vehicle {
        ULONG RefID = 0;
        QString Name;
        // Entries, distance, costs and cost per 100 over the range; First is 1 January of the
        // year of the vehicle's first entry in it, invalid when it has none.
        CFiguresOverTime::Period Figures;
        std::optional<float> AverageEconomy;
    };

    // Every vehicle in the file, ordered by name, with the figures of its entries that the
    // filter selects; the filter's vehicle is not used. False, with nothing computed, when the
    // vehicles or the entries cannot be loaded.
    bool Compute(CRecordServices& records, const CEntryFilter& filter);
    // The same from records already loaded: one row per vehicle in the list's order, from the
    // entries of any vehicles; an entry of a vehicle not in the list is left out.
    void Compute(const CObjectListT<CVehicle>& vehicles, const CObjectListT<CEntry>& entries);
    void Compute(const CObjectListT<CVehicle>& vehicles, std::span<const CDataLayer::FigureRow> entries);

    const std::vector<Vehicle>& Vehicles() const { return m_Vehicles; }

private:
    std::vector<Vehicle> m_Vehicles;
};
