#include "core/CRecordServices.h"

#include "core/ReminderDone.h"

#include "datastore/CDataLayer.h"
#include "platform/SystemTime.h"
#include "records/CEntry.h"

#include <algorithm>

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

void CRecordServices::EndWait() {
    if (m_Waiting != Wait::None)
        OnBusy(Wait::None);
}

template <class Call> bool CRecordServices::Run(Call call) {
    const bool done = call() != 0;
    EndWait();
    return done;
}

void CRecordServices::Interrupt() {
    m_DataLayer.Interrupt();
}

bool CRecordServices::LoadVehicles(CObjectListT<CVehicle>& list) {
    return Run([&] { return m_DataLayer.Load(list); });
}

bool CRecordServices::LoadEntries(CObjectListT<CEntry>& list, CEntryFilter& filter) {
    return Run([&] { return m_DataLayer.Load(list, filter); });
}

bool CRecordServices::LoadFigureRows(std::vector<CDataLayer::FigureRow>& rows, CEntryFilter& filter) {
    return Run([&] { return m_DataLayer.LoadFigureRows(rows, filter); });
}

bool CRecordServices::GetFillFlags(const CEntry& entry, DWORD& flags) {
    return Run([&] { return m_DataLayer.GetFillFlags(&entry, &flags); });
}

bool CRecordServices::SetFillFlags(const CEntry& entry, DWORD flags) {
    return Run([&] { return m_DataLayer.SetFillFlags(&entry, flags); });
}

bool CRecordServices::LoadFillFlags(std::vector<std::pair<ULONG, DWORD>>& flags) {
    return Run([&] { return m_DataLayer.LoadFillFlags(flags); });
}

bool CRecordServices::LoadKeywords(CObjectListT<CKeyword>& list, CKeyword::Type type) {
    return Run([&] { return m_DataLayer.Load(list, type); });
}

bool CRecordServices::LoadReminders(CObjectListT<CNotification>& list, ULONG vehicleRefID) {
    return Run([&] { return m_DataLayer.Load(list, vehicleRefID); });
}

bool CRecordServices::GetReminderInterval(const CNotification& reminder,
                                          CDataLayer::ReminderInterval& interval) {
    return Run([&] { return m_DataLayer.GetReminderInterval(&reminder, &interval); });
}

bool CRecordServices::SetReminderInterval(const CNotification& reminder,
                                          const CDataLayer::ReminderInterval& interval) {
    return Run([&] { return m_DataLayer.SetReminderInterval(&reminder, interval); });
}

bool CRecordServices::LoadReminderIntervals(
    std::vector<std::pair<ULONG, CDataLayer::ReminderInterval>>& intervals) {
    return Run([&] { return m_DataLayer.LoadReminderIntervals(intervals); });
}

bool CRecordServices::CompleteReminder(CNotification& reminder, const QDate& doneDay, LONG doneOdometer,
                                       std::optional<double> repairAmount, bool& removed) {
    ReminderDoneResult result = ReminderDoneResult::Failed;
    Run([&] {
        result = ::CompleteReminder(m_DataLayer, reminder, doneDay, doneOdometer, repairAmount);
        return result != ReminderDoneResult::Failed;
    });
    if (result == ReminderDoneResult::Failed) {
        Reload(reminder);
        return false;
    }
    removed = result == ReminderDoneResult::Removed;
    return true;
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

bool CRecordServices::Save(CNotification& reminder, const CDataLayer::ReminderInterval& interval) {
    const LONG id = reminder.GetID();
    const ULONG refID = reminder.GetRefID();
    const int dirty = reminder.IsDirty();
    return Run([&] {
        if (!m_DataLayer.BeginTransaction())
            return false;
        if (m_DataLayer.Save(&reminder, 0) && m_DataLayer.SetReminderInterval(&reminder, interval) &&
            m_DataLayer.Commit() == CDataLayer::CommitOK)
            return true;
        m_DataLayer.RollBack();
        // Nothing of it is in the file: the record is as it was before.
        reminder.SetID(id);
        reminder.SetRefID(refID);
        reminder.SetDirty(dirty);
        return false;
    });
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
    return Run([&] { return m_DataLayer.UpdateCurrentOdometer(&vehicle, odometer); });
}

QString CRecordServices::DataFilePath() const {
    return QString::fromUtf16(m_DataLayer.GetDBPath());
}
