#include "exchange/CLocalDays.h"

#include "shell/LocalDates.h"

#include <cmath>

namespace {

// 30 December 1899, day 0 of OLE dates.
const qint64 kOleEpochJulian = QDate(1899, 12, 30).toJulianDay();

} // namespace

QDate CLocalDays::Day(double oleDate) {
    if (!std::isfinite(oleDate) || oleDate < -657434.0 || oleDate > 2958466.0)
        return QDate();
    // Offsets change on the hour or the half hour: a bucket of half an hour holds one offset.
    const auto bucket = static_cast<long long>(std::floor(oleDate * 48.0));
    auto found = m_Offsets.find(bucket);
    if (found == m_Offsets.end()) {
        const QDateTime local = OleDateToLocal(oleDate);
        if (!local.isValid())
            return QDate();
        found = m_Offsets.emplace(bucket, local.offsetFromUtc()).first;
    }
    const double localDays = oleDate + found->second / 86400.0;
    // OLE dates before day 0 count the time of day forward from the negative whole day.
    const double whole = localDays < 0 ? std::ceil(localDays) : std::floor(localDays);
    const double fraction = std::fabs(localDays - whole);
    const qint64 day = static_cast<qint64>(whole) + (fraction >= 1.0 ? 1 : 0);
    return QDate::fromJulianDay(kOleEpochJulian + day);
}
