// The Options dialog as the user reaches it from the frame.

#include "app/CMainFrame.h"
#include "carvelle/support/CCarvelleTest.h"
#include "carvelle/support/LocalDayFixtures.h"
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
