// Units, the number formatter and the Options dialog as the user reaches it from the frame.

#include "app/CMainFrame.h"
#include "carvelle/support/CCarvelleTest.h"
#include "carvelle/views/LocalDayFixtures.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CQuickStats.h"
#include "core/ResourceIds.h"
#include "core/Units.h"
#include "datastore/CDataLayer.h"
#include "records/CEntry.h"
#include "records/CVehicle.h"
#include "stats/CDlgOptions.h"
#include "support/TempDataFile.h"
#include "views/CEntryListView.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CMenuResource.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <cmath>

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

class OptionsFlowTest : public CCarvelleTest {
protected:
    void SetUp() override {
        ASSERT_EQ(TheDataLayer().Connect(m_Data.WidePath().c_str()), CDataLayer::ConnectOK);
        CVehicle vehicle;
        vehicle.SetName(u"Wagon");
        ASSERT_EQ(TheDataLayer().Save(&vehicle, 0), 1);
        CEntry fuel;
        fuel.SetVehicleID(vehicle.GetRefID());
        fuel.SetType(CEntry::EntryFuel);
        fuel.SetCustom1(10.0f);
        ASSERT_EQ(TheDataLayer().Save(&fuel, 0), 1);
        m_Frame.VehicleView()->Initialize();
        m_Frame.EntryView()->Initialize();
        m_Frame.SetActiveVehicle(m_Frame.VehicleView()->FindByRefID(vehicle.GetRefID()), true);
    }
    void TearDown() override { TheDataLayer().Disconnect(); }

    QString Description() {
        return CEntryListView::EntryDescription(*m_Frame.EntryView()->List()->EntryAt(0));
    }

    ScopedLocale m_Locale{QLocale(QLocale::German, QLocale::Germany)};
    TempDataFile m_Data;
    CMainFrame m_Frame;
};

TEST_F(OptionsFlowTest, DoneStoresEverySettingAndRelabelsTheListCancelChangesNothing) {
    EXPECT_TRUE(Description().startsWith(QStringLiteral("10,00 gal")));
    // A refused rate keeps the dialog open; a corrected one closes it.
    m_Prompter.AnswerModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("currency"))->text(), QStringLiteral("\u20AC"));
        auto* rate = dialog.findChild<QLineEdit*>(QStringLiteral("defaultMileageRate"));
        EXPECT_EQ(rate->text(), QStringLiteral("0,36"));
        dialog.findChild<QComboBox*>(QStringLiteral("volumeUnit"))->setCurrentIndex(VolumeLitres);
        dialog.findChild<QComboBox*>(QStringLiteral("distanceUnit"))->setCurrentIndex(DistanceKilometres);
        rate->setText(QStringLiteral("1e39"));
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        rate->setText(QStringLiteral("0,42"));
        QTest::keyClick(rate, Qt::Key_Return);
    });
    FindCommand(m_Frame.SoftKeyMenu(), ID_OPTIONS)->trigger();
    EXPECT_TRUE(Description().startsWith(QStringLiteral("10,00 ltr")));
    std::unique_ptr<CAppSettings> stored = StoredSettings();
    EXPECT_EQ(stored->UnitVolume, 2u);
    EXPECT_EQ(stored->UnitDistance, 1u);
    EXPECT_FLOAT_EQ(stored->MileageRate, 0.42f);

    m_Prompter.AnswerModal([](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("volumeUnit"))->setCurrentIndex(VolumeGallonsUK);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    FindCommand(m_Frame.SoftKeyMenu(), ID_OPTIONS)->trigger();
    EXPECT_EQ(TheSettings().UnitVolume, 2u);
    EXPECT_EQ(StoredSettings()->UnitVolume, 2u);
}
