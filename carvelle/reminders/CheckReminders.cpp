#include "reminders/CheckReminders.h"

#include "reminders/CDlgNotificationFire.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ReminderDue.h"
#include "records/CObjectListT.h"
#include "widgets/CPrompter.h"

namespace {

bool g_Checking = false;

class CheckingScope {
public:
    CheckingScope() { g_Checking = true; }
    ~CheckingScope() { g_Checking = false; }
    CheckingScope(const CheckingScope&) = delete;
    CheckingScope& operator=(const CheckingScope&) = delete;
};

} // namespace

bool IsCheckingReminders() {
    return g_Checking;
}

void CheckReminders(const CVehicle& vehicle, QWidget* parent) {
    const ULONG vehicleRefID = vehicle.GetRefID();
    if (g_Checking || vehicleRefID == 0)
        return;
    const CheckingScope scope;

    CRecordServices& records = TheRecords();
    CObjectListT<CNotification> reminders;
    if (!records.LoadReminders(reminders, vehicleRefID))
        return;
    const LONG odometer = vehicle.GetCurrentOdometer();
    const double now = NowAsOleDate();

    CVehicle shown;
    shown.SetName(vehicle.GetName());
    shown.SetYear(vehicle.GetYear());
    shown.SetCurrentOdometer(vehicle.GetCurrentOdometer());

    CPrompter& prompter = CPrompter::Instance();
    for (int i = 0; i < reminders.GetCount(); ++i) {
        CNotification* reminder = reminders.Get(i);
        if (!IsReminderDue(*reminder, odometer, now))
            continue;
        CDlgNotificationFire notice(*reminder, shown, parent);
        if (prompter.RunModal(notice) != CDlgNotificationFire::ResultDelete)
            continue;
        if (!records.Delete(*reminder)) {
            prompter.MessageBox(parent,
                                FormatStringResource(IDS_REMINDER_NOT_DELETED, {records.DataFilePath()}),
                                QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
        }
    }
}
