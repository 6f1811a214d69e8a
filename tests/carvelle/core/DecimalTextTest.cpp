#include "core/DecimalText.h"

#include "carvelle/support/LocalDayFixtures.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

bool SameFloat(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

} // namespace

TEST(DecimalTextTest, AcceptsPlainNumbersAndRefusesWhatIsNotAFiniteFloat) {
    const ScopedLocale locale(kEnglish);
    const std::pair<const char*, float> accepted[] = {
        {"7", 7.0f},   {" \t7 \t", 7.0f}, {"0", 0.0f},         {"0.0", 0.0f},       {".5", 0.5f},
        {"1e3", 1e3f}, {"+2.5", 2.5f},    {"-12.25", -12.25f}, {"3.4e38", 3.4e38f}, {"00012", 12.0f},
    };
    for (const auto& [text, value] : accepted) {
        const std::optional<float> read = ParseDecimalText(QString::fromUtf8(text));
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_EQ(*read, value) << text;
    }
    const char* const refused[] = {
        "",    " ",    "abc",      "7a",   "-0",    ".0",    "1e",       "1.2.3",
        "--1", "+-1",  "- 1",      "1e39", "-1e39", "1e400", "1e-50",    "nan",
        "inf", "-inf", "infinity", "0x10", "1,5",   "1 000", "\xd9\xa1",
    };
    for (const char* text : refused)
        EXPECT_FALSE(ParseDecimalText(QString::fromUtf8(text)).has_value()) << text;
    // Thirty-one characters are read; a longer text is refused, not cut short.
    EXPECT_TRUE(ParseDecimalText(QString(30, u'0') + u'1').has_value());
    EXPECT_FALSE(ParseDecimalText(QString(31, u'0') + u'1').has_value());
}

TEST(DecimalTextTest, ShowsTheShortestTextThatReadsBackInEitherLocale) {
    {
        const ScopedLocale locale(kEnglish);
        EXPECT_EQ(FormatDecimalText(12345.67f), QStringLiteral("12345.67"));
        EXPECT_EQ(FormatDecimalText(1234567.0f), QStringLiteral("1234567"));
        EXPECT_EQ(FormatDecimalText(0.1f), QStringLiteral("0.1"));
        EXPECT_EQ(FormatDecimalText(-0.0f), QStringLiteral("0"));
    }
    const ScopedLocale locale(kGerman);
    EXPECT_EQ(FormatDecimalText(1.5f), QStringLiteral("1,5"));
    EXPECT_EQ(FormatDecimalText(12345.67f), QStringLiteral("12345,67"));
    EXPECT_EQ(ParseDecimalText(QStringLiteral("1,5")), 1.5f);
    EXPECT_EQ(ParseDecimalText(QStringLiteral("1.5")), 1.5f);
    EXPECT_EQ(ParseDecimalText(QStringLiteral(" 2,5e2 ")), 250.0f);
    EXPECT_FALSE(ParseDecimalText(QStringLiteral("1,5,5")).has_value());

    // Every float, shown and read back, is the same float: an untouched field stores nothing new.
    const float values[] = {12345.67f,
                            1234567.0f,
                            3.999f,
                            -0.001f,
                            0.3f,
                            16777217.0f,
                            1e-7f,
                            1e20f,
                            std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::denorm_min(),
                            std::numeric_limits<float>::lowest()};
    for (const QLocale& each : {kEnglish, kGerman}) {
        const ScopedLocale inner(each);
        for (float value : values) {
            const QString text = FormatDecimalText(value);
            EXPECT_LE(text.size(), kMaxNumberLength) << text.toStdString();
            const std::optional<float> back = ParseDecimalText(text);
            ASSERT_TRUE(back.has_value()) << text.toStdString();
            EXPECT_TRUE(SameFloat(*back, value)) << text.toStdString();
        }
    }
}

TEST(DecimalTextTest, IntegersStayWithin32Bits) {
    EXPECT_EQ(ParseIntegerText(QStringLiteral(" 2147483647 ")), 2147483647);
    EXPECT_EQ(ParseIntegerText(QStringLiteral("-2147483648")), std::numeric_limits<LONG>::min());
    EXPECT_EQ(ParseIntegerText(QStringLiteral("1234567")), 1234567);
    for (const char* text :
         {"2147483648", "-2147483649", "99999999999", "", "-", "+5", "12a", "1.0", "1e3", "0x10"})
        EXPECT_FALSE(ParseIntegerText(QString::fromUtf8(text)).has_value()) << text;
    EXPECT_EQ(FormatIntegerText(-42), QStringLiteral("-42"));
}
