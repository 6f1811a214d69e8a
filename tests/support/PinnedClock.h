#pragma once
// A clock pinned to one UTC instant for the life of the object, and the instants to pin it to.

#include "platform/SystemTime.h"

inline SYSTEMTIME MakeTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                           int ms = 0) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(ms);
    return st;
}

class PinnedClock {
public:
    explicit PinnedClock(const SYSTEMTIME& utc) { PinSystemTime(&utc); }
    ~PinnedClock() { PinSystemTime(nullptr); }
    PinnedClock(const PinnedClock&) = delete;
    PinnedClock& operator=(const PinnedClock&) = delete;
};
