// The Options dialog's reading of the mileage rate.

#include "stats/CDlgOptions.h"
#include "carvelle/support/LocalDayFixtures.h"

#include <gtest/gtest.h>

TEST(Units, MileageRateParseRefusesWhatIsNotAFiniteFloat) {
    ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(CDlgOptions::ParseMileageRate(QStringLiteral(" \t0.5  ")), 0.5f);
    EXPECT_EQ(CDlgOptions::ParseMileageRate(QStringLiteral("0,5")), 0.5f);
    EXPECT_EQ(CDlgOptions::ParseMileageRate(QStringLiteral("-0,25")), -0.25f);
    EXPECT_EQ(CDlgOptions::ParseMileageRate(QStringLiteral("0")), 0.0f);
    for (const char* refused : {"", "0.5x", "-0", "abc", "1e39", "nan", "inf", "0x10", "1,5,0"})
        EXPECT_FALSE(CDlgOptions::ParseMileageRate(QString::fromUtf8(refused))) << refused;
    EXPECT_EQ(CDlgOptions::MileageRateText(0.36f), QStringLiteral("0,36"));
}
