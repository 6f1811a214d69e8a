#include "platform/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(TextConversion, UmlautThroughTheWin32Shape) {
    const WCHAR wide[] = u"\u00DC";
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 3);
    char utf8[3] = {'x', 'x', 'x'};
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, 3, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(utf8, 3), Bytes({0xC3, 0x9C, 0x00}));

    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), 2);
    WCHAR back[2] = {u'x', u'x'};
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, back, 2), 2);
    EXPECT_EQ(back[0], u'\u00DC');
    EXPECT_EQ(back[1], u'\0');

    // The "ANSI" code page is UTF-8 as well; others are refused.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, wide, -1, nullptr, 0, nullptr, nullptr), 0);
}

TEST(TextConversion, LengthConventions) {
    const WCHAR wide[] = u"abc";
    char out[8] = "zzzzzzz";
    // An explicit length converts exactly that many units and writes no terminator.
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, 2, out, sizeof out, nullptr, nullptr), 2);
    EXPECT_EQ(std::string(out, 3), "abz");
    // Too small a destination fails instead of cutting the text short.
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, 3, nullptr, nullptr), 0);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, 4, nullptr, nullptr), 4);
    EXPECT_STREQ(out, "abc");
    // An empty text with its terminator is one unit.
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"", -1, nullptr, 0, nullptr, nullptr), 1);
    // Nothing to convert, a missing text or a negative size are failures.
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, 0, out, sizeof out, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, nullptr, -1, out, sizeof out, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -2, out, sizeof out, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, -1, nullptr, nullptr), 0);
    BOOL usedDefault = 1;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, sizeof out, nullptr, &usedDefault), 4);
    EXPECT_EQ(usedDefault, 0);

    WCHAR back[4] = {u'z', u'z', u'z', u'z'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, back, 4), 3);
    EXPECT_EQ(back[3], u'z');
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", -1, back, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "", -1, nullptr, 0), 1);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, back, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, back, 4), 0);
}

TEST(TextConversion, CharactersOutsideTheBasicPlaneSurvive) {
    const std::u16string car = u"\U0001F697 \U00010400x"; // a car and a Deseret capital
    ASSERT_EQ(car.size(), 6u);
    const std::string utf8 = WideToUtf8(car);
    EXPECT_EQ(utf8, Bytes({0xF0, 0x9F, 0x9A, 0x97, ' ', 0xF0, 0x90, 0x90, 0x80, 'x'}));
    EXPECT_EQ(Utf8ToWide(utf8), car);

    // The counting pass and the writing pass agree for every length up to the full text.
    const int needed = WideCharToMultiByte(CP_UTF8, 0, car.c_str(), -1, nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(needed, 11);
    std::string buffer(static_cast<std::size_t>(needed), '\1');
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, car.c_str(), -1, buffer.data(), needed - 1, nullptr, nullptr),
              0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, car.c_str(), -1, buffer.data(), needed, nullptr, nullptr),
              needed);
    EXPECT_EQ(buffer, utf8 + '\0');

    // Every code point of every plane makes the round trip (surrogates excluded).
    for (char32_t cp = 1; cp <= 0x10FFFF; cp += (cp < 0x800 ? 1 : 7)) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        std::u16string one;
        if (cp < 0x10000) {
            one.push_back(static_cast<char16_t>(cp));
        } else {
            one.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            one.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
        ASSERT_EQ(Utf8ToWide(WideToUtf8(one)), one) << std::hex << static_cast<unsigned>(cp);
    }
}

TEST(TextConversion, LoneSurrogatesBecomeReplacementCharacters) {
    const std::string fffd = Bytes({0xEF, 0xBF, 0xBD});
    EXPECT_EQ(WideToUtf8(u"a\xD83D"), "a" + fffd);       // high surrogate at the end
    EXPECT_EQ(WideToUtf8(u"\xDE97z"), fffd + "z");       // low surrogate alone
    EXPECT_EQ(WideToUtf8(u"\xD83Dz"), fffd + "z");       // high surrogate before a plain unit
    EXPECT_EQ(WideToUtf8(u"\xDE97\xD83D"), fffd + fffd); // reversed pair
    // A pair cut by an explicit length is not read past its end.
    const WCHAR pair[] = u"\U0001F697";
    char out[8] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, pair, 1, out, sizeof out, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(out, 3), fffd);
}

TEST(TextConversion, IllFormedUtf8BecomesReplacementCharacters) {
    const std::u16string r = u"\uFFFD";
    EXPECT_EQ(Utf8ToWide(Bytes({0xC0, 0x80})), r + r);                     // overlong NUL
    EXPECT_EQ(Utf8ToWide(Bytes({0xE0, 0x80, 0xAF})), r + r + r);           // overlong slash
    EXPECT_EQ(Utf8ToWide(Bytes({0xED, 0xA0, 0x80})), r + r + r);           // an encoded surrogate
    EXPECT_EQ(Utf8ToWide(Bytes({0xF4, 0x90, 0x80, 0x80})), r + r + r + r); // above U+10FFFF
    EXPECT_EQ(Utf8ToWide(Bytes({0xE2, 0x82, 'A'})), r + u"A");             // cut short, then plain text
    EXPECT_EQ(Utf8ToWide(Bytes({'A', 0xE2, 0x82})), u"A" + r);             // cut short at the end
    EXPECT_EQ(Utf8ToWide(Bytes({0x80, 0xFF, 'b'})), r + r + u"b");
    EXPECT_EQ(Utf8ToWide(Bytes({0xE2, 0x82, 0xAC})), u"\u20AC");
}

TEST(TextConversion, EmbeddedNullsAreKept) {
    const std::u16string wide = u"a\0b"s;
    EXPECT_EQ(WideToUtf8(wide), "a\0b"s);
    EXPECT_EQ(Utf8ToWide("a\0b"s), wide);
    EXPECT_EQ(WideToUtf8(u""), "");
    EXPECT_EQ(Utf8ToWide(""), u"");
}
