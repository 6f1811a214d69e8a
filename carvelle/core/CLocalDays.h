#pragma once
// Local days and stored (UTC) OLE dates for many rows at once. A full conversion asks the C
// library for the zone every time (a file check per row); this looks the zone's offset up once per
// week of dates and reuses it when the offset is the same at both ends of the week, which it is
// but for the weeks in which the clocks change.

#include <QDate>
#include <QDateTime>

#include <unordered_map>

class CLocalDays {
public:
    // The local day of a stored OLE date; invalid when out of range.
    QDate Day(double oleDate);
    // A local date and time as a stored OLE date; 0.0 for an invalid one.
    double ToOleDate(const QDate& date, const QTime& time);

private:
    std::unordered_map<long long, int> m_UtcWeeks;   // UTC week -> offset in seconds, or kMixed
    std::unordered_map<long long, int> m_LocalWeeks; // local week -> offset in seconds, or kMixed
};
