#pragma once
// Pins what local days depend on for one test: the time zone, the clock and Qt's default locale.
// Each puts the old state back when it goes, even when the test fails half-way.

#include "support/PinnedClock.h"

#include <QLocale>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class ScopedTimeZone {
public:
    // A POSIX zone string ("EST5EDT,M3.2.0,M11.1.0"), so no zone database is needed.
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            m_Old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_Old)
            setenv("TZ", m_Old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_Old;
};

class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(m_Old); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    QLocale m_Old;
};

// Zones for the tests: New York (west of Greenwich, with daylight saving) and plain UTC.
inline constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";
inline constexpr const char* kGreenwich = "UTC0";
