#pragma once
// The local day of many stored (UTC) dates at once: the zone's offset is looked up once per hour
// of UTC time and reused, which a full date conversion for every row of a large file is not.

#include <QDate>

#include <unordered_map>

class CLocalDays {
public:
    // The local day of a stored OLE date; invalid when out of range.
    QDate Day(double oleDate);

private:
    std::unordered_map<long long, int> m_Offsets; // UTC hour -> offset in seconds
};
