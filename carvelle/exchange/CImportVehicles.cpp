#include "exchange/CImportVehicles.h"

#include "core/VehicleLookup.h"

#include "datastore/CDataLayer.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"

#include <algorithm>
#include <cmath>

std::size_t CImportVehicles::KeyHash::operator()(const Key& k) const {
    // In unsigned arithmetic: an invalid day (a stored date out of range) is the lowest number.
    std::size_t h = std::hash<unsigned long long>()(static_cast<unsigned long long>(k.day) * 8 +
                                                    static_cast<unsigned long long>(k.type));
    h ^= std::hash<unsigned long long>()((static_cast<unsigned long long>(k.odometer) << 20) ^
                                         static_cast<unsigned long long>(k.cents)) +
         0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}

long long CImportVehicles::Cents(float amount) {
    const double cents = static_cast<double>(amount) * 100.0;
    return std::isfinite(cents) && std::fabs(cents) < 9e18 ? std::llround(cents) : 0;
}

CImportVehicles::CImportVehicles(CDataLayer& layer, bool dryRun) : m_DataLayer(layer), m_DryRun(dryRun) {}

bool CImportVehicles::Load() {
    if (!m_DataLayer.Load(m_Stored))
        return false;
    for (int i = 0; i < m_Stored.GetCount(); ++i) {
        CVehicle* vehicle = m_Stored.Get(i);
        const QString name = QString::fromUtf16(vehicle->GetName());
        m_ByRefID.emplace(vehicle->GetRefID(), vehicle);
        if (!m_ByName.contains(name))
            m_ByName.insert(name, vehicle->GetRefID());
        m_ByFolded[FoldedVehicleName(name)] << vehicle->GetRefID();
    }
    return true;
}

ULONG CImportVehicles::Make(const QString& name) {
    ++m_Made;
    if (m_DryRun)
        return --m_DryRunVehicle;
    auto vehicle = std::make_unique<CVehicle>();
    vehicle->SetName(reinterpret_cast<LPCWSTR>(name.utf16()));
    vehicle->SetYear(QDate::currentDate().year());
    vehicle->SetCurrentOdometer(0);
    if (!m_DataLayer.Save(vehicle.get(), 0))
        return 0;
    const ULONG refID = vehicle->GetRefID();
    m_ByRefID.emplace(refID, vehicle.get());
    m_MadeVehicles.push_back(std::move(vehicle));
    return refID;
}

bool CImportVehicles::Describe(ULONG refID, int year, const QString& plate, const QString& makeModel) {
    if (m_DryRun || (year == 0 && plate.isEmpty() && makeModel.isEmpty()))
        return true;
    const auto made = std::find_if(m_MadeVehicles.begin(), m_MadeVehicles.end(),
                                   [refID](const auto& vehicle) { return vehicle->GetRefID() == refID; });
    if (made == m_MadeVehicles.end())
        return true;
    CVehicle& vehicle = **made;
    if (year != 0)
        vehicle.SetYear(year);
    if (!plate.isEmpty())
        vehicle.SetLicensePlate(reinterpret_cast<LPCWSTR>(plate.utf16()));
    if (!makeModel.isEmpty())
        vehicle.SetNotes(reinterpret_cast<LPCWSTR>(makeModel.utf16()));
    return !vehicle.IsDirty() || m_DataLayer.Save(&vehicle, 0) != 0;
}

ULONG CImportVehicles::OfFileName(const QString& name, const QStringList& fileNames) {
    if (m_LastRefID != 0 && name == m_LastName)
        return m_LastRefID;
    if (const auto found = m_Resolved.constFind(name); found != m_Resolved.constEnd()) {
        m_LastName = name;
        return m_LastRefID = *found;
    }
    ULONG refID = m_ByName.value(name);
    if (refID == 0) {
        const QList<ULONG> folded = m_ByFolded.value(FoldedVehicleName(name));
        if (folded.size() == 1 &&
            !fileNames.contains(QString::fromUtf16(m_ByRefID[folded.front()]->GetName())))
            refID = folded.front();
    }
    if (refID == 0 && (refID = Make(name)) == 0)
        return 0;
    m_Resolved.insert(name, refID);
    return refID;
}

ULONG CImportVehicles::OfTypedName(const QString& typed) {
    if (m_Typed == 0) {
        const QString name = typed.trimmed();
        m_Typed = m_ByName.value(typed, m_ByName.value(name));
        if (m_Typed == 0) {
            const QList<ULONG> folded = m_ByFolded.value(FoldedVehicleName(name));
            m_Typed = folded.size() == 1 ? folded.front() : Make(name);
        }
    }
    return m_Typed;
}

CImportVehicles::Stored CImportVehicles::Holds(ULONG vehicle, int type, const QDate& day, LONG odometer,
                                               float amount) {
    auto [found, added] = m_Keys.try_emplace(vehicle);
    auto made = [this, vehicle] {
        return std::any_of(m_MadeVehicles.begin(), m_MadeVehicles.end(),
                           [vehicle](const auto& v) { return v->GetRefID() == vehicle; });
    };
    // A vehicle made by this import holds nothing yet.
    if (added && m_ByRefID.count(vehicle) && !made()) {
        CObjectListT<CEntry> entries;
        CEntryFilter filter;
        filter.SetVehicleID(vehicle);
        if (!m_DataLayer.Load(entries, filter)) {
            m_Keys.erase(found);
            return Stored::Unknown;
        }
        for (int i = 0; i < entries.GetCount(); ++i) {
            const CEntry* entry = entries.Get(i);
            const QDate stored = m_Days.Day(entry->GetDate());
            if (stored.isValid())
                found->second.insert({entry->GetType(), stored.toJulianDay(), entry->GetOdometer(),
                                      Cents(entry->GetAmount())});
        }
    }
    return found->second.count({type, day.toJulianDay(), odometer, Cents(amount)}) ? Stored::Yes : Stored::No;
}

void CImportVehicles::Reached(ULONG vehicle, LONG odometer) {
    LONG& top = m_Highest[vehicle];
    top = std::max(top, odometer);
}

bool CImportVehicles::StoreReadings() {
    for (const auto& [refID, odometer] : m_Highest) {
        const auto found = m_ByRefID.find(refID);
        if (found != m_ByRefID.end() && odometer > found->second->GetCurrentOdometer() &&
            !m_DataLayer.UpdateCurrentOdometer(found->second, odometer))
            return false;
    }
    return true;
}
