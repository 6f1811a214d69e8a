#include "platform/WideString.h"

#include <clocale>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace {

// A fixed UTF-8 locale for case mapping, so results never depend on the process's global
// locale. Made once and kept for the life of the process.
locale_t CaseLocale() {
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (made == static_cast<locale_t>(nullptr))
            made = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
        return made;
    }();
    return locale;
}

char32_t LowerCodePoint(char32_t c) {
    const locale_t locale = CaseLocale();
    if (locale == static_cast<locale_t>(nullptr))
        return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
}

// Simple case folding: upper then lower also unites forms such as final sigma and sigma.
char32_t FoldCodePoint(char32_t c) {
    // Most names are plain ASCII: fold those without the locale's tables (sorting leans on this).
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
    const locale_t locale = CaseLocale();
    if (locale == static_cast<locale_t>(nullptr))
        return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
    const auto upper = towupper_l(static_cast<wint_t>(c), locale);
    return static_cast<char32_t>(towlower_l(upper, locale));
}

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Reads one code point (a lone surrogate stands for itself) and advances the pointer.
char32_t NextCodePoint(LPCWSTR& p) {
    char32_t c = *p++;
    if (IsHighSurrogate(c) && IsLowSurrogate(*p)) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(*p) - 0xDC00);
        ++p;
    }
    return c;
}

constexpr WCHAR kEmpty[] = u"";

} // namespace

std::size_t WideLength(LPCWSTR text) {
    if (text == nullptr)
        return 0;
    std::size_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

int WideCompare(LPCWSTR a, LPCWSTR b) {
    if (a == nullptr)
        a = kEmpty;
    if (b == nullptr)
        b = kEmpty;
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    if (*a == *b)
        return 0;
    return *a < *b ? -1 : 1;
}

int WideCompareNoCase(LPCWSTR a, LPCWSTR b) {
    if (a == nullptr)
        a = kEmpty;
    if (b == nullptr)
        b = kEmpty;
    for (;;) {
        if (*a == 0 || *b == 0)
            return *a == *b ? 0 : (*a == 0 ? -1 : 1);
        const char32_t ca = FoldCodePoint(NextCodePoint(a));
        const char32_t cb = FoldCodePoint(NextCodePoint(b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
}

WCHAR WideToLower(WCHAR c) {
    if (IsHighSurrogate(c) || IsLowSurrogate(c))
        return c;
    const char32_t lower = LowerCodePoint(c);
    if (lower > 0xFFFF || IsHighSurrogate(lower) || IsLowSurrogate(lower))
        return c;
    return static_cast<WCHAR>(lower);
}

void WideLowerInPlace(LPWSTR text) {
    if (text == nullptr)
        return;
    while (*text != 0) {
        if (IsHighSurrogate(*text) && IsLowSurrogate(text[1])) {
            const char32_t c = 0x10000 + ((static_cast<char32_t>(text[0]) - 0xD800) << 10) +
                               (static_cast<char32_t>(text[1]) - 0xDC00);
            const char32_t lower = LowerCodePoint(c);
            // Only a mapping that keeps the pair's width can be written in place.
            if (lower >= 0x10000 && lower <= 0x10FFFF) {
                text[0] = static_cast<WCHAR>(0xD800 + ((lower - 0x10000) >> 10));
                text[1] = static_cast<WCHAR>(0xDC00 + ((lower - 0x10000) & 0x3FF));
            }
            text += 2;
            continue;
        }
        *text = WideToLower(*text);
        ++text;
    }
}
