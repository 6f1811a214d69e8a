// The frame's reminder wiring: when the check runs, New > Reminder..., messages held while a
// notice is open, and the check on a new day.

#include "carvelle/reminders/RemindersTestSupport.h"

#include "app/CMainFrame.h"
#include "core/CSession.h"
#include "core/ResourceIds.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CMenuResource.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

namespace {

class FrameRemindersTest : public RemindersTest {
protected:
    CVehicle* Start(CMainFrame& frame) {
        TheSession().Deactivate();
        frame.VehicleView()->Initialize();
        frame.EntryView()->Initialize();
        return frame.VehicleView()->FindByRefID(m_Vehicle.GetRefID());
    }
    int Notices() const { return m_Prompter.Count(CScriptedPrompter::Shown::Modal); }
    static void Later(QDialog& notice) { CScriptedPrompter::Press(notice, ID_CANCEL); }
};

TEST_F(FrameRemindersTest, APutOffReminderComesBackOnlyAtAHigherReading) {
    Store(u"Oil", 12000, m_NowDate + 30);
    Store(u"Tyres", 13000, m_NowDate + 30);
    CMainFrame frame;
    CVehicle* vehicle = Start(frame);
    m_Prompter.AnswerModal(Later);
    frame.SetActiveVehicle(vehicle, false);
    EXPECT_EQ(Notices(), 1);
    frame.SetActiveVehicle(vehicle, false); // already active: no check
    EXPECT_EQ(Notices(), 1);

    // A saved entry that raises the highest reading checks again.
    CEntry entry;
    entry.SetVehicleID(m_Vehicle.GetRefID());
    entry.SetOdometer(13000);
    ASSERT_EQ(TheDataLayer().Save(&entry, 0), 1);
    m_Prompter.AnswerModal(Later);
    m_Prompter.AnswerModal(PressDelete);
    frame.UpdateActiveOdometer();
    EXPECT_EQ(Notices(), 3);
    EXPECT_EQ(StoredNames(), std::vector<std::u16string>({u"Oil"}));

    // Opened again the same day at the same reading: the put-off reminder stays quiet.
    frame.ShowView(CMainFrame::ViewVehicles);
    frame.SetActiveVehicle(vehicle, false);
    EXPECT_EQ(Notices(), 3);
}

TEST_F(FrameRemindersTest, NewReminderSaysSoAndChecksAtOnce) {
    CMainFrame frame;
    frame.SetActiveVehicle(Start(frame), false);
    m_Prompter.AnswerModal([](QDialog& editor) {
        editor.findChild<QComboBox*>(QStringLiteral("reminderDescription"))
            ->setEditText(QStringLiteral("Oil"));
        editor.findChild<QLineEdit*>(QStringLiteral("reminderOdometer"))->setText(QStringLiteral("100"));
        CScriptedPrompter::Press(editor, ID_DONE);
    });
    m_Prompter.AnswerModal(Later); // due at once
    FindCommand(frame.SoftKeyMenu(), ID_NEW_REMINDER)->trigger();
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.startsWith(QStringLiteral("The reminder has been created")));
    EXPECT_EQ(m_Prompter.History().back().objectName, QStringLiteral("dlg226"));
}

TEST_F(FrameRemindersTest, RefreshAndShutdownWaitUntilTheNoticeHasClosed) {
    Store(u"Oil", 100, m_NowDate + 30);
    CMainFrame frame;
    CVehicle* vehicle = Start(frame);
    m_Prompter.AnswerModal([&](QDialog& notice) {
        CVehicle renamed;
        renamed.SetRefID(m_Vehicle.GetRefID());
        ASSERT_EQ(TheDataLayer().LoadByRefID(&renamed), 1);
        renamed.SetName(u"Estate");
        ASSERT_EQ(TheDataLayer().Save(&renamed, 0), 1);
        // Another program adds a reminder that is due; this one is put off below.
        Store(u"Tyres", 100, m_NowDate + 30);
        frame.OnRefreshMessage();
        QCoreApplication::processEvents();
        EXPECT_EQ(frame.VehicleView()->FindByRefID(m_Vehicle.GetRefID()), vehicle);
        EXPECT_EQ(frame.EntryView()->Caption(), QStringLiteral("Wagon (2004)"));
        Later(notice);
    });
    // The refresh makes the vehicle active again, which checks again: the new reminder shows.
    m_Prompter.AnswerModal([&](QDialog& notice) {
        EXPECT_EQ(frame.EntryView()->Caption(), QStringLiteral("Estate (2004)"));
        frame.OnShutdownMessage();
        QCoreApplication::processEvents();
        EXPECT_FALSE(frame.IsClosed());
        PressDelete(notice);
    });
    frame.SetActiveVehicle(vehicle, false);
    EXPECT_TRUE(WaitFor([&] { return frame.IsClosed(); }));
    EXPECT_EQ(Notices(), 2);
}

TEST_F(FrameRemindersTest, ANewDayChecksOnceNoDialogIsOpen) {
    PinnedClock evening(MakeTime(2026, 3, 10, 23, 59));
    Store(u"Oil", 900000, m_NowDate + 0.5); // 11 March, 00:00 UTC
    CMainFrame frame;
    frame.SetActiveVehicle(Start(frame), false);
    frame.OnClockTick();
    EXPECT_EQ(Notices(), 0);

    m_Prompter.AnswerModal([&](QDialog& list) {
        const SYSTEMTIME midnight = MakeTime(2026, 3, 11, 0, 1);
        PinSystemTime(&midnight);
        frame.OnClockTick();
        EXPECT_EQ(Notices(), 1); // the list alone
        CScriptedPrompter::Press(list, ID_DONE);
    });
    m_Prompter.AnswerModal(Later);
    FindCommand(frame.SoftKeyMenu(), ID_MANAGE_REMINDERS)->trigger();
    EXPECT_TRUE(WaitFor([&] { return Notices() == 2; }));
    EXPECT_EQ(m_Prompter.History().back().objectName, QStringLiteral("dlg226"));
}

} // namespace
