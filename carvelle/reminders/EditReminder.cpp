#include "reminders/EditReminder.h"

#include "reminders/CDlgNotification.h"
#include "reminders/CheckReminders.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "records/CNotification.h"
#include "widgets/CPrompter.h"

#include <cstdint>
#include <limits>

namespace {

constexpr double kDefaultDays = 60.0;
constexpr LONG kDefaultDistance = 3000;

// The reading plus the distance, stopping at the largest reading instead of wrapping.
LONG AddDistance(LONG odometer, LONG distance) {
    const int64_t sum = int64_t{odometer} + distance;
    return sum > std::numeric_limits<LONG>::max() ? std::numeric_limits<LONG>::max() : static_cast<LONG>(sum);
}

} // namespace

bool EditReminder(CNotification& reminder, QWidget* parent) {
    const CSession& session = TheSession();
    if (reminder.GetID() == 0) {
        reminder.SetDate(NowAsOleDate() + kDefaultDays);
        // A caller that knows the vehicle (the reminder list) has set it already.
        if (reminder.GetVehicleID() == 0)
            reminder.SetVehicleID(session.ActiveVehicle());
        reminder.SetOdometer(AddDistance(session.ActiveOdometer(), kDefaultDistance));
        reminder.SetName(u"");
    }
    // A reminder without a vehicle would belong to nobody.
    if (reminder.GetVehicleID() == 0)
        return false;

    CRecordServices& records = TheRecords();
    CDataLayer::ReminderInterval before;
    if (reminder.GetID() != 0 && !records.GetReminderInterval(reminder, before))
        before = CDataLayer::ReminderInterval();

    CDlgNotification dialog(parent);
    if (reminder.GetID() == 0)
        dialog.setWindowTitle(LoadStringResource(IDS_NEW_REMINDER_TITLE));
    dialog.SetValues(reminder.GetDate(), QString::fromUtf16(reminder.GetName()), reminder.GetOdometer());
    dialog.SetInterval(before.EveryDistance, before.EveryMonths);
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.RunModal(dialog) != ID_DONE)
        return false;

    reminder.SetDate(dialog.Date());
    reminder.SetName(dialog.Description().toStdU16String().c_str());
    reminder.SetOdometer(dialog.Odometer());
    const CDataLayer::ReminderInterval after{dialog.EveryDistance(), dialog.EveryMonths()};
    const bool intervalChanged =
        after.EveryDistance != before.EveryDistance || after.EveryMonths != before.EveryMonths;
    if (!reminder.IsDirty() && !intervalChanged)
        return false;
    const bool stored = !intervalChanged     ? records.Save(reminder)
                        : reminder.IsDirty() ? records.Save(reminder, after)
                                             : records.SetReminderInterval(reminder, after);
    if (stored)
        return true;

    prompter.MessageBox(parent, FormatStringResource(IDS_REMINDER_NOT_SAVED, {records.DataFilePath()}),
                        QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
    if (reminder.GetID() != 0)
        records.Reload(reminder);
    return false;
}
