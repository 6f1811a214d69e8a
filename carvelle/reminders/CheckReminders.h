#pragma once
// The due check: each reminder of the active vehicle that is due is announced in its notice, one
// after another, and deleted when the user says so. Nothing records which reminders were shown,
// so one that is put off comes again at every later check.

#include "platform/WinTypes.h"

class CNotification;
class CVehicle;
class QWidget;

// Due once the odometer has reached the reminder's reading, or else once its date has come.
bool IsReminderDue(const CNotification& reminder, LONG odometer, double now);

// Now as a stored (UTC) OLE date, from the clock that stamps records.
double NowAsOleDate();

// Checks the reminders of LastActiveVehicle against ActiveOdometer and now; the notices show
// the given vehicle, copied first, so a reload of the vehicle list while a notice is open cannot
// pull it away. A check that is already running is not started again.
void CheckReminders(const CVehicle& vehicle, QWidget* parent);
bool IsCheckingReminders();
