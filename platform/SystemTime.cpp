#include "platform/SystemTime.h"

#include <cerrno>
#include <cmath>
#include <ctime>
#include <mutex>
#include <optional>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kTicksPerDay = kSecondsPerDay * kTicksPerSecond;

// Days from 1970-01-01 to the given proleptic Gregorian date (negative before it).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
    return {y, m, d};
}

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kDays[month - 1];
}

// Checks every field but the day of the week, which callers may leave unset.
bool FieldsValid(const SYSTEMTIME& st, unsigned minYear, unsigned maxYear) {
    if (st.wYear < minYear || st.wYear > maxYear)
        return false;
    if (st.wMonth < 1 || st.wMonth > 12)
        return false;
    if (st.wDay < 1 || st.wDay > DaysInMonth(st.wYear, st.wMonth))
        return false;
    return st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

WORD DayOfWeek(std::int64_t daysSince1970) {
    // 1 January 1970 was a Thursday (4); Sunday is 0.
    std::int64_t dow = (daysSince1970 + 4) % 7;
    if (dow < 0)
        dow += 7;
    return static_cast<WORD>(dow);
}

// Fills a SYSTEMTIME from days since 1970 and a time of day; false if the year does not fit.
bool FillFromDays(std::int64_t days, std::int64_t secondOfDay, unsigned milliseconds, SYSTEMTIME* st) {
    const CivilDate date = CivilFromDays(days);
    if (date.year < 1 || date.year > 65535)
        return false;
    st->wYear = static_cast<WORD>(date.year);
    st->wMonth = static_cast<WORD>(date.month);
    st->wDay = static_cast<WORD>(date.day);
    st->wDayOfWeek = DayOfWeek(days);
    st->wHour = static_cast<WORD>(secondOfDay / 3600);
    st->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    st->wSecond = static_cast<WORD>(secondOfDay % 60);
    st->wMilliseconds = static_cast<WORD>(milliseconds);
    return true;
}

std::int64_t SecondOfDay(const SYSTEMTIME& st) {
    return st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
}

// The pinned instant lives here only; the library, the program and the tests share it.
std::mutex g_pinMutex;
std::optional<SYSTEMTIME> g_pinned;

std::optional<SYSTEMTIME> PinnedTime() {
    std::lock_guard<std::mutex> lock(g_pinMutex);
    return g_pinned;
}

constexpr std::int64_t kDaysFrom1601To1970 = 134774;
constexpr std::int64_t kDaysFrom1899To1970 = 25569; // 30 December 1899 to 1 January 1970

} // namespace

void PinSystemTime(const SYSTEMTIME* utc) {
    std::lock_guard<std::mutex> lock(g_pinMutex);
    if (utc == nullptr) {
        g_pinned.reset();
        return;
    }
    SYSTEMTIME pinned = *utc;
    // Fill the day of the week so callers need not compute it.
    if (FieldsValid(pinned, 1, 30827))
        pinned.wDayOfWeek = DayOfWeek(DaysFromCivil(pinned.wYear, pinned.wMonth, pinned.wDay));
    g_pinned = pinned;
}

void GetSystemTime(SYSTEMTIME* st) {
    if (st == nullptr)
        return;
    if (auto pinned = PinnedTime()) {
        *st = *pinned;
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t seconds = now.tv_sec;
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t secondOfDay = seconds % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --days;
    }
    FillFromDays(days, secondOfDay, static_cast<unsigned>(now.tv_nsec / 1'000'000), st);
}

void GetLocalTime(SYSTEMTIME* st) {
    if (st == nullptr)
        return;
    std::int64_t seconds = 0;
    unsigned milliseconds = 0;
    if (auto pinned = PinnedTime()) {
        seconds = DaysFromCivil(pinned->wYear, pinned->wMonth, pinned->wDay) * kSecondsPerDay +
                  SecondOfDay(*pinned);
        milliseconds = pinned->wMilliseconds % 1000;
    } else {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        seconds = now.tv_sec;
        milliseconds = static_cast<unsigned>(now.tv_nsec / 1'000'000);
    }
    // localtime_r does not re-read TZ by itself; tzset picks up a changed zone.
    tzset();
    const auto t = static_cast<time_t>(seconds);
    tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        GetSystemTime(st);
        return;
    }
    st->wYear = static_cast<WORD>(local.tm_year + 1900);
    st->wMonth = static_cast<WORD>(local.tm_mon + 1);
    st->wDay = static_cast<WORD>(local.tm_mday);
    st->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    st->wHour = static_cast<WORD>(local.tm_hour);
    st->wMinute = static_cast<WORD>(local.tm_min);
    // A leap second (60) is folded into the last ordinary second.
    st->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    st->wMilliseconds = static_cast<WORD>(milliseconds);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft) {
    if (st == nullptr || ft == nullptr || !FieldsValid(*st, 1601, 30827))
        return 0;
    const std::int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay) + kDaysFrom1601To1970;
    const std::int64_t ticks =
        days * kTicksPerDay + SecondOfDay(*st) * kTicksPerSecond + st->wMilliseconds * kTicksPerMillisecond;
    const auto value = static_cast<std::uint64_t>(ticks);
    ft->dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    ft->dwHighDateTime = static_cast<DWORD>(value >> 32);
    return 1;
}

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st) {
    if (ft == nullptr || st == nullptr)
        return 0;
    const std::uint64_t value = (static_cast<std::uint64_t>(ft->dwHighDateTime) << 32) | ft->dwLowDateTime;
    if (value > 0x7FFFFFFFFFFFFFFFull)
        return 0;
    const auto ticks = static_cast<std::int64_t>(value);
    const std::int64_t days = ticks / kTicksPerDay;
    const std::int64_t tickOfDay = ticks % kTicksPerDay;
    SYSTEMTIME result{};
    if (!FillFromDays(days - kDaysFrom1601To1970, tickOfDay / kTicksPerSecond,
                      static_cast<unsigned>(tickOfDay % kTicksPerSecond / kTicksPerMillisecond), &result))
        return 0;
    if (result.wYear > 30827)
        return 0;
    *st = result;
    return 1;
}

INT SystemTimeToVariantTime(const SYSTEMTIME* st, double* variantTime) {
    if (st == nullptr || variantTime == nullptr || !FieldsValid(*st, 100, 9999))
        return 0;
    const std::int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay) + kDaysFrom1899To1970;
    const double fraction = static_cast<double>(SecondOfDay(*st)) / static_cast<double>(kSecondsPerDay);
    // Before 30 December 1899 the whole part counts back while the fraction still counts
    // forward through the day, so the fraction is subtracted: -1.25 is 29 December 06:00.
    *variantTime = days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
    return 1;
}

INT VariantTimeToSystemTime(double variantTime, SYSTEMTIME* st) {
    if (st == nullptr || !std::isfinite(variantTime))
        return 0;
    // 1 January 100 and the last second of 31 December 9999 (with half a second to round).
    constexpr double kMin = -657435.0;
    constexpr double kMax = 2958466.0;
    if (variantTime <= kMin || variantTime >= kMax)
        return 0;
    std::int64_t days = 0;
    std::int64_t secondOfDay = 0;
    if (variantTime >= 0) {
        // Whole seconds, rounded to the nearest one, so 23:59:59 never drifts to 23:59:58.
        const auto total =
            static_cast<std::int64_t>(std::llround(variantTime * static_cast<double>(kSecondsPerDay)));
        days = total / kSecondsPerDay;
        secondOfDay = total % kSecondsPerDay;
    } else {
        const double whole = std::trunc(variantTime);
        days = static_cast<std::int64_t>(whole);
        secondOfDay = std::llround((whole - variantTime) * static_cast<double>(kSecondsPerDay));
        if (secondOfDay >= kSecondsPerDay) {
            // Rounded up to the next midnight, which lies one more day back.
            secondOfDay -= kSecondsPerDay;
            days -= 1;
        }
    }
    SYSTEMTIME result{};
    if (!FillFromDays(days - kDaysFrom1899To1970, secondOfDay, 0, &result))
        return 0;
    if (result.wYear < 100 || result.wYear > 9999)
        return 0;
    *st = result;
    return 1;
}

DWORD GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec / 1'000'000);
    return static_cast<DWORD>(ms);
}

void Sleep(DWORD milliseconds) {
    timespec remaining{};
    remaining.tv_sec = static_cast<time_t>(milliseconds / 1000);
    remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1'000'000L;
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
