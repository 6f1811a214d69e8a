#include "core/CRecordServices.h"

#include "datastore/CDataLayer.h"
#include "platform/SystemTime.h"
#include "records/CEntry.h"

#include <algorithm>

CRecordServices::CRecordServices(CDataLayer& dataLayer) : m_DataLayer(dataLayer) {}

bool CRecordServices::LoadVehicles(CObjectListT<CVehicle>& list) {
    return m_DataLayer.Load(list) != 0;
}

bool CRecordServices::LoadEntries(CObjectListT<CEntry>& list, CEntryFilter& filter) {
    return m_DataLayer.Load(list, filter) != 0;
}

bool CRecordServices::LoadKeywords(CObjectListT<CKeyword>& list, CKeyword::Type type) {
    return m_DataLayer.Load(list, type) != 0;
}

bool CRecordServices::LoadReminders(CObjectListT<CNotification>& list, ULONG vehicleRefID) {
    return m_DataLayer.Load(list, vehicleRefID) != 0;
}

bool CRecordServices::Reload(CVehicle& vehicle) {
    return m_DataLayer.Load(&vehicle) != 0;
}

bool CRecordServices::Reload(CEntry& entry) {
    return m_DataLayer.Load(&entry) != 0;
}

bool CRecordServices::Reload(CNotification& reminder) {
    return m_DataLayer.Load(&reminder) != 0;
}

bool CRecordServices::Save(CVehicle& vehicle) {
    return m_DataLayer.Save(&vehicle, 0) != 0;
}

bool CRecordServices::Save(CEntry& entry) {
    return m_DataLayer.Save(&entry, 0) != 0;
}

bool CRecordServices::Save(CKeyword& keyword) {
    return m_DataLayer.Save(&keyword, 0) != 0;
}

bool CRecordServices::Save(CNotification& reminder) {
    return m_DataLayer.Save(&reminder, 0) != 0;
}

bool CRecordServices::Delete(CVehicle& vehicle) {
    return m_DataLayer.Delete(&vehicle) != 0;
}

bool CRecordServices::Delete(CEntry& entry) {
    return m_DataLayer.Delete(&entry) != 0;
}

bool CRecordServices::Delete(CKeyword& keyword) {
    return m_DataLayer.Delete(&keyword) != 0;
}

bool CRecordServices::Delete(CNotification& reminder) {
    return m_DataLayer.Delete(&reminder) != 0;
}

bool CRecordServices::GetMaxOdometer(ULONG vehicleRefID, LONG& odometer) {
    return m_DataLayer.GetMaxOdometer(vehicleRefID, &odometer) != 0;
}

bool CRecordServices::NearestReadingBefore(ULONG vehicleRefID, double date, LONG exceptID, Reading& found) {
    return NearestReading(vehicleRefID, date, exceptID, true, found);
}

bool CRecordServices::NearestReadingAfter(ULONG vehicleRefID, double date, LONG exceptID, Reading& found) {
    return NearestReading(vehicleRefID, date, exceptID, false, found);
}

bool CRecordServices::NearestReading(ULONG vehicleRefID, double date, LONG exceptID, bool before,
                                     Reading& found) {
    // A month on the right side of the date holds the neighbour nearly always; the window widens
    // only when it does not, so a long log is read whole only for its first or last entry.
    constexpr double kWindows[] = {31.0, 366.0, 3653.0, 0.0};
    for (const double days : kWindows) {
        CEntryFilter filter;
        filter.SetVehicleID(vehicleRefID);
        if (days > 0.0) {
            SYSTEMTIME start{};
            SYSTEMTIME end{};
            const double from = before ? std::max(0.0, date - days) : date;
            const double to = before ? date : date + days;
            if (!VariantTimeToSystemTime(from, &start) || !VariantTimeToSystemTime(to, &end))
                continue;
            filter.SetDateRangeType(CEntryFilter::DateRangeCustom);
            filter.SetStartDate(start, 0);
            filter.SetEndDate(end, 0);
        }
        CObjectListT<CEntry> entries;
        if (!LoadEntries(entries, filter))
            return false;
        bool have = false;
        for (int i = 0; i < entries.GetCount(); ++i) {
            const CEntry* entry = entries.Get(i);
            const double when = entry->GetDate();
            const bool side = before ? when < date : when > date;
            if (!side || entry->GetID() == exceptID || entry->GetOdometer() <= 0)
                continue;
            if (!have || (before ? when > found.date : when < found.date)) {
                found.date = when;
                found.odometer = entry->GetOdometer();
                have = true;
            }
        }
        if (have)
            return true;
    }
    return false;
}

bool CRecordServices::UpdateCurrentOdometer(CVehicle& vehicle, LONG odometer) {
    return m_DataLayer.UpdateCurrentOdometer(&vehicle, odometer) != 0;
}

QString CRecordServices::DataFilePath() const {
    return QString::fromUtf16(m_DataLayer.GetDBPath());
}
