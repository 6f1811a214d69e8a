#include "core/LocalDates.h"

#include "carvelle/views/LocalDayFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// The data file keeps dates with six decimals, a little off a local midnight; the day must still
// be the one the full conversion shows, in the weeks the clocks change too.
TEST(LocalDatesTest, DatesAsTheFileKeepsThemFallOnTheDayTheFullConversionShows) {
    for (const char* zone : {kNewYork, "CET-1CEST,M3.5.0,M10.5.0/3"}) {
        ScopedTimeZone scoped(zone);
        CLocalDays days;
        for (QDate day(2024, 1, 1); day.year() == 2024; day = day.addDays(1)) {
            for (const QTime& time : {QTime(0, 0), QTime(23, 59, 59), QTime(12, 0)}) {
                char stored[64];
                std::snprintf(stored, sizeof stored, "%f", LocalToOleDate(QDateTime(day, time)));
                const double date = std::strtod(stored, nullptr);
                ASSERT_EQ(OleDateToLocal(date).date(), day) << zone << ' ' << stored;
                ASSERT_EQ(days.Day(date), day) << zone << ' ' << stored;
            }
        }
    }
}
