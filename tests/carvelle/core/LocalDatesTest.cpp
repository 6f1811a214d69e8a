#include "core/LocalDates.h"

#include "carvelle/support/LocalDayFixtures.h"

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

TEST(LocalDatesTest, ReadsTheLocalesShortDateAsPeopleTypeIt) {
    const QDate today(2026, 12, 8);
    const auto read = [&](const char* text) { return ParseTypedDate(QString::fromUtf8(text), today); };
    {
        const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(read("6/30/2027"), QDate(2027, 6, 30));
        EXPECT_EQ(read("06/30/2027"), QDate(2027, 6, 30));
        EXPECT_EQ(read(" 6/30/27 "), QDate(2027, 6, 30));
        EXPECT_EQ(read("6-3-2027"), QDate(2027, 6, 3));
        EXPECT_EQ(read("2027-06-30"), QDate(2027, 6, 30)); // ISO, whatever the locale
        // A two-digit year is the nearest one; of two as near, the earlier.
        EXPECT_EQ(read("1/1/75"), QDate(2075, 1, 1));
        EXPECT_EQ(read("1/1/76"), QDate(1976, 1, 1));
        EXPECT_EQ(read("1/1/77"), QDate(1977, 1, 1));
        for (const char* refused : {"30/6/2027", "2/29/2027", "6/30", "6/3O/2027", "6/30/202", "", "1/1/1899",
                                    "6/30/2027/1", "13/1/2027", "6/3d/2027", "30 Jun 2027"})
            EXPECT_FALSE(read(refused).isValid()) << refused;
    }
    const ScopedLocale locale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(read("30.06.2027"), QDate(2027, 6, 30));
    EXPECT_EQ(read("1.2.27"), QDate(2027, 2, 1));
    EXPECT_EQ(read("29.2.2028"), QDate(2028, 2, 29));
    EXPECT_FALSE(read("6/30/2027").isValid());
    // Where the short format names the month or spells a word, so may the user.
    const ScopedLocale plain(QLocale::c());
    EXPECT_EQ(read("30 Jun 2027"), QDate(2027, 6, 30));
    EXPECT_EQ(read("30 june 27"), QDate(2027, 6, 30));
    const ScopedLocale bulgarian(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    EXPECT_EQ(read("30.06.27 \u0433."), QDate(2027, 6, 30));
}
