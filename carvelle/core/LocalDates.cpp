#include "core/LocalDates.h"

#include "platform/SystemTime.h"
#include "records/CEntryFilter.h"

#include <QLocale>

QDateTime SystemTimeToLocal(const SYSTEMTIME& utc) {
    const QDate date(utc.wYear, utc.wMonth, utc.wDay);
    const QTime time(utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC).toLocalTime();
}

SYSTEMTIME LocalToSystemTime(const QDateTime& local) {
    SYSTEMTIME st{};
    if (!local.isValid())
        return st;
    const QDateTime utc = local.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    st.wYear = static_cast<WORD>(date.year());
    st.wMonth = static_cast<WORD>(date.month());
    st.wDayOfWeek = static_cast<WORD>(date.dayOfWeek() % 7); // Sunday is 0
    st.wDay = static_cast<WORD>(date.day());
    st.wHour = static_cast<WORD>(time.hour());
    st.wMinute = static_cast<WORD>(time.minute());
    st.wSecond = static_cast<WORD>(time.second());
    st.wMilliseconds = static_cast<WORD>(time.msec());
    return st;
}

QDateTime OleDateToLocal(double oleDate) {
    SYSTEMTIME utc{};
    if (!VariantTimeToSystemTime(oleDate, &utc))
        return QDateTime();
    return SystemTimeToLocal(utc);
}

double LocalToOleDate(const QDateTime& local) {
    if (!local.isValid())
        return 0.0;
    const SYSTEMTIME utc = LocalToSystemTime(local);
    double oleDate = 0.0;
    return SystemTimeToVariantTime(&utc, &oleDate) ? oleDate : 0.0;
}

QString ShortDateText(double oleDate) {
    const QDateTime local = OleDateToLocal(oleDate);
    return local.isValid() ? QLocale().toString(local.date(), QLocale::ShortFormat) : QString();
}

QString ShortDateText(const SYSTEMTIME& utc) {
    const QDateTime local = SystemTimeToLocal(utc);
    return local.isValid() ? QLocale().toString(local.date(), QLocale::ShortFormat) : QString();
}

QDate FilterRangeDay(const CEntryFilter& filter, const SYSTEMTIME& date) {
    const int type = filter.GetDateRangeType();
    if (type > CEntryFilter::DateRangeAll && type < CEntryFilter::DateRangeCustom)
        return QDate(date.wYear, date.wMonth, date.wDay);
    const QDateTime local = SystemTimeToLocal(date);
    return local.isValid() ? local.date() : QDate();
}

QDateTime EndOfLocalDay(const QDate& day) {
    const QDateTime end(day, QTime(23, 59, 59));
    if (end.isValid())
        return end;
    const QDateTime last = day.endOfDay();
    return last.addMSecs(-last.time().msec());
}
