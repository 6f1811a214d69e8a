#include "records/CEntryFilter.h"
#include "platform/SystemTime.h"

#include "support/PinnedClock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

// Year-month-day hh:mm:ss.mmm, to compare dates field by field in one readable line.
std::string Show(const SYSTEMTIME* st) {
    if (!st)
        return "<null>";
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", st->wYear, st->wMonth, st->wDay,
                  st->wHour, st->wMinute, st->wSecond, st->wMilliseconds);
    return text;
}

// An entry dated at the given UTC moment; owned by the test.
struct DatedEntry {
    CEntry entry;
    explicit DatedEntry(SYSTEMTIME when, ULONG vehicle = 0, CEntry::Type type = CEntry::EntryFuel) {
        double date = 0.0;
        SystemTimeToVariantTime(&when, &date);
        entry.SetDate(date);
        entry.SetVehicleID(vehicle);
        entry.SetType(type);
    }
};

} // namespace

TEST(EntryFilter, DefaultFilterMatchesEverything) {
    CEntryFilter filter;
    EXPECT_EQ(filter.GetStartDate(), nullptr);
    EXPECT_EQ(filter.GetEndDate(), nullptr);
    EXPECT_EQ(filter.HaveDateRange(), 0);
    DatedEntry old(MakeTime(1990, 1, 1), 42, CEntry::EntryExpense);
    EXPECT_EQ(filter.EntryMatchesFilter(&old.entry), 1);
    EXPECT_EQ(filter.BuildSelectStatement(), "SELECT * FROM Entry ");
}

TEST(EntryFilter, VehicleAndTypeTestsAndStatements) {
    CEntryFilter filter;
    filter.SetEntryType(CEntry::EntryRepair);
    EXPECT_EQ(filter.BuildSelectStatement(), "SELECT * FROM Entry  WHERE  Type=2");

    filter.SetEntryType(CEntry::EntryNone);
    filter.SetVehicleID(7);
    EXPECT_EQ(filter.BuildSelectStatement(), "SELECT * FROM Entry  WHERE  VehicleID=7 ");

    filter.SetEntryType(CEntry::EntryFuel);
    EXPECT_EQ(filter.BuildSelectStatement(), "SELECT * FROM Entry  WHERE  VehicleID=7  AND  Type=1");

    filter.SetVehicleID(4294967295u);
    EXPECT_EQ(filter.BuildSelectStatement(), "SELECT * FROM Entry  WHERE  VehicleID=4294967295  AND  Type=1");

    filter.SetVehicleID(7);
    DatedEntry match(MakeTime(2024, 1, 1), 7, CEntry::EntryFuel);
    DatedEntry otherVehicle(MakeTime(2024, 1, 1), 8, CEntry::EntryFuel);
    DatedEntry otherType(MakeTime(2024, 1, 1), 7, CEntry::EntryTrip);
    EXPECT_EQ(filter.EntryMatchesFilter(&match.entry), 1);
    EXPECT_EQ(filter.EntryMatchesFilter(&otherVehicle.entry), 0);
    EXPECT_EQ(filter.EntryMatchesFilter(&otherType.entry), 0);
    EXPECT_EQ(filter.EntryMatchesFilter(nullptr), 0);
}

TEST(EntryFilter, LastWeekOnTenthOfMarch) {
    PinnedClock clock(MakeTime(2024, 3, 10, 14, 30, 15, 250));
    CEntryFilter filter;
    filter.SetDateRangeType(CEntryFilter::DateRangeLastWeek);
    EXPECT_EQ(Show(filter.GetStartDate()), "2024-03-03 00:00:00.000");
    EXPECT_EQ(Show(filter.GetEndDate()), "2024-03-10 23:59:59.000");
    EXPECT_EQ(filter.HaveDateRange(), 1);

    DatedEntry firstMoment(MakeTime(2024, 3, 3));
    DatedEntry dayBefore(MakeTime(2024, 3, 2, 23, 59));
    DatedEntry lastSecond(MakeTime(2024, 3, 10, 23, 59, 59));
    DatedEntry tomorrow(MakeTime(2024, 3, 11));
    EXPECT_EQ(filter.EntryMatchesFilter(&firstMoment.entry), 1);
    EXPECT_EQ(filter.EntryMatchesFilter(&dayBefore.entry), 0);
    EXPECT_EQ(filter.EntryMatchesFilter(&lastSecond.entry), 1);
    EXPECT_EQ(filter.EntryMatchesFilter(&tomorrow.entry), 0);

    filter.SetVehicleID(7);
    filter.SetEntryType(CEntry::EntryFuel);
    EXPECT_EQ(filter.BuildSelectStatement(), "SELECT * FROM Entry  WHERE  VehicleID=7  AND  (Date >= "
                                             "45354.000000) AND (Date <= 45361.999988) AND  "
                                             "Type=1");
    filter.SetVehicleID(0);
    filter.SetEntryType(CEntry::EntryNone);
    EXPECT_EQ(filter.BuildSelectStatement(),
              "SELECT * FROM Entry  WHERE  (Date >= 45354.000000) AND (Date <= 45361.999988)");
}

TEST(EntryFilter, RuleBasedRangesOnAwkwardDays) {
    CEntryFilter filter;
    {
        PinnedClock clock(MakeTime(2024, 3, 10, 9));
        filter.SetDateRangeType(CEntryFilter::DateRangeLastTwoWeeks);
        EXPECT_EQ(Show(filter.GetStartDate()), "2024-02-25 00:00:00.000");
    }
    {
        PinnedClock clock(MakeTime(2025, 1, 3, 9));
        filter.SetDateRangeType(CEntryFilter::DateRangeLastWeek);
        EXPECT_EQ(Show(filter.GetStartDate()), "2024-12-27 00:00:00.000");
    }
    {
        PinnedClock clock(MakeTime(2023, 12, 31, 22, 5));
        filter.SetDateRangeType(CEntryFilter::DateRangeMonthToDate);
        EXPECT_EQ(Show(filter.GetStartDate()), "2023-12-01 00:00:00.000");
        EXPECT_EQ(Show(filter.GetEndDate()), "2023-12-31 23:59:59.000");
        filter.SetDateRangeType(CEntryFilter::DateRangeYearToDate);
        EXPECT_EQ(Show(filter.GetStartDate()), "2023-01-01 00:00:00.000");
    }
    {
        PinnedClock clock(MakeTime(2024, 2, 29, 12));
        EXPECT_EQ(Show(filter.GetStartDate()), "2024-01-01 00:00:00.000") << "re-anchored to the new day";
        EXPECT_EQ(Show(filter.GetEndDate()), "2024-02-29 23:59:59.000");
        filter.SetDateRangeType(CEntryFilter::DateRangeLastWeek);
        EXPECT_EQ(Show(filter.GetStartDate()), "2024-02-22 00:00:00.000");
        filter.SetDateRangeType(CEntryFilter::DateRangeMonthToDate);
        EXPECT_EQ(Show(filter.GetStartDate()), "2024-02-01 00:00:00.000");
    }
}

TEST(EntryFilter, CustomRange) {
    CEntryFilter filter;
    filter.SetDateRangeType(CEntryFilter::DateRangeCustom);
    EXPECT_EQ(filter.HaveDateRange(), 0) << "never set: no range";
    ASSERT_NE(filter.GetStartDate(), nullptr);
    DatedEntry any(MakeTime(1999, 5, 5));
    EXPECT_EQ(filter.EntryMatchesFilter(&any.entry), 1);
    EXPECT_EQ(filter.BuildSelectStatement(), "SELECT * FROM Entry ");

    filter.SetStartDate(MakeTime(2024, 3, 1, 8, 15, 30, 400), 1);
    filter.SetEndDate(MakeTime(2024, 3, 10, 8, 15, 30, 400), 1);
    EXPECT_EQ(Show(filter.GetStartDate()), "2024-03-01 00:00:00.000");
    EXPECT_EQ(Show(filter.GetEndDate()), "2024-03-10 23:59:59.000");
    EXPECT_EQ(filter.BuildSelectStatement(),
              "SELECT * FROM Entry  WHERE  (Date >= 45352.000000) AND (Date <= 45361.999988)");

    filter.SetStartDate(MakeTime(2024, 3, 1, 8, 15), 0);
    filter.SetEndDate(MakeTime(2024, 3, 10, 8, 15), 0);
    EXPECT_EQ(Show(filter.GetStartDate()), "2024-03-01 08:15:00.000");
    EXPECT_EQ(Show(filter.GetEndDate()), "2024-03-10 08:15:00.000");
    DatedEntry inside(MakeTime(2024, 3, 10, 8, 15));
    DatedEntry outside(MakeTime(2024, 3, 10, 8, 16));
    EXPECT_EQ(filter.EntryMatchesFilter(&inside.entry), 1);
    EXPECT_EQ(filter.EntryMatchesFilter(&outside.entry), 0);

    // An unknown range type behaves as a custom one.
    filter.SetDateRangeType(static_cast<CEntryFilter::DateRangeType>(9));
    EXPECT_EQ(Show(filter.GetStartDate()), "2024-03-01 08:15:00.000");
    EXPECT_EQ(filter.HaveDateRange(), 1);
}

TEST(EntryFilter, CustomStartsFromTheLastRuleBasedDates) {
    PinnedClock clock(MakeTime(2024, 3, 10, 14));
    CEntryFilter filter;
    filter.SetDateRangeType(CEntryFilter::DateRangeLastWeek);
    filter.HaveDateRange();
    filter.SetDateRangeType(CEntryFilter::DateRangeCustom);
    EXPECT_EQ(Show(filter.GetStartDate()), "2024-03-03 00:00:00.000");
    EXPECT_EQ(Show(filter.GetEndDate()), "2024-03-10 23:59:59.000");

    CEntryFilter copy;
    copy = filter;
    EXPECT_EQ(Show(copy.GetStartDate()), "2024-03-03 00:00:00.000");
    EXPECT_EQ(copy.GetDateRangeType(), CEntryFilter::DateRangeCustom);
}

// Qt programs take LC_NUMERIC from the environment; the SQL must keep its decimal point.
TEST(EntryFilter, StatementIgnoresTheNumericLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            german = name;
            break;
        }
    }
    if (!german)
        GTEST_SKIP() << "no German locale installed";

    char probe[32];
    std::snprintf(probe, sizeof probe, "%f", 1.5);
    EXPECT_STREQ(probe, "1,500000") << "the locale should change printf's decimal separator";

    PinnedClock clock(MakeTime(2024, 3, 10, 14));
    CEntryFilter filter;
    filter.SetDateRangeType(CEntryFilter::DateRangeLastWeek);
    const std::string sql = filter.BuildSelectStatement();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(sql, "SELECT * FROM Entry  WHERE  (Date >= 45354.000000) AND (Date <= 45361.999988)");
}
