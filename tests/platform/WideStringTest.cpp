#include "platform/WideString.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

TEST(WideString, LengthAndExactCompare) {
    EXPECT_EQ(WideLength(nullptr), 0u);
    EXPECT_EQ(WideLength(u""), 0u);
    EXPECT_EQ(WideLength(u"\U0001F697ab"), 4u); // code units, not characters

    EXPECT_EQ(WideCompare(nullptr, u""), 0);
    EXPECT_LT(WideCompare(nullptr, u"a"), 0);
    EXPECT_LT(WideCompare(u"ab", u"abc"), 0);
    EXPECT_GT(WideCompare(u"abd", u"abc"), 0);
    EXPECT_NE(WideCompare(u"Abc", u"abc"), 0);
    // Units compare unsigned: a character above U+7FFF sorts after ASCII.
    EXPECT_GT(WideCompare(u"\uFF21", u"A"), 0);
}

TEST(WideString, CaseInsensitiveCompareIsUnicodeAware) {
    // The process keeps the "C" locale, as a test program does; folding must not depend on it.
    ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    EXPECT_EQ(WideCompareNoCase(u"Übersicht", u"üBERSICHT"), 0);
    EXPECT_EQ(WideCompareNoCase(u"ÉCOLE", u"école"), 0);
    EXPECT_EQ(WideCompareNoCase(u"ΣΟΦΊΑ", u"σοφία"), 0);
    EXPECT_EQ(WideCompareNoCase(u"ΟΔΟΣ", u"οδος"), 0); // final sigma folds with sigma
    EXPECT_EQ(WideCompareNoCase(u"МОСКВА", u"москва"), 0);
    EXPECT_EQ(WideCompareNoCase(u"\U00010400", u"\U00010428"), 0); // Deseret, outside the basic plane
    EXPECT_EQ(WideCompareNoCase(nullptr, u""), 0);

    EXPECT_NE(WideCompareNoCase(u"Ü", u"U"), 0);
    EXPECT_LT(WideCompareNoCase(u"apple", u"BANANA"), 0);
    EXPECT_GT(WideCompareNoCase(u"Banana", u"apple"), 0);
    EXPECT_LT(WideCompareNoCase(u"abc", u"ABCD"), 0);
    EXPECT_GT(WideCompareNoCase(u"ABCD", u"abc"), 0);
    EXPECT_LT(WideCompareNoCase(nullptr, u"a"), 0);
}

TEST(WideString, Lowering) {
    EXPECT_EQ(WideToLower(u'A'), u'a');
    EXPECT_EQ(WideToLower(u'Ü'), u'ü');
    EXPECT_EQ(WideToLower(u'Ж'), u'ж');
    EXPECT_EQ(WideToLower(u'1'), u'1');
    EXPECT_EQ(WideToLower(u'\xD801'), u'\xD801'); // half a pair is left alone

    std::u16string text = u"Ölwechsel ΑΒΓ \U00010400 Ok";
    WideLowerInPlace(text.data());
    EXPECT_EQ(text, u"ölwechsel αβγ \U00010428 ok");
    std::u16string lone = u"A\xDC00"
                          u"B";
    WideLowerInPlace(lone.data());
    EXPECT_EQ(lone, u"a\xDC00"
                    u"b");
    WideLowerInPlace(nullptr);
}
