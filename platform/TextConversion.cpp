#include "platform/TextConversion.h"

#include <climits>
#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUtf16(char32_t cp, std::u16string& out) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

std::string EncodeUtf8(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (IsHighSurrogate(c)) {
            if (i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(wide[i + 1]) - 0xDC00);
                ++i;
            } else {
                c = kReplacement;
            }
        } else if (IsLowSurrogate(c)) {
            c = kReplacement;
        }
        AppendUtf8(c, out);
    }
    return out;
}

// Decodes UTF-8; each maximal ill-formed subpart becomes one U+FFFD.
std::u16string DecodeUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 < 0x80) {
            out.push_back(static_cast<char16_t>(b0));
            ++i;
            continue;
        }
        unsigned need = 0;
        char32_t cp = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0F;
            if (b0 == 0xE0)
                lo = 0xA0; // no overlong forms
            else if (b0 == 0xED)
                hi = 0x9F; // no encoded surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07;
            if (b0 == 0xF0)
                lo = 0x90;
            else if (b0 == 0xF4)
                hi = 0x8F; // nothing above U+10FFFF
        } else {
            out.push_back(static_cast<char16_t>(kReplacement));
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (unsigned k = 0; k < need; ++k, ++j) {
            if (j >= n) {
                ok = false;
                break;
            }
            const auto b = static_cast<unsigned char>(utf8[j]);
            const unsigned char low = k == 0 ? lo : 0x80;
            const unsigned char high = k == 0 ? hi : 0xBF;
            if (b < low || b > high) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (ok) {
            AppendUtf16(cp, out);
        } else {
            out.push_back(static_cast<char16_t>(kReplacement));
        }
        i = j;
    }
    return out;
}

bool CodePageSupported(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_UTF8;
}

} // namespace

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR wide, int wideLength, LPSTR multiByte,
                        int multiByteSize, LPCSTR /*defaultChar*/, BOOL* usedDefaultChar) {
    if (usedDefaultChar != nullptr)
        *usedDefaultChar = 0;
    if (!CodePageSupported(codePage) || wide == nullptr || wideLength == 0 || wideLength < -1 ||
        multiByteSize < 0 || (multiByteSize > 0 && multiByte == nullptr))
        return 0;
    std::u16string_view source;
    if (wideLength == -1)
        source = std::u16string_view(wide, std::char_traits<char16_t>::length(wide) + 1);
    else
        source = std::u16string_view(wide, static_cast<std::size_t>(wideLength));
    const std::string converted = EncodeUtf8(source);
    if (converted.size() > static_cast<std::size_t>(INT_MAX))
        return 0;
    const int needed = static_cast<int>(converted.size());
    if (multiByteSize == 0)
        return needed;
    if (needed > multiByteSize) {
        multiByte[0] = '\0'; // a caller that ignores the failure still sees an empty text
        return 0;
    }
    std::memcpy(multiByte, converted.data(), converted.size());
    return needed;
}

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR multiByte, int multiByteLength, LPWSTR wide,
                        int wideSize) {
    if (!CodePageSupported(codePage) || multiByte == nullptr || multiByteLength == 0 ||
        multiByteLength < -1 || wideSize < 0 || (wideSize > 0 && wide == nullptr))
        return 0;
    std::string_view source;
    if (multiByteLength == -1)
        source = std::string_view(multiByte, std::strlen(multiByte) + 1);
    else
        source = std::string_view(multiByte, static_cast<std::size_t>(multiByteLength));
    const std::u16string converted = DecodeUtf8(source);
    if (converted.size() > static_cast<std::size_t>(INT_MAX))
        return 0;
    const int needed = static_cast<int>(converted.size());
    if (wideSize == 0)
        return needed;
    if (needed > wideSize) {
        wide[0] = u'\0';
        return 0;
    }
    std::memcpy(wide, converted.data(), converted.size() * sizeof(char16_t));
    return needed;
}

std::string WideToUtf8(std::u16string_view wide) {
    return EncodeUtf8(wide);
}

std::u16string Utf8ToWide(std::string_view utf8) {
    return DecodeUtf8(utf8);
}
