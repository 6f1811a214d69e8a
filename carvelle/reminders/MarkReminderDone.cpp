#include "reminders/MarkReminderDone.h"

#include "reminders/CDlgReminderDone.h"
#include "reminders/CNotificationListView.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "records/CNotification.h"
#include "widgets/CPrompter.h"

#include <algorithm>

MarkDoneOutcome MarkReminderDone(CNotification& reminder, LONG currentOdometer, QWidget* parent) {
    MarkDoneOutcome outcome;
    CRecordServices& records = TheRecords();
    const ULONG vehicle = reminder.GetVehicleID();
    LONG highest = 0;
    if (!records.GetMaxOdometer(vehicle, highest))
        highest = 0;

    // A reading never lies below one logged on or before the day of the work.
    const auto check = [&records, vehicle](const QDate& day, LONG odometer) -> QString {
        CRecordServices::Reading before;
        const double endOfDay = LocalToOleDate(EndOfLocalDay(day));
        if (!records.NearestReadingBefore(vehicle, endOfDay, 0, before) || odometer >= before.odometer)
            return QString();
        return FormatStringResource(IDS_REMINDER_DONE_READING_LOW,
                                    {CNotificationListView::OdometerText(odometer),
                                     CNotificationListView::OdometerText(before.odometer),
                                     ShortDateText(before.date)});
    };
    CDlgReminderDone dialog(QString::fromUtf16(reminder.GetName()), LocalDayToday(),
                            std::max(highest, currentOdometer), check, parent);
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.RunModal(dialog) != ID_DONE)
        return outcome;

    bool removed = false;
    if (!records.CompleteReminder(reminder, dialog.Day(), dialog.Odometer(), dialog.RepairAmount(),
                                  removed)) {
        prompter.MessageBox(parent,
                            FormatStringResource(IDS_REMINDER_DONE_NOT_STORED, {records.DataFilePath()}),
                            QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
        return outcome;
    }
    outcome.done = true;
    outcome.removed = removed;
    outcome.repairStored = dialog.RepairAmount().has_value();
    return outcome;
}
