#pragma once
// Dates the user sees are local days; stored dates are UTC OLE dates. These convert between the
// two, so a fill-up typed at 20:00 in New York shows the day on which it was typed.

#include "platform/WinTypes.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <unordered_map>

class CEntryFilter;

// Now, as a stored (UTC) OLE date.
double NowAsOleDate();

// A stored (UTC) OLE date as local date and time; invalid for a date out of range.
QDateTime OleDateToLocal(double oleDate);
// A local date and time as a stored (UTC) OLE date; 0.0 for an invalid one.
double LocalToOleDate(const QDateTime& local);

// A UTC system time as local date and time, and back; the milliseconds are kept.
QDateTime SystemTimeToLocal(const SYSTEMTIME& utc);
SYSTEMTIME LocalToSystemTime(const QDateTime& local);

// 23:59:59.000 of the local day, where a custom range ends; in the rare zone whose clocks jump
// over that minute, the day's last valid second.
QDateTime EndOfLocalDay(const QDate& day);

// The local day of a stored date in the locale's short date format; empty when out of range.
QString ShortDateText(double oleDate);
QString ShortDateText(const SYSTEMTIME& utc);

// A day as the user types it in the locale's short date format: day, month and year in the
// format's order, with or without leading zeros, separated by any punctuation or spaces, the
// month also by its name where the format names it; a two-digit year is the one nearest today
// (the earlier one when two are as near). ISO yyyy-MM-dd is read too. Invalid when the text is
// no such day or lies before 1900.
QDate ParseTypedDate(const QString& text, const QDate& today);
// Today's local day by the platform clock.
QDate LocalDayToday();

// The day the user sees for one end of the filter's range: a preset's dates are whole UTC days and
// show as their own calendar day; a custom range holds the UTC instants of local day bounds.
// Invalid for an all-zero date.
QDate FilterRangeDay(const CEntryFilter& filter, const SYSTEMTIME& date);

// Local days and stored OLE dates for many rows at once. A full conversion asks the C library to
// read the zone again every time (a file check per row); this reads it once, looks the zone's
// offset up once per week of dates and reuses it when the offset is the same at both ends of the
// week, which it is but for the weeks in which the clocks change.
class CLocalDays {
public:
    // The local day of a stored OLE date; invalid when out of range. The time is rounded to the
    // second first, as the full conversion rounds it.
    QDate Day(double oleDate);
    // A local date and time as a stored OLE date; 0.0 for an invalid one.
    double ToOleDate(const QDate& date, const QTime& time);

private:
    std::optional<int> OffsetAt(long long utcSeconds);
    std::optional<int> OffsetAtWeekStart(long long week);
    // The offset at the start of a local day (by Julian day number), once asked for.
    std::optional<int> OffsetAtLocalMidnight(qint64 julian);

    std::unordered_map<long long, int> m_UtcWeeks;                  // UTC week -> offset, or kMixed
    std::unordered_map<long long, std::optional<int>> m_WeekStarts; // UTC week -> offset at its start
    std::unordered_map<long long, int> m_LocalBlocks; // four local weeks -> offset in seconds, or kMixed
    std::unordered_map<qint64, std::optional<int>> m_LocalMidnights;
    long long m_LastWeek = 0; // the UTC week asked for last, and its entry
    int m_LastOffset = 0;
    bool m_HaveLast = false;
    bool m_ZoneRead = false;
};
