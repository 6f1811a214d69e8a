// A repair named like a reminder offers to mark the reminder done.

#include "carvelle/support/CCarvelleTest.h"
#include "carvelle/support/LocalDayFixtures.h"
#include "support/PinnedClock.h"
#include "support/TempDataFile.h"

#include "core/AppData.h"
#include "core/CSession.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "editing/RecordEditing.h"
#include "records/CEntry.h"
#include "records/CNotification.h"
#include "records/CVehicle.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

namespace {

class OfferReminderDoneTest : public CCarvelleTest {};

} // namespace

TEST_F(OfferReminderDoneTest, ARepairNamedLikeARepeatingReminderMovesItOnFromTheRepairsDayAndReading) {
    const ScopedTimeZone zone(kGreenwich);
    const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const PinnedClock clock(MakeTime(2026, 3, 10, 12));
    TempDataFile file;
    ASSERT_EQ(TheDataLayer().Connect(file.WidePath().c_str()), CDataLayer::ConnectOK);
    CVehicle vehicle;
    vehicle.SetName(u"Wagon");
    ASSERT_EQ(TheDataLayer().Save(&vehicle, 0), 1);
    TheSession().Activate(vehicle.GetRefID(), 30000);
    CNotification reminder;
    reminder.SetVehicleID(vehicle.GetRefID());
    reminder.SetName(u"Oil Change");
    reminder.SetOdometer(31000);
    reminder.SetDate(NowAsOleDate() + 100);
    ASSERT_EQ(TheDataLayer().Save(&reminder, 0), 1);
    ASSERT_EQ(TheDataLayer().SetReminderInterval(&reminder, {7500, 0}), 1);

    CEntry repair;
    repair.SetVehicleID(vehicle.GetRefID());
    repair.SetType(CEntry::EntryRepair);
    repair.SetDate(NowAsOleDate());
    m_Prompter.AnswerModal([](QDialog& sheet) {
        sheet.findChild<QComboBox*>(QStringLiteral("description"))->setEditText(QStringLiteral("oil change"));
        sheet.findChild<QLineEdit*>(QStringLiteral("odometer"))->setText(QStringLiteral("30150"));
        CScriptedPrompter::Press(sheet, ID_DONE);
    });
    m_Prompter.AnswerMessage(CPrompter::IDYES);
    ASSERT_NE(EditEntry(repair), 0);
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.startsWith(
        QStringLiteral("This repair is the work of the reminder \"Oil Change\". Mark the reminder done on "
                       "3/10/26 at 30,150")));

    ASSERT_EQ(TheDataLayer().Load(&reminder), 1);
    EXPECT_EQ(reminder.GetOdometer(), 37650);
    // Edited again, the repair asks no more.
    m_Prompter.AnswerModal([](QDialog& sheet) {
        sheet.findChild<QLineEdit*>(QStringLiteral("amount"))->setText(QStringLiteral("60"));
        CScriptedPrompter::Press(sheet, ID_DONE);
    });
    ASSERT_NE(EditEntry(repair), 0);
    EXPECT_EQ(m_Prompter.Messages().size(), 1u);
    TheDataLayer().Disconnect();
}
