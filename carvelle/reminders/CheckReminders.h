#pragma once
// The due check: each reminder of the active vehicle that is due is announced in its notice, one
// after another, and deleted or marked done (moved on, or removed) when the user says so. One put off with
// "Remind me later" stays quiet until the program starts again, the local day changes or the vehicle's
// odometer rises.

class CVehicle;
class QWidget;

// Checks the reminders of the vehicle against its current odometer and now; the notices show
// the vehicle, copied first, so a reload of the vehicle list while a notice is open cannot
// pull it away. A check that is already running is not started again. True when the log changed:
// a repair entry was stored with a reminder's work.
bool CheckReminders(const CVehicle& vehicle, QWidget* parent);
bool IsCheckingReminders();
// Every reminder put off comes again at the next check (a new run of the program).
void ForgetPutOffReminders();
