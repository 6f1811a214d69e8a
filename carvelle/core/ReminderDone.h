#pragma once
// The work of a reminder done: a repair with the reminder's name stored when asked, and the
// reminder moved on when it repeats or removed when it does not, all together or not at all.
// The program's Done and the console tool's "reminders done" share it.

#include "datastore/CDataLayer.h"
#include "platform/WinTypes.h"

#include <QDate>

#include <optional>

class CNotification;

enum class ReminderDoneResult {
    MovedOn, // a repeating reminder now falls due after the next interval
    Removed, // a one-time reminder is gone
    Failed,  // nothing changed; the reminder record may hold the moved-on values, reload it
};

// doneDay and doneOdometer are when and at which reading the work was done; repairAmount, when
// set, stores a repair entry of that amount on that day and reading. The reminder's interval is
// read here.
ReminderDoneResult CompleteReminder(CDataLayer& layer, CNotification& reminder, const QDate& doneDay,
                                    LONG doneOdometer, std::optional<double> repairAmount);
