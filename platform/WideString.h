#pragma once
// The few Win32 C library routines for wide text that the code uses, for char16_t texts.

#include "platform/WinTypes.h"

#include <cstddef>

std::size_t WideLength(LPCWSTR text);        // null counts as empty
int WideCompare(LPCWSTR a, LPCWSTR b);       // exact; null counts as empty
int WideCompareNoCase(LPCWSTR a, LPCWSTR b); // case-insensitive (Unicode simple case folding)
WCHAR WideToLower(WCHAR c);
void WideLowerInPlace(LPWSTR text);
