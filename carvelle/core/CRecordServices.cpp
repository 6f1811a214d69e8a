#include "core/CRecordServices.h"

#include "datastore/CDataLayer.h"

CRecordServices::CRecordServices(CDataLayer& dataLayer) : m_DataLayer(dataLayer) {
    m_DataLayer.SetBusyObserver([this](CDataLayer::BusyWait wait) {
        OnBusy(wait == CDataLayer::BusyWaitReaders ? Wait::Readers : Wait::Writer);
    });
}

CRecordServices::~CRecordServices() {
    m_DataLayer.SetBusyObserver({});
}

void CRecordServices::OnBusy(Wait wait) {
    if (wait == m_Waiting)
        return;
    m_Waiting = wait;
    if (m_WaitNotice)
        m_WaitNotice(wait);
}

template <class Call> bool CRecordServices::Run(Call call) {
    const bool done = call() != 0;
    if (m_Waiting != Wait::None)
        OnBusy(Wait::None);
    return done;
}

bool CRecordServices::LoadVehicles(CObjectListT<CVehicle>& list) {
    return Run([&] { return m_DataLayer.Load(list); });
}

bool CRecordServices::LoadEntries(CObjectListT<CEntry>& list, CEntryFilter& filter) {
    return Run([&] { return m_DataLayer.Load(list, filter); });
}

bool CRecordServices::LoadKeywords(CObjectListT<CKeyword>& list, CKeyword::Type type) {
    return Run([&] { return m_DataLayer.Load(list, type); });
}

bool CRecordServices::LoadReminders(CObjectListT<CNotification>& list, ULONG vehicleRefID) {
    return Run([&] { return m_DataLayer.Load(list, vehicleRefID); });
}

bool CRecordServices::Reload(CVehicle& vehicle) {
    return Run([&] { return m_DataLayer.Load(&vehicle); });
}

bool CRecordServices::Reload(CEntry& entry) {
    return Run([&] { return m_DataLayer.Load(&entry); });
}

bool CRecordServices::Reload(CNotification& reminder) {
    return Run([&] { return m_DataLayer.Load(&reminder); });
}

bool CRecordServices::Save(CVehicle& vehicle) {
    return Run([&] { return m_DataLayer.Save(&vehicle, 0); });
}

bool CRecordServices::Save(CEntry& entry) {
    return Run([&] { return m_DataLayer.Save(&entry, 0); });
}

bool CRecordServices::Save(CKeyword& keyword) {
    return Run([&] { return m_DataLayer.Save(&keyword, 0); });
}

bool CRecordServices::Save(CNotification& reminder) {
    return Run([&] { return m_DataLayer.Save(&reminder, 0); });
}

bool CRecordServices::Delete(CVehicle& vehicle) {
    return Run([&] { return m_DataLayer.Delete(&vehicle); });
}

bool CRecordServices::Delete(CEntry& entry) {
    return Run([&] { return m_DataLayer.Delete(&entry); });
}

bool CRecordServices::Delete(CKeyword& keyword) {
    return Run([&] { return m_DataLayer.Delete(&keyword); });
}

bool CRecordServices::Delete(CNotification& reminder) {
    return Run([&] { return m_DataLayer.Delete(&reminder); });
}

bool CRecordServices::GetMaxOdometer(ULONG vehicleRefID, LONG& odometer) {
    return Run([&] { return m_DataLayer.GetMaxOdometer(vehicleRefID, &odometer); });
}

bool CRecordServices::UpdateCurrentOdometer(CVehicle& vehicle, LONG odometer) {
    return Run([&] { return m_DataLayer.UpdateCurrentOdometer(&vehicle, odometer); });
}

QString CRecordServices::DataFilePath() const {
    return QString::fromUtf16(m_DataLayer.GetDBPath());
}
