#pragma once
// "Done..." on a reminder, from the due notice or Manage Reminders: asks when and at which reading
// the work was done, stores it (with a repair entry when asked), and tells of a failure.

#include "platform/WinTypes.h"

class CNotification;
class QWidget;

struct MarkDoneOutcome {
    bool done = false;         // the reminder was moved on or removed
    bool removed = false;      // removed: it did not repeat
    bool repairStored = false; // a repair entry went into the log
};

// currentOdometer is the vehicle's reading the dialog offers when the log has none higher.
MarkDoneOutcome MarkReminderDone(CNotification& reminder, LONG currentOdometer, QWidget* parent);
