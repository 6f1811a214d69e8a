#include "core/CFleetSummary.h"

#include "core/CRecordServices.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <algorithm>
#include <unordered_map>

bool CFleetSummary::Compute(CRecordServices& records, const CEntryFilter& filter) {
    m_Vehicles.clear();
    CObjectListT<CVehicle> vehicles;
    if (!records.LoadVehicles(vehicles))
        return false;
    CEntryFilter everyVehicle(filter);
    everyVehicle.SetVehicleID(0);
    std::vector<CDataLayer::FigureRow> rows;
    if (!records.LoadFigureRows(rows, everyVehicle))
        return false;
    vehicles.SortByName();
    Compute(vehicles, rows);
    return true;
}

void CFleetSummary::Compute(const CObjectListT<CVehicle>& vehicles, const CObjectListT<CEntry>& entries) {
    std::vector<CDataLayer::FigureRow> rows;
    rows.reserve(static_cast<std::size_t>(std::max(entries.GetCount(), 0)));
    for (int i = 0; i < entries.GetCount(); ++i) {
        if (const CEntry* entry = entries.Get(i))
            rows.push_back(CFiguresOverTime::RowOf(*entry));
    }
    Compute(vehicles, rows);
}

void CFleetSummary::Compute(const CObjectListT<CVehicle>& vehicles,
                            std::span<const CDataLayer::FigureRow> entries) {
    m_Vehicles.clear();
    std::unordered_map<ULONG, std::vector<CDataLayer::FigureRow>> byVehicle;
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        if (const CVehicle* vehicle = vehicles.Get(i))
            byVehicle.try_emplace(vehicle->GetRefID());
    }
    for (const CDataLayer::FigureRow& entry : entries) {
        if (auto found = byVehicle.find(entry.VehicleID); found != byVehicle.end())
            found->second.push_back(entry);
    }
    // Years: the sums do not depend on the period, and there are fewer of them.
    CFiguresOverTime figures;
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        const CVehicle* vehicle = vehicles.Get(i);
        if (vehicle == nullptr)
            continue;
        figures.Compute(byVehicle[vehicle->GetRefID()], CFiguresOverTime::PeriodKind::Year);
        m_Vehicles.push_back({vehicle->GetRefID(), QString::fromUtf16(vehicle->GetName()), figures.Total(),
                              figures.AverageEconomy()});
    }
}
