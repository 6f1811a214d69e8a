// Units and the number formatter.

#include "core/Units.h"
#include "carvelle/support/LocalDayFixtures.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CQuickStats.h"

#include <gtest/gtest.h>

TEST(Units, FormatNumberKeepsTheSignAndFollowsTheLocale) {
    ScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatNumber(-3.7f, true, true, false), QStringLiteral("-3.70"));
    EXPECT_EQ(FormatNumber(-0.004f, true, true, false), QStringLiteral("0.00"));
    EXPECT_EQ(FormatNumber(12.5f, false, true, false), QStringLiteral("12"));
    EXPECT_EQ(FormatNumber(-12.5f, false, true, false), QStringLiteral("-12"));
    // The locale writes negative money its own way.
    EXPECT_EQ(FormatNumber(-0.4f, true, false, true), QStringLiteral("($0.40)"));
    EXPECT_EQ(FormatNumber(1234567.0f, false, false, false), QStringLiteral("1,234,567"));
    EXPECT_EQ(FormatNumber(1234.5f, true, false, false), QStringLiteral("1,234.50"));
    EXPECT_EQ(FormatNumber(1e20f, false, true, false), QStringLiteral("2147483647"));
    // A sum of many entries keeps every cent, where a float has lost it.
    EXPECT_EQ(FormatSum(1234567.89, kMoney), QStringLiteral("$1,234,567.89"));
    EXPECT_EQ(FormatSum(1e9 + 0.07, kDecimalNumber), QStringLiteral("1,000,000,000.07"));

    ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatNumber(1234.5f, true, false, true), QStringLiteral("1.234,50\u00A0\u20AC"));
    EXPECT_EQ(FormatNumber(1234567.0f, false, false, false), QStringLiteral("1.234.567"));
}

TEST(Units, EconomyConvertsOnlyForTheFigure) {
    CAppSettings& settings = TheSettings();
    EXPECT_FLOAT_EQ(ComputeEconomy(300, 10.0f), 30.0f);
    EXPECT_EQ(EconomyUnitLabel(), QStringLiteral("mi/gal"));
    settings.UnitDistance = DistanceKilometres;
    settings.UnitVolume = VolumeLitres;
    EXPECT_NEAR(ComputeEconomy(100, 10.0f), 23.52f, 0.01f);
    settings.UnitDistance = DistanceMiles;
    settings.UnitFuelEconomy = EconomyKilometresPerLitre;
    EXPECT_NEAR(ComputeEconomy(100, 10.0f), 16.09f, 0.01f);
    EXPECT_EQ(EconomyUnitLabel(), QStringLiteral("km/ltr"));
    EXPECT_EQ(ComputeEconomy(0, 10.0f), -1.0f);
    EXPECT_EQ(ComputeEconomy(-5, 10.0f), -1.0f);
    EXPECT_EQ(ComputeEconomy(100, 0.0f), -1.0f);
    EXPECT_EQ(VolumeUnitName(true, true), QStringLiteral("ltr"));
    EXPECT_EQ(FuelQuantityLabel(), QStringLiteral("Num litres:"));
    settings.UnitVolume = 7; // a hand-edited value
    EXPECT_EQ(VolumeUnitName(false, false), QString());
    EXPECT_EQ(ComputeEconomy(100, 10.0f), -1.0f);
    ResetSettings();
}

TEST(Units, LitresPer100KmIsVolumeOverDistance) {
    CAppSettings& settings = TheSettings();
    settings.UnitFuelEconomy = EconomyLitresPer100Km;
    settings.UnitDistance = DistanceKilometres;
    settings.UnitVolume = VolumeLitres;
    EXPECT_EQ(EconomyUnitLabel(), QStringLiteral("l/100 km"));
    EXPECT_FLOAT_EQ(ComputeEconomy(500, 40.0f), 8.0f);
    EXPECT_FLOAT_EQ(ComputeEconomy(1, 0.01f), 1.0f);
    // Nothing travelled or nothing bought is no figure, never a division by zero.
    EXPECT_EQ(ComputeEconomy(0, 40.0f), -1.0f);
    EXPECT_EQ(ComputeEconomy(-10, 40.0f), -1.0f);
    EXPECT_EQ(ComputeEconomy(500, 0.0f), -1.0f);
    // From miles and US gallons: 30 mpg is about 7.84 l/100 km.
    settings.UnitDistance = DistanceMiles;
    settings.UnitVolume = VolumeGallonsUS;
    EXPECT_NEAR(ComputeEconomy(300, 10.0f), 7.84f, 0.01f);
    settings.UnitVolume = 7; // a hand-edited value
    EXPECT_EQ(ComputeEconomy(300, 10.0f), -1.0f);
    ResetSettings();

    // Quick Stats shows it with its label; a fill-up after no distance shows N/A.
    CQuickStats stats;
    TheSettings().UnitFuelEconomy = EconomyLitresPer100Km;
    TheSettings().UnitDistance = DistanceKilometres;
    TheSettings().UnitVolume = VolumeLitres;
    stats.AverageEconomy = ComputeEconomy(500, 40.0f);
    stats.MostRecentEconomy = ComputeEconomy(0, 40.0f);
    EXPECT_EQ(stats.FigureText(1), QStringLiteral("8.00 l/100 km"));
    EXPECT_EQ(stats.FigureText(2), QStringLiteral("N/A"));
    ResetSettings();
}
