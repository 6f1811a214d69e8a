#pragma once
// A repair just stored whose description is a reminder's name (case aside, as the pick list
// writes it) is that reminder's work: the user is offered, once, to mark the reminder done on the
// repair's day and reading, which moves a repeating reminder on and removes a one-time one.

class CEntry;
class QWidget;

// True when a reminder was marked done.
bool OfferReminderDone(const CEntry& repair, QWidget* parent);
