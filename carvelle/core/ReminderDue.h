#pragma once
// When a reminder falls due.

#include "platform/WinTypes.h"

class CNotification;

// Due once the odometer has reached the reminder's reading, or else once its date has come.
bool IsReminderDue(const CNotification& reminder, LONG odometer, double now);
