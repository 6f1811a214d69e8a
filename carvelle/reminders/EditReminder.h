#pragma once
// Creating and changing a reminder: a new one (ID 0) gets its defaults (a date 60 days from now,
// the active vehicle, the active odometer plus 3,000, no description), then the Edit Reminder
// dialog runs on its values. True only when the user changed something and it was stored.
// A failed save is reported; a stored reminder is then read back from the file, so its record
// never holds values that are not stored.

class CNotification;
class QWidget;

bool EditReminder(CNotification& reminder, QWidget* parent);
