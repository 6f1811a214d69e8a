#include "core/ReminderDue.h"

#include "records/CNotification.h"

bool IsReminderDue(const CNotification& reminder, LONG odometer, double now) {
    return odometer >= reminder.GetOdometer() || now >= reminder.GetDate();
}
