#pragma once
// Repeating reminders: moving one on once its work is done, and the day on which a reminder due
// at a reading is likely to fall due, from the vehicle's recent driving.

#include "datastore/CDataLayer.h"
#include "platform/WinTypes.h"

#include <QDate>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class CNotification;

// A reminder moved on never falls due by what it does not repeat on: the reading and the date
// that stand for "never".
inline constexpr LONG kNeverDueOdometer = 0x7FFFFFFF;
QDate NeverDueDay();

// The reminder's due reading and day, unset (nullopt) where it has none or has "never".
std::optional<LONG> ReminderDueOdometer(const CNotification& reminder);
std::optional<QDate> ReminderDueDay(const CNotification& reminder);

// Moves a repeating reminder on to the work's day plus its months and reading plus its distance,
// whichever comes first; what it does not repeat on is set to never. The new date is the start
// of that local day; 31 January plus a month is the last day of February. False, and nothing
// changed, for an interval of neither.
bool MoveReminderOn(CNotification& reminder, const CDataLayer::ReminderInterval& interval,
                    const QDate& doneDay, LONG doneOdometer);

// One reading of the vehicle's log: the local day of the entry and its odometer.
using OdometerReading = std::pair<QDate, LONG>;

// Distance per day over the last 90 days of readings (all of them when they span fewer), or
// nullopt with under 30 days between the first and the last reading or no distance driven.
// Readings of 0 are no readings; the order does not matter.
std::optional<double> DistancePerDay(std::vector<OdometerReading> readings);

// The day on which the reading dueOdometer is likely reached, counted from the last reading at the
// rate above; nullopt without a rate or once the reading is reached.
std::optional<QDate> PredictDueDay(const std::vector<OdometerReading>& readings, LONG dueOdometer);

// The predicted day as Manage Reminders shows it: "about 23 days, around 31 Dec 2026"; a day not
// after today is "any day now".
QString PredictionText(const QDate& predicted, const QDate& today);
