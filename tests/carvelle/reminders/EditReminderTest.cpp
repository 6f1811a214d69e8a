// The reminder editor's defaults and checks.

#include "carvelle/reminders/RemindersTestSupport.h"

#include "core/CSession.h"
#include "core/ResourceIds.h"
#include "reminders/EditReminder.h"
#include "support/SqliteFile.h"
#include "widgets/CDatePicker.h"

#include <QComboBox>
#include <QLineEdit>

#include <limits>

TEST_F(RemindersTest, ANewReminderIsDueLaterAndNeedsADescription) {
    CNotification reminder;
    m_Prompter.AnswerModal([](QDialog& editor) {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("New Reminder"));
        EXPECT_EQ(editor.findChild<QLineEdit*>(QStringLiteral("reminderOdometer"))->text(),
                  QStringLiteral("15345"));
        EXPECT_EQ(editor.findChild<CDatePicker*>(QStringLiteral("reminderDate"))->Day(), QDate(2026, 5, 9));
        CScriptedPrompter::Press(editor, ID_DONE);
        EXPECT_TRUE(editor.isVisible());
        editor.findChild<QComboBox*>(QStringLiteral("reminderDescription"))
            ->setEditText(QStringLiteral("Oil change"));
        CScriptedPrompter::Press(editor, ID_DONE);
    });
    ASSERT_TRUE(EditReminder(reminder, nullptr));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_EQ(m_Prompter.Messages()[0].text, QStringLiteral("A description is required."));
    EXPECT_EQ(m_Prompter.Messages()[0].caption, QStringLiteral("Carvelle"));
    EXPECT_NE(reminder.GetID(), 0);
    EXPECT_EQ(reminder.GetVehicleID(), m_Vehicle.GetRefID());
    EXPECT_EQ(reminder.GetOdometer(), 15345);
    EXPECT_DOUBLE_EQ(reminder.GetDate(), m_NowDate + 60.0);
    EXPECT_EQ(StoredNames(), std::vector<std::u16string>({u"Oil change"}));
}

TEST_F(RemindersTest, TheReadingNeitherWrapsNorStopsAtTheArrowsRange) {
    constexpr LONG largest = std::numeric_limits<LONG>::max();
    TheSession().SetActiveOdometer(largest - 1000);
    CNotification reminder;
    m_Prompter.AnswerModal([](QDialog& editor) {
        auto* odometer = editor.findChild<QLineEdit*>(QStringLiteral("reminderOdometer"));
        EXPECT_EQ(odometer->text(), QStringLiteral("2147483647"));
        editor.findChild<QComboBox*>(QStringLiteral("reminderDescription"))
            ->setEditText(QStringLiteral("Belt"));
        odometer->setText(QStringLiteral("2147483648"));
        CScriptedPrompter::Press(editor, ID_DONE);
        EXPECT_TRUE(editor.isVisible());
        odometer->setText(QStringLiteral("2000000"));
        CScriptedPrompter::Press(editor, ID_DONE);
    });
    ASSERT_TRUE(EditReminder(reminder, nullptr));
    EXPECT_EQ(reminder.GetOdometer(), 2000000);
}

TEST_F(RemindersTest, TheSheetKeepsHowOftenAReminderRepeatsWithinItsBounds) {
    CNotification reminder;
    m_Prompter.AnswerModal([](QDialog& editor) {
        editor.findChild<QComboBox*>(QStringLiteral("reminderDescription"))
            ->setEditText(QStringLiteral("Oil change"));
        auto* distance = editor.findChild<QLineEdit*>(QStringLiteral("reminderEveryDistance"));
        distance->setText(QStringLiteral("1000001"));
        editor.findChild<QLineEdit*>(QStringLiteral("reminderEveryMonths"))->setText(QStringLiteral("6"));
        CScriptedPrompter::Press(editor, ID_DONE);
        EXPECT_TRUE(editor.isVisible());
        distance->setText(QStringLiteral("5000"));
        CScriptedPrompter::Press(editor, ID_DONE);
    });
    ASSERT_TRUE(EditReminder(reminder, nullptr));
    CDataLayer::ReminderInterval interval;
    Stored(reminder.GetID(), &interval);
    EXPECT_EQ(interval.EveryDistance, 5000);
    EXPECT_EQ(interval.EveryMonths, 6);

    // Only the interval changed: stored all the same; emptied, the reminder no longer repeats.
    m_Prompter.AnswerModal([](QDialog& editor) {
        EXPECT_EQ(editor.findChild<QLineEdit*>(QStringLiteral("reminderEveryDistance"))->text(),
                  QStringLiteral("5000"));
        editor.findChild<QLineEdit*>(QStringLiteral("reminderEveryDistance"))->clear();
        editor.findChild<QLineEdit*>(QStringLiteral("reminderEveryMonths"))->setText(QStringLiteral("0"));
        CScriptedPrompter::Press(editor, ID_DONE);
    });
    ASSERT_TRUE(EditReminder(reminder, nullptr));
    Stored(reminder.GetID(), &interval);
    EXPECT_EQ(interval.EveryDistance, 0);
    EXPECT_EQ(interval.EveryMonths, 0);
}

TEST_F(RemindersTest, ANewReminderWhoseIntervalTheFileRefusesIsNotStoredEither) {
    // A file whose interval table refuses seven months.
    SqliteFile(m_File.Path())
        .Exec("DROP TABLE IF EXISTS ReminderInterval; CREATE TABLE ReminderInterval (ReminderRefID INTEGER "
              "PRIMARY KEY, EveryDistance INTEGER NOT NULL, EveryMonths INTEGER NOT NULL CHECK (EveryMonths "
              "<> 7))");
    CNotification reminder;
    m_Prompter.AnswerModal([](QDialog& editor) {
        editor.findChild<QComboBox*>(QStringLiteral("reminderDescription"))
            ->setEditText(QStringLiteral("Tyres"));
        editor.findChild<QLineEdit*>(QStringLiteral("reminderEveryMonths"))->setText(QStringLiteral("7"));
        CScriptedPrompter::Press(editor, ID_DONE);
    });
    EXPECT_FALSE(EditReminder(reminder, nullptr));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.contains(QString::fromStdString(m_File.Path())));
    EXPECT_EQ(reminder.GetID(), 0);
    EXPECT_TRUE(StoredNames().empty());
}
