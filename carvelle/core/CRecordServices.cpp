#include "core/CRecordServices.h"

#include "datastore/CDataLayer.h"

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

bool CRecordServices::UpdateCurrentOdometer(CVehicle& vehicle, LONG odometer) {
    return m_DataLayer.UpdateCurrentOdometer(&vehicle, odometer) != 0;
}

QString CRecordServices::DataFilePath() const {
    return QString::fromUtf16(m_DataLayer.GetDBPath());
}
