#include "platform/SystemTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

namespace {

SYSTEMTIME MakeTime(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0,
                    WORD milliseconds = 0) {
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, milliseconds};
}

// Every field but the day of the week, which the tests check on their own.
::testing::AssertionResult SameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    const auto fields = [](const SYSTEMTIME& t) {
        return std::tie(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    };
    if (fields(a) == fields(b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << a.wYear << "-" << a.wMonth << "-" << a.wDay << " " << a.wHour << ":" << a.wMinute << ":"
           << a.wSecond << "." << a.wMilliseconds << " vs " << b.wYear << "-" << b.wMonth << "-" << b.wDay
           << " " << b.wHour << ":" << b.wMinute << ":" << b.wSecond << "." << b.wMilliseconds;
}

double ToVariant(const SYSTEMTIME& st) {
    double v = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(SystemTimeToVariantTime(&st, &v));
    return v;
}

SYSTEMTIME FromVariant(double v) {
    SYSTEMTIME st{};
    EXPECT_TRUE(VariantTimeToSystemTime(v, &st)) << v;
    return st;
}

// Sets TZ for one test and puts the old value back afterwards. It leaves tzset to the clock,
// which must notice a changed zone by itself.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
    }
    ~ScopedTimeZone() {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_old;
};

// Unpins the clock even when a test fails half-way.
struct ScopedPin {
    explicit ScopedPin(const SYSTEMTIME& utc) { PinSystemTime(&utc); }
    ~ScopedPin() { PinSystemTime(nullptr); }
    ScopedPin(const ScopedPin&) = delete;
    ScopedPin& operator=(const ScopedPin&) = delete;
};

} // namespace

TEST(VariantTime, KnownValues) {
    EXPECT_EQ(ToVariant(MakeTime(1899, 12, 30)), 0.0);
    EXPECT_EQ(ToVariant(MakeTime(1899, 12, 31)), 1.0);
    EXPECT_EQ(ToVariant(MakeTime(1900, 1, 1)), 2.0);
    EXPECT_EQ(ToVariant(MakeTime(2026, 1, 1)), 46023.0);
    EXPECT_EQ(ToVariant(MakeTime(2026, 1, 1, 12)), 46023.5);
    EXPECT_EQ(ToVariant(MakeTime(2026, 1, 1, 18)), 46023.75);
    EXPECT_EQ(ToVariant(MakeTime(9999, 12, 31)), 2958465.0);
    EXPECT_EQ(ToVariant(MakeTime(100, 1, 1)), -657434.0);
    // Milliseconds are ignored.
    EXPECT_EQ(ToVariant(MakeTime(2026, 1, 1, 12, 0, 0, 999)), 46023.5);

    const SYSTEMTIME noon = FromVariant(46023.5);
    EXPECT_TRUE(SameTime(noon, MakeTime(2026, 1, 1, 12)));
    EXPECT_EQ(noon.wDayOfWeek, 4); // a Thursday
}

TEST(VariantTime, BeforeEpochUsesOleConvention) {
    // The whole part counts days back, the fraction still counts forward through that day.
    EXPECT_EQ(ToVariant(MakeTime(1899, 12, 29, 6)), -1.25);
    EXPECT_EQ(ToVariant(MakeTime(1899, 12, 28, 18)), -2.75);
    EXPECT_EQ(ToVariant(MakeTime(1899, 12, 30, 6)), 0.25);
    EXPECT_TRUE(SameTime(FromVariant(-1.25), MakeTime(1899, 12, 29, 6)));
    EXPECT_TRUE(SameTime(FromVariant(-0.5), MakeTime(1899, 12, 30, 12)));
    // Rounding up to midnight lands on the day further back.
    EXPECT_TRUE(SameTime(FromVariant(-1.9999999999), MakeTime(1899, 12, 28)));
    const SYSTEMTIME early = MakeTime(1601, 7, 4, 23, 59, 59);
    EXPECT_TRUE(SameTime(FromVariant(ToVariant(early)), early));
}

// Every day from 1900 to 9999 at times that expose truncation and carry faults.
TEST(VariantTime, ExactRoundTripForEveryDay) {
    static constexpr WORD kTimes[][3] = {{0, 0, 0},  {0, 0, 1},    {6, 0, 0},
                                         {12, 0, 0}, {13, 37, 42}, {23, 59, 59}};
    static constexpr WORD kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long long expectedDay = 2;  // 1 January 1900
    WORD expectedDayOfWeek = 1; // a Monday
    int failures = 0;
    for (WORD year = 1900; year <= 9999 && failures < 10; ++year) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        for (WORD month = 1; month <= 12; ++month) {
            const WORD days = static_cast<WORD>(kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0));
            for (WORD day = 1; day <= days; ++day) {
                for (const auto& t : kTimes) {
                    const SYSTEMTIME in = MakeTime(year, month, day, t[0], t[1], t[2]);
                    double v = -1.0;
                    SYSTEMTIME out{};
                    const int seconds = t[0] * 3600 + t[1] * 60 + t[2];
                    const bool ok = SystemTimeToVariantTime(&in, &v) && v >= 0.0 &&
                                    std::floor(v) == static_cast<double>(expectedDay) &&
                                    std::llround((v - std::floor(v)) * 86400.0) == seconds &&
                                    VariantTimeToSystemTime(v, &out) && SameTime(in, out) &&
                                    out.wDayOfWeek == expectedDayOfWeek;
                    if (!ok) {
                        ADD_FAILURE() << year << "-" << month << "-" << day << " " << seconds << "s -> " << v;
                        ++failures;
                    }
                }
                ++expectedDay;
                expectedDayOfWeek = static_cast<WORD>((expectedDayOfWeek + 1) % 7);
            }
        }
    }
    EXPECT_EQ(expectedDay, 2958466);
}

TEST(VariantTime, RoundsToNearestSecondWithCarry) {
    const double lastSecond = 46023.0 + 86399.0 / 86400.0;
    EXPECT_TRUE(SameTime(FromVariant(std::nextafter(lastSecond, 0.0)), MakeTime(2026, 1, 1, 23, 59, 59)));
    EXPECT_TRUE(SameTime(FromVariant(lastSecond - 0.4 / 86400.0), MakeTime(2026, 1, 1, 23, 59, 59)));
    // Half a second before midnight of New Year's Eve carries into the next year.
    const double newYearsEve = ToVariant(MakeTime(2025, 12, 31));
    const SYSTEMTIME carried = FromVariant(newYearsEve + 0.9999999);
    EXPECT_TRUE(SameTime(carried, MakeTime(2026, 1, 1)));
    EXPECT_EQ(carried.wDayOfWeek, 4);
    EXPECT_EQ(FromVariant(46023.1).wMilliseconds, 0);
}

TEST(VariantTime, RejectsInvalidInput) {
    double v = 0;
    for (const SYSTEMTIME& bad :
         {MakeTime(99, 12, 31), MakeTime(10000, 1, 1), MakeTime(2026, 13, 1), MakeTime(2026, 0, 1),
          MakeTime(2026, 4, 31), MakeTime(2023, 2, 29), MakeTime(1900, 2, 29), MakeTime(2026, 1, 0),
          MakeTime(2026, 1, 1, 24), MakeTime(2026, 1, 1, 0, 60), MakeTime(2026, 1, 1, 0, 0, 60)}) {
        EXPECT_FALSE(SystemTimeToVariantTime(&bad, &v)) << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay;
    }
    const SYSTEMTIME leapDay = MakeTime(2000, 2, 29);
    EXPECT_TRUE(SystemTimeToVariantTime(&leapDay, &v));

    SYSTEMTIME st{};
    EXPECT_FALSE(VariantTimeToSystemTime(std::numeric_limits<double>::quiet_NaN(), &st));
    EXPECT_FALSE(VariantTimeToSystemTime(std::numeric_limits<double>::infinity(), &st));
    EXPECT_FALSE(VariantTimeToSystemTime(-std::numeric_limits<double>::infinity(), &st));
    EXPECT_FALSE(VariantTimeToSystemTime(2958466.0, &st));
    EXPECT_FALSE(VariantTimeToSystemTime(2958465.9999999, &st)); // rounds into the year 10000
    EXPECT_FALSE(VariantTimeToSystemTime(-657435.0, &st));
    EXPECT_FALSE(VariantTimeToSystemTime(1e300, &st));
    EXPECT_FALSE(VariantTimeToSystemTime(0.0, nullptr));
}

TEST(FileTime, RoundTripAndKnownValues) {
    FILETIME ft{};
    const SYSTEMTIME origin = MakeTime(1601, 1, 1);
    ASSERT_TRUE(SystemTimeToFileTime(&origin, &ft));
    EXPECT_EQ(ft.dwLowDateTime, 0u);
    EXPECT_EQ(ft.dwHighDateTime, 0u);

    const SYSTEMTIME unixEpoch = MakeTime(1970, 1, 1);
    ASSERT_TRUE(SystemTimeToFileTime(&unixEpoch, &ft));
    EXPECT_EQ((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime,
              116444736000000000ull);

    for (const SYSTEMTIME& in :
         {MakeTime(1601, 1, 1, 0, 0, 0, 1), MakeTime(2024, 2, 29, 23, 59, 59, 999),
          MakeTime(2026, 3, 10, 8, 15, 30, 250), MakeTime(30827, 12, 31, 23, 59, 59, 999)}) {
        SYSTEMTIME out{};
        ASSERT_TRUE(SystemTimeToFileTime(&in, &ft));
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &out));
        EXPECT_TRUE(SameTime(in, out));
    }
    SYSTEMTIME out{};
    ASSERT_TRUE(SystemTimeToFileTime(&unixEpoch, &ft));
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &out));
    EXPECT_EQ(out.wDayOfWeek, 4);
}

TEST(FileTime, RejectsInvalidInput) {
    FILETIME ft{};
    for (const SYSTEMTIME& bad :
         {MakeTime(1600, 12, 31), MakeTime(30828, 1, 1), MakeTime(2026, 13, 1), MakeTime(2026, 4, 31),
          MakeTime(2023, 2, 29), MakeTime(2100, 2, 29), MakeTime(2026, 1, 1, 0, 0, 0, 1000)}) {
        EXPECT_FALSE(SystemTimeToFileTime(&bad, &ft)) << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay;
    }
    SYSTEMTIME st{};
    const FILETIME tooLarge{0xFFFFFFFFu, 0x80000000u};
    EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &st));
}

// Day arithmetic the way the entry filter does it: through file time.
TEST(FileTime, DayArithmeticAcrossMonthAndYearEnds) {
    const auto addDays = [](const SYSTEMTIME& st, long long days) {
        FILETIME ft{};
        EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
        std::uint64_t ticks = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        ticks += static_cast<std::uint64_t>(days * 864000000000LL);
        ft.dwLowDateTime = static_cast<DWORD>(ticks);
        ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        SYSTEMTIME out{};
        EXPECT_TRUE(FileTimeToSystemTime(&ft, &out));
        return out;
    };
    EXPECT_TRUE(SameTime(addDays(MakeTime(2026, 3, 10), -7), MakeTime(2026, 3, 3)));
    EXPECT_TRUE(SameTime(addDays(MakeTime(2024, 3, 1), -1), MakeTime(2024, 2, 29)));
    EXPECT_TRUE(SameTime(addDays(MakeTime(2023, 3, 1), -1), MakeTime(2023, 2, 28)));
    EXPECT_TRUE(SameTime(addDays(MakeTime(2026, 1, 5), -14), MakeTime(2025, 12, 22)));
}

TEST(Clock, PinnedSystemAndLocalTime) {
    const ScopedTimeZone zone("JST-9"); // UTC+9, no daylight saving
    {
        const ScopedPin pin(MakeTime(2024, 12, 31, 23, 30, 15, 250));
        SYSTEMTIME utc{};
        GetSystemTime(&utc);
        EXPECT_TRUE(SameTime(utc, MakeTime(2024, 12, 31, 23, 30, 15, 250)));
        EXPECT_EQ(utc.wDayOfWeek, 2); // a Tuesday

        SYSTEMTIME local{};
        GetLocalTime(&local);
        EXPECT_TRUE(SameTime(local, MakeTime(2025, 1, 1, 8, 30, 15, 250)));
        EXPECT_EQ(local.wDayOfWeek, 3);
    }
    {
        const ScopedTimeZone west("EST5EDT,M3.2.0,M11.1.0");
        const ScopedPin pin(MakeTime(2024, 2, 29, 3, 0, 0));
        SYSTEMTIME local{};
        GetLocalTime(&local);
        EXPECT_TRUE(SameTime(local, MakeTime(2024, 2, 28, 22, 0, 0)));
        EXPECT_EQ(local.wDayOfWeek, 3);
        SYSTEMTIME utc{};
        GetSystemTime(&utc);
        EXPECT_EQ(utc.wDayOfWeek, 4);
    }
}

TEST(Clock, UnpinnedFollowsTheHostClock) {
    PinSystemTime(nullptr);
    const std::time_t before = std::time(nullptr);
    SYSTEMTIME st{};
    GetSystemTime(&st);
    const std::time_t after = std::time(nullptr);
    FILETIME ft{};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    const std::uint64_t ticks = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const auto seconds = static_cast<std::time_t>(ticks / 10000000ull - 11644473600ull);
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    EXPECT_EQ(st.wDayOfWeek, (seconds / 86400 + 4) % 7);
}

TEST(Clock, TickCountAdvancesAcrossSleep) {
    const DWORD start = GetTickCount();
    Sleep(20);
    const DWORD elapsed = GetTickCount() - start; // unsigned difference survives a wrap
    EXPECT_GE(elapsed, 20u);
}
