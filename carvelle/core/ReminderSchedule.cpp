#include "core/ReminderSchedule.h"

#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "records/CNotification.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr qint64 kRateDays = 90;
constexpr qint64 kLeastHistoryDays = 30;

} // namespace

QDate NeverDueDay() {
    return QDate(9999, 12, 31);
}

std::optional<LONG> ReminderDueOdometer(const CNotification& reminder) {
    const LONG odometer = reminder.GetOdometer();
    if (odometer <= 0 || odometer == kNeverDueOdometer)
        return std::nullopt;
    return odometer;
}

std::optional<QDate> ReminderDueDay(const CNotification& reminder) {
    if (reminder.GetDate() <= 0.0)
        return std::nullopt;
    const QDate day = OleDateToLocal(reminder.GetDate()).date();
    if (!day.isValid() || day >= NeverDueDay())
        return std::nullopt;
    return day;
}

bool MoveReminderOn(CNotification& reminder, const CDataLayer::ReminderInterval& interval,
                    const QDate& doneDay, LONG doneOdometer) {
    if (interval.EveryDistance <= 0 && interval.EveryMonths <= 0)
        return false;
    LONG odometer = kNeverDueOdometer;
    if (interval.EveryDistance > 0) {
        // Done + interval stays below the never reading, however high the odometer.
        const long long next =
            static_cast<long long>(std::max<LONG>(doneOdometer, 0)) + interval.EveryDistance;
        odometer = static_cast<LONG>(std::min<long long>(next, kNeverDueOdometer - 1));
    }
    const QDate day = interval.EveryMonths > 0
                          ? std::min(doneDay.addMonths(interval.EveryMonths), NeverDueDay())
                          : NeverDueDay();
    reminder.SetOdometer(odometer);
    reminder.SetDate(LocalToOleDate(day.startOfDay()));
    return true;
}

std::optional<double> DistancePerDay(std::vector<OdometerReading> readings) {
    std::erase_if(readings, [](const OdometerReading& reading) {
        return reading.second <= 0 || !reading.first.isValid();
    });
    if (readings.empty())
        return std::nullopt;
    std::sort(readings.begin(), readings.end());
    const QDate last = readings.back().first;
    if (readings.front().first.daysTo(last) < kLeastHistoryDays)
        return std::nullopt;
    const QDate from = last.addDays(-kRateDays);
    const auto first =
        std::find_if(readings.begin(), readings.end(),
                     [&from](const OdometerReading& reading) { return reading.first >= from; });
    // Entries in the window, and the reading just before it, which starts its distance.
    const auto start = first == readings.begin() ? first : std::prev(first);
    const qint64 days = start->first.daysTo(last);
    LONG lowest = start->second;
    LONG highest = start->second;
    for (auto reading = start; reading != readings.end(); ++reading) {
        lowest = std::min(lowest, reading->second);
        highest = std::max(highest, reading->second);
    }
    if (days <= 0 || highest <= lowest)
        return std::nullopt;
    return static_cast<double>(highest - lowest) / static_cast<double>(days);
}

std::optional<QDate> PredictDueDay(const std::vector<OdometerReading>& readings, LONG dueOdometer) {
    const std::optional<double> rate = DistancePerDay(readings);
    if (!rate || dueOdometer <= 0 || dueOdometer == kNeverDueOdometer)
        return std::nullopt;
    QDate lastDay;
    LONG lastOdometer = 0;
    for (const OdometerReading& reading : readings) {
        if (reading.second > 0 && reading.first.isValid()) {
            lastDay = std::max(lastDay, reading.first);
            lastOdometer = std::max(lastOdometer, reading.second);
        }
    }
    if (dueOdometer <= lastOdometer)
        return std::nullopt;
    const double days = std::ceil(static_cast<double>(dueOdometer - lastOdometer) / *rate);
    const QDate day = days < 3.0e6 ? lastDay.addDays(static_cast<qint64>(days)) : QDate();
    if (!day.isValid() || day >= NeverDueDay())
        return std::nullopt;
    return day;
}

QString PredictionText(const QDate& predicted, const QDate& today) {
    const qint64 days = today.daysTo(predicted);
    if (days <= 0)
        return LoadStringResource(IDS_REMINDER_PREDICTED_NOW);
    const QString day = QLocale().toString(predicted, QStringLiteral("d MMM yyyy"));
    return days == 1 ? FormatStringResource(IDS_REMINDER_PREDICTED_DAY, {day})
                     : FormatStringResource(IDS_REMINDER_PREDICTED_DAYS, {QLocale().toString(days), day});
}
