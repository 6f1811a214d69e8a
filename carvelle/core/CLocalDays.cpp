#include "core/CLocalDays.h"

#include "core/LocalDates.h"

#include <climits>
#include <cmath>

namespace {

// 30 December 1899, day 0 of OLE dates.
const qint64 kOleEpochJulian = QDate(1899, 12, 30).toJulianDay();
constexpr int kMixed = INT_MIN; // the clocks change within the week
constexpr double kDaysPerWeek = 7.0;

} // namespace

QDate CLocalDays::Day(double oleDate) {
    // Before 1900 OLE dates count the time of day oddly; the full conversion handles them.
    if (!std::isfinite(oleDate) || oleDate < 1.0 || oleDate > 2958466.0) {
        const QDateTime local = OleDateToLocal(oleDate);
        return local.isValid() ? local.date() : QDate();
    }
    const auto week = static_cast<long long>(std::floor(oleDate / kDaysPerWeek));
    auto found = m_UtcWeeks.find(week);
    if (found == m_UtcWeeks.end()) {
        const QDateTime start = OleDateToLocal(static_cast<double>(week) * kDaysPerWeek);
        const QDateTime end = OleDateToLocal(static_cast<double>(week + 1) * kDaysPerWeek);
        const bool same = start.isValid() && end.isValid() && start.offsetFromUtc() == end.offsetFromUtc();
        found = m_UtcWeeks.emplace(week, same ? start.offsetFromUtc() : kMixed).first;
    }
    if (found->second == kMixed) {
        const QDateTime local = OleDateToLocal(oleDate);
        return local.isValid() ? local.date() : QDate();
    }
    const double local = oleDate + found->second / 86400.0;
    return QDate::fromJulianDay(kOleEpochJulian + static_cast<qint64>(std::floor(local)));
}

double CLocalDays::ToOleDate(const QDate& day, const QTime& time) {
    if (!day.isValid() || !time.isValid())
        return 0.0;
    if (day.year() < 1900)
        return LocalToOleDate(QDateTime(day, time));
    const qint64 julian = day.toJulianDay();
    const long long week = (julian - kOleEpochJulian) / 7;
    auto found = m_LocalWeeks.find(week);
    if (found == m_LocalWeeks.end()) {
        const QDate first = QDate::fromJulianDay(kOleEpochJulian + week * 7);
        const QDateTime start(first, QTime(0, 0));
        const QDateTime end(first.addDays(7), QTime(0, 0));
        const bool same = start.isValid() && end.isValid() && start.offsetFromUtc() == end.offsetFromUtc();
        found = m_LocalWeeks.emplace(week, same ? start.offsetFromUtc() : kMixed).first;
    }
    if (found->second == kMixed)
        return LocalToOleDate(QDateTime(day, time));
    const double days = static_cast<double>(julian - kOleEpochJulian) +
                        time.msecsSinceStartOfDay() / 86400000.0 - found->second / 86400.0;
    return days;
}
