#pragma once
// Loads, saves and deletes the records of the open data file. Lists, dialogs and features go
// through this rather than the data layer, so every change to the data takes one road.
// Every call returns false when the data file refused it; a failed list load leaves the list
// empty. Records are saved with fresh time stamps (preserveDates 0).
// While another program holds the data file, a call waits for it (the data layer's busy timeout,
// the same for every command) before it gives up; the one who set a wait notice is told when such
// a wait begins and when it is over, to show it.

#include "datastore/CDataLayer.h"
#include "records/CEntryFilter.h"
#include "records/CKeyword.h"
#include "records/CObjectListT.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class CEntry;
class CNotification;
class CVehicle;

class CRecordServices {
public:
    // Whom a call waits for: nobody (the wait is over), another program that writes, or others
    // that still read while this one wants to write.
    enum class Wait { None, Writer, Readers };
    using WaitNotice = std::function<void(Wait wait)>;

    explicit CRecordServices(CDataLayer& dataLayer);
    ~CRecordServices();
    CRecordServices(const CRecordServices&) = delete;
    CRecordServices& operator=(const CRecordServices&) = delete;

    void SetWaitNotice(WaitNotice notice) { m_WaitNotice = std::move(notice); }
    // Tells that a wait shown is over; for waits in calls that reach the data layer directly
    // (import, export, opening a file), whose end the services do not see.
    void EndWait();

    // Makes a call running on another thread stop soon and fail: a load the user cancelled.
    void Interrupt();

    bool LoadVehicles(CObjectListT<CVehicle>& list);
    bool LoadEntries(CObjectListT<CEntry>& list, CEntryFilter& filter);
    // The numbers the figures read of the entries, with their fill flags; no texts.
    bool LoadFigureRows(std::vector<CDataLayer::FigureRow>& rows, CEntryFilter& filter);
    // A stored fuel entry's fill flags (CDataLayer::FillPartial, FillMissed).
    bool GetFillFlags(const CEntry& entry, DWORD& flags);
    bool SetFillFlags(const CEntry& entry, DWORD flags);
    // Every set fill flag, as pairs of an entry's reference ID and its flags.
    bool LoadFillFlags(std::vector<std::pair<ULONG, DWORD>>& flags);
    bool LoadKeywords(CObjectListT<CKeyword>& list, CKeyword::Type type);
    bool LoadReminders(CObjectListT<CNotification>& list, ULONG vehicleRefID);
    // A stored reminder's repeat interval (none: both 0), and storing one; a figure out of range
    // is refused with nothing written.
    bool GetReminderInterval(const CNotification& reminder, CDataLayer::ReminderInterval& interval);
    bool SetReminderInterval(const CNotification& reminder, const CDataLayer::ReminderInterval& interval);
    // Every repeating reminder's interval, by the reminder's reference ID.
    bool LoadReminderIntervals(std::vector<std::pair<ULONG, CDataLayer::ReminderInterval>>& intervals);
    // The reminder's work done on that day at that reading: see CompleteReminder. False, with
    // nothing changed and the reminder reloaded, when the file refused it; removed tells whether
    // the reminder is gone rather than moved on.
    bool CompleteReminder(CNotification& reminder, const QDate& doneDay, LONG doneOdometer,
                          std::optional<double> repairAmount, bool& removed);

    // A stored record as the file holds it, by its ID: what a failed save falls back to.
    bool Reload(CVehicle& vehicle);
    bool Reload(CEntry& entry);
    bool Reload(CNotification& reminder);

    bool Save(CVehicle& vehicle);
    bool Save(CEntry& entry);
    bool Save(CKeyword& keyword);
    bool Save(CNotification& reminder);
    // The reminder and its repeat interval in one transaction: both are stored or neither is (a
    // new reminder then stays new).
    bool Save(CNotification& reminder, const CDataLayer::ReminderInterval& interval);

    // A vehicle goes with its entries and reminders.
    bool Delete(CVehicle& vehicle);
    bool Delete(CEntry& entry);
    bool Delete(CKeyword& keyword);
    bool Delete(CNotification& reminder);

    // The highest odometer reading among the vehicle's entries (0 when it has none).
    bool GetMaxOdometer(ULONG vehicleRefID, LONG& odometer);
    // An odometer reading of another entry of the vehicle, for checking a new one against.
    struct Reading {
        double date = 0.0;
        LONG odometer = 0;
    };
    // The entry of the vehicle dated nearest before (or after) the date that carries a reading
    // (an odometer above 0), leaving out the entry with the given ID (0: none). False when there
    // is none or the file could not be read.
    bool NearestReadingBefore(ULONG vehicleRefID, double date, LONG exceptID, Reading& found);
    bool NearestReadingAfter(ULONG vehicleRefID, double date, LONG exceptID, Reading& found);

    // Stores the reading as the vehicle's current odometer, in the file and in the record.
    bool UpdateCurrentOdometer(CVehicle& vehicle, LONG odometer);

    // The open data file, for the messages that name it.
    QString DataFilePath() const;

private:
    bool NearestReading(ULONG vehicleRefID, double date, LONG exceptID, bool before, Reading& found);
    // Runs one call of the data layer and ends a wait it shows.
    template <class Call> bool Run(Call call);
    void OnBusy(Wait wait);

    CDataLayer& m_DataLayer;
    WaitNotice m_WaitNotice;
    Wait m_Waiting = Wait::None;
};
