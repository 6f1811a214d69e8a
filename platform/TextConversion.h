#pragma once
// UTF-16 <-> UTF-8. Both code pages (CP_ACP and CP_UTF8) mean UTF-8 here.
// Ill-formed input (lone surrogates, bad UTF-8) becomes U+FFFD.

#include "platform/WinTypes.h"

#include <string>
#include <string_view>

// Win32 shape: a length of -1 means "up to and including the terminator"; a destination size
// of 0 asks for the length needed. Returns the number of units written (or needed), 0 on failure.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte,
                        int multiByteSize, LPCSTR defaultChar, BOOL* usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength, LPWSTR wide,
                        int wideSize);

std::string WideToUtf8(std::u16string_view wide);
std::u16string Utf8ToWide(std::string_view utf8);
