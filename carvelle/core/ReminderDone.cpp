#include "core/ReminderDone.h"

#include "core/LocalDates.h"
#include "core/ReminderSchedule.h"
#include "records/CEntry.h"
#include "records/CNotification.h"

#include <QDateTime>
#include <QTime>

ReminderDoneResult CompleteReminder(CDataLayer& layer, CNotification& reminder, const QDate& doneDay,
                                    LONG doneOdometer, std::optional<double> repairAmount) {
    CDataLayer::ReminderInterval interval;
    if (!layer.GetReminderInterval(&reminder, &interval) || !layer.BeginTransaction())
        return ReminderDoneResult::Failed;
    bool stored = true;
    if (repairAmount) {
        CEntry repair;
        repair.SetVehicleID(reminder.GetVehicleID());
        repair.SetType(CEntry::EntryRepair);
        repair.SetName(reminder.GetName());
        // Midday, so that the day stays the same in every time zone the log is read in.
        repair.SetDate(LocalToOleDate(QDateTime(doneDay, QTime(12, 0))));
        repair.SetOdometer(doneOdometer);
        repair.SetAmount(static_cast<float>(*repairAmount));
        stored = layer.Save(&repair, 0) != 0;
    }
    const bool movedOn = MoveReminderOn(reminder, interval, doneDay, doneOdometer);
    if (stored)
        stored = movedOn ? layer.Save(&reminder, 0) != 0 : layer.Delete(&reminder) != 0;
    if (!stored || layer.Commit() != CDataLayer::CommitOK) {
        layer.RollBack();
        return ReminderDoneResult::Failed;
    }
    return movedOn ? ReminderDoneResult::MovedOn : ReminderDoneResult::Removed;
}
