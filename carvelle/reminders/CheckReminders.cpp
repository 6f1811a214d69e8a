#include "reminders/CheckReminders.h"

#include "reminders/CDlgNotificationFire.h"
#include "reminders/MarkReminderDone.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ReminderDue.h"
#include "records/CObjectListT.h"
#include "widgets/CPrompter.h"

#include "platform/SystemTime.h"

#include <map>

namespace {

bool g_Checking = false;

// When and at which reading a reminder was put off, by its reference ID.
struct PutOff {
    int day = 0; // local, as yyyymmdd
    LONG odometer = 0;
};
std::map<ULONG, PutOff> g_PutOff;

int LocalDay() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return local.wYear * 10000 + local.wMonth * 100 + local.wDay;
}

class CheckingScope {
public:
    CheckingScope() { g_Checking = true; }
    ~CheckingScope() { g_Checking = false; }
    CheckingScope(const CheckingScope&) = delete;
    CheckingScope& operator=(const CheckingScope&) = delete;
};

} // namespace

void ForgetPutOffReminders() {
    g_PutOff.clear();
}

bool IsCheckingReminders() {
    return g_Checking;
}

bool CheckReminders(const CVehicle& vehicle, QWidget* parent) {
    const ULONG vehicleRefID = vehicle.GetRefID();
    if (g_Checking || vehicleRefID == 0)
        return false;
    const CheckingScope scope;

    CRecordServices& records = TheRecords();
    CObjectListT<CNotification> reminders;
    if (!records.LoadReminders(reminders, vehicleRefID))
        return false;
    const LONG odometer = vehicle.GetCurrentOdometer();
    const double now = NowAsOleDate();

    CVehicle shown;
    shown.SetName(vehicle.GetName());
    shown.SetYear(vehicle.GetYear());
    shown.SetCurrentOdometer(vehicle.GetCurrentOdometer());

    CPrompter& prompter = CPrompter::Instance();
    bool logChanged = false;
    for (int i = 0; i < reminders.GetCount(); ++i) {
        CNotification* reminder = reminders.Get(i);
        if (!IsReminderDue(*reminder, odometer, now))
            continue;
        const ULONG key = reminder->GetRefID();
        const int today = LocalDay();
        if (const auto later = g_PutOff.find(key);
            later != g_PutOff.end() && later->second.day == today && odometer <= later->second.odometer)
            continue;
        CDlgNotificationFire notice(*reminder, shown, parent);
        const int answer = prompter.RunModal(notice);
        if (answer == CDlgNotificationFire::ResultWorkDone) {
            const MarkDoneOutcome outcome = MarkReminderDone(*reminder, odometer, parent);
            logChanged = logChanged || outcome.repairStored;
            if (outcome.done) {
                g_PutOff.erase(key);
                continue;
            }
        }
        if (answer != CDlgNotificationFire::ResultDelete) {
            if (key != 0)
                g_PutOff[key] = PutOff{today, odometer};
            continue;
        }
        g_PutOff.erase(key);
        if (!records.Delete(*reminder)) {
            prompter.MessageBox(parent,
                                FormatStringResource(IDS_REMINDER_NOT_DELETED, {records.DataFilePath()}),
                                QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
        }
    }
    return logChanged;
}
