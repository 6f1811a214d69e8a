// The reminder list: its order, editing and deleting from it, its columns, and what a failed
// save or delete does.

#include "carvelle/reminders/RemindersTestSupport.h"

#include "core/CSession.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "reminders/CDlgReminders.h"
#include "reminders/CNotificationListView.h"
#include "support/CDataLayerTestPeer.h"
#include "support/SqliteFile.h"
#include "widgets/CDatePicker.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

class ReminderListTest : public RemindersTest {
protected:
    QStringList Rows(const CNotificationListView& list) const {
        QStringList rows;
        for (int row = 0; row < list.GetRowCount(); ++row)
            rows << list.CellText(row, CNotificationListView::ColumnDescription);
        return rows;
    }
    static void SetOdometer(QDialog& editor, const QString& text) {
        editor.findChild<QLineEdit*>(QStringLiteral("reminderOdometer"))->setText(text);
        CScriptedPrompter::Press(editor, ID_DONE);
    }
};

TEST_F(ReminderListTest, TheMenuKeyListsItsCommandsDirectly) {
    CDlgReminders dialog(m_Vehicle.GetRefID());
    dialog.show();
    auto* key = dialog.findChild<QToolButton*>(QStringLiteral("softkey2"));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->text(), QStringLiteral("Menu"));
    QStringList shown;
    QTimer::singleShot(50, [&shown] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : popup->actions()) {
                if (!action->isSeparator())
                    shown << action->text();
            }
            popup->close();
        }
    });
    key->showMenu();
    EXPECT_EQ(shown, QStringList({"Edit", "Delete", "Done...", "Done"}));
}

TEST_F(ReminderListTest, NewestFirstAndOnlyAChangedReminderMovesToTheTop) {
    const LONG first = Store(u"first", 20000, m_NowDate + 10.0000123); // a stamp with milliseconds
    Store(u"second", 20000, m_NowDate + 10);
    Store(u"third", 10000, m_NowDate + 10); // due: the reading has passed
    CDlgReminders dialog(m_Vehicle.GetRefID());
    dialog.show();
    CNotificationListView& list = *dialog.List();
    EXPECT_EQ(Rows(list), QStringList({"third", "second", "first"}));
    EXPECT_TRUE(list.model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(list.model()->index(1, 0).data(Qt::FontRole).isValid());
    EXPECT_EQ(list.CellText(2, CNotificationListView::ColumnOdometer), QStringLiteral("20,000"));

    const double modified = list.ReminderAt(2)->GetDateModified();
    list.SelectRow(2);
    m_Prompter.AnswerModal([](QDialog& editor) { CScriptedPrompter::Press(editor, ID_DONE); });
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(Rows(list), QStringList({"third", "second", "first"}));
    EXPECT_EQ(list.ReminderAt(2)->GetDateModified(), modified);

    list.SelectRow(2);
    m_Prompter.AnswerModal([](QDialog& editor) { SetOdometer(editor, QStringLiteral("25000")); });
    CScriptedPrompter::Press(dialog, ID_EDIT);
    EXPECT_EQ(Rows(list), QStringList({"first", "third", "second"}));
    EXPECT_EQ(list.GetNextSelectedRow(), 0);
    EXPECT_EQ(list.ReminderAt(0)->GetID(), first);
    EXPECT_EQ(list.CellText(0, CNotificationListView::ColumnOdometer), QStringLiteral("25,000"));
    EXPECT_TRUE(dialog.isVisible()); // Enter in the list edits, it does not close the dialog
}

TEST_F(ReminderListTest, TheColumnsFillTheWidthAfterEveryResize) {
    Store(u"first", 20000, m_NowDate + 10);
    CDlgReminders dialog(m_Vehicle.GetRefID());
    dialog.show();
    CNotificationListView& list = *dialog.List();
    auto total = [&] {
        int sum = 0;
        for (int column = 0; column < CNotificationListView::ColumnCount; ++column)
            sum += list.columnWidth(column);
        return sum;
    };
    for (int width : {480, 700, 320}) {
        dialog.resize(width, 500);
        QCoreApplication::processEvents();
        EXPECT_EQ(total(), list.viewport()->width()) << width;
    }
    // The user widens the date: the reading gives way, the description keeps its width.
    const int description = list.columnWidth(0);
    list.header()->resizeSection(1, list.columnWidth(1) + 10);
    EXPECT_EQ(list.columnWidth(0), description);
    EXPECT_EQ(total(), list.viewport()->width());
    dialog.resize(60, 500); // narrower than the other two columns
    QCoreApplication::processEvents();
    EXPECT_GE(list.columnWidth(0), 0);
}

TEST_F(ReminderListTest, NewBelongsToTheListsVehicleAndDeleteAsksFirst) {
    TheSession().Activate(999, TheSession().ActiveOdometer()); // the list keeps the vehicle it was opened for
    CDlgReminders dialog(m_Vehicle.GetRefID());
    dialog.show();
    CNotificationListView& list = *dialog.List();
    EXPECT_EQ(list.GetRowCount(), 0);
    m_Prompter.AnswerModal([](QDialog& editor) {
        editor.findChild<QComboBox*>(QStringLiteral("reminderDescription"))
            ->setEditText(QStringLiteral("Oil"));
        CScriptedPrompter::Press(editor, ID_DONE);
    });
    CScriptedPrompter::Press(dialog, ID_NEW_REMINDER);
    EXPECT_EQ(Rows(list), QStringList({"Oil"}));
    EXPECT_EQ(list.GetNextSelectedRow(), 0);
    EXPECT_EQ(m_Prompter.Messages().at(0).text.left(40),
              QStringLiteral("The reminder has been created successful"));

    m_Prompter.AnswerMessage(CPrompter::IDNO);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(list.GetRowCount(), 1);
    m_Prompter.AnswerMessage(CPrompter::IDYES);
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(list.GetRowCount(), 0);
    EXPECT_TRUE(StoredNames().empty());
    const auto messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].text, QStringLiteral("Are you sure you want to delete this reminder?"));
    EXPECT_EQ(messages[1].buttons, CPrompter::ButtonsYesNo);

    // A list opened without a vehicle never stores a reminder.
    CDlgReminders none(0);
    CScriptedPrompter::Press(none, ID_NEW_REMINDER);
}

TEST_F(ReminderListTest, AFailedSaveOrDeleteSaysSoAndShowsWhatIsStored) {
    Store(u"Oil", 20000, m_NowDate + 10);
    // Another program holds the write lock: reading works, writing does not.
    CDataLayerTestPeer::SetBusyTimeout(TheDataLayer(), 0);
    SqliteFile writer(m_File.Path());
    writer.Exec("BEGIN IMMEDIATE;");
    CDlgReminders dialog(m_Vehicle.GetRefID());
    dialog.show();
    CNotificationListView& list = *dialog.List();
    list.SelectRow(0);
    m_Prompter.AnswerModal([](QDialog& editor) { SetOdometer(editor, QStringLiteral("30000")); });
    CScriptedPrompter::Press(dialog, ID_EDIT);
    EXPECT_EQ(list.CellText(0, CNotificationListView::ColumnOdometer), QStringLiteral("20,000"));

    m_Prompter.AnswerMessage(CPrompter::IDYES);
    CScriptedPrompter::Press(dialog, ID_DELETE);
    EXPECT_EQ(list.GetRowCount(), 1);
    const auto messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 3u);
    for (int i : {0, 2}) {
        EXPECT_TRUE(messages[i].text.contains(QString::fromStdString(m_File.Path()))) << i;
        EXPECT_EQ(messages[i].icon, CPrompter::IconWarning);
        EXPECT_TRUE(messages[i].caption.isEmpty());
    }
    writer.Exec("ROLLBACK;");
}

} // namespace

TEST_F(ReminderListTest, DoneMovesARepeatingReminderOnWithItsRepairAndRemovesAOneTimeOne) {
    // 2,720 miles in the 68 days from 1 January to 10 March: 40 a day.
    Log(2026, 1, 1, 10000);
    Log(2026, 3, 10, 12720);
    TheSession().SetActiveOdometer(12720);
    const LONG oil = Store(u"Oil change", 13640, m_NowDate + 90);
    Repeat(oil, 5000, 6);
    const LONG inspection = Store(u"Inspection", 14000, m_NowDate + 30);
    CDlgReminders dialog(m_Vehicle.GetRefID());
    dialog.show();
    CNotificationListView& list = *dialog.List();
    ASSERT_EQ(Rows(list), QStringList({"Inspection", "Oil change"}));
    // 920 miles to go at 40 a day.
    EXPECT_EQ(list.CellText(1, CNotificationListView::ColumnExpected),
              QStringLiteral("about 23 days, around 2 Apr 2026"));

    list.SelectRow(1);
    m_Prompter.AnswerModal([](QDialog& done) {
        EXPECT_EQ(done.windowTitle(), QStringLiteral("Reminder Done"));
        EXPECT_EQ(done.findChild<CDatePicker*>(QStringLiteral("doneDay"))->Day(), QDate(2026, 3, 10));
        auto* reading = done.findChild<QLineEdit*>(QStringLiteral("doneOdometer"));
        EXPECT_EQ(reading->text(), QStringLiteral("12720"));
        // Below what the log holds by that day: refused, the dialog stays.
        reading->setText(QStringLiteral("12000"));
        CScriptedPrompter::Press(done, ID_DONE);
        ASSERT_TRUE(done.isVisible());
        done.findChild<CDatePicker*>(QStringLiteral("doneDay"))->SetDay(QDate(2026, 1, 31));
        reading->setText(QStringLiteral("11200"));
        done.findChild<QCheckBox*>(QStringLiteral("doneStoreRepair"))->setChecked(true);
        done.findChild<QLineEdit*>(QStringLiteral("doneRepairAmount"))->setText(QStringLiteral("45.50"));
        CScriptedPrompter::Press(done, ID_DONE);
    });
    CScriptedPrompter::Press(dialog, ID_REMINDER_WORK_DONE);
    EXPECT_TRUE(dialog.LogChanged());
    // Whichever comes first: 11,200 + 5,000, and 31 January + 6 months.
    CDataLayer::ReminderInterval interval;
    const auto moved = Stored(oil, &interval);
    EXPECT_EQ(moved->GetOdometer(), 16200);
    EXPECT_EQ(OleDateToLocal(moved->GetDate()).date(), QDate(2026, 7, 31));
    EXPECT_EQ(interval.EveryDistance, 5000);
    EXPECT_EQ(list.CellText(0, CNotificationListView::ColumnOdometer), QStringLiteral("16,200"));
    CObjectListT<CEntry> log;
    CEntryFilter repairs;
    repairs.SetVehicleID(m_Vehicle.GetRefID());
    repairs.SetEntryType(CEntry::EntryRepair);
    ASSERT_EQ(TheDataLayer().Load(log, repairs), 1);
    ASSERT_EQ(log.GetCount(), 1);
    EXPECT_EQ(std::u16string(log.Get(0)->GetName()), u"Oil change");
    EXPECT_EQ(log.Get(0)->GetOdometer(), 11200);
    EXPECT_FLOAT_EQ(log.Get(0)->GetAmount(), 45.5f);
    EXPECT_EQ(OleDateToLocal(log.Get(0)->GetDate()).date(), QDate(2026, 1, 31));

    // A reminder that does not repeat goes, as Delete would take it.
    list.SelectRow(1);
    ASSERT_EQ(list.GetSelectedReminder()->GetID(), inspection);
    m_Prompter.AnswerModal([](QDialog& done) { CScriptedPrompter::Press(done, ID_DONE); });
    CScriptedPrompter::Press(dialog, ID_REMINDER_WORK_DONE);
    EXPECT_EQ(Rows(list), QStringList({"Oil change"}));
    EXPECT_EQ(StoredNames(), std::vector<std::u16string>({u"Oil change"}));
    ASSERT_EQ(TheDataLayer().Load(log, repairs), 1);
    EXPECT_EQ(log.GetCount(), 1);
}
