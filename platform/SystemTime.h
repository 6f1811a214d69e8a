#pragma once
// System time, local time, ticks and OLE dates on the host clock.
// Tests pin the clock to a chosen instant with PinSystemTime.

#include "platform/WinTypes.h"

// Current time in UTC (or the pinned instant).
void GetSystemTime(SYSTEMTIME* st);
// Current time in the host's time zone (the pinned instant converted, when pinned).
void GetLocalTime(SYSTEMTIME* st);

// Both return non-zero on success; they fail on dates outside 1601..30827 or invalid fields.
BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft);
BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);

// OLE automation dates: days since 30 December 1899 00:00, the time of day as the fraction.
// The system-time direction ignores milliseconds. Both return non-zero on success.
INT SystemTimeToVariantTime(const SYSTEMTIME* st, double* variantTime);
INT VariantTimeToSystemTime(double variantTime, SYSTEMTIME* st);

// Milliseconds since an arbitrary start (wraps after about 49.7 days).
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

// Pins GetSystemTime and GetLocalTime to the given UTC instant; null unpins.
void PinSystemTime(const SYSTEMTIME* utc);
