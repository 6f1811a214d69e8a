// The due check with its notice.

#include "carvelle/reminders/RemindersTestSupport.h"

#include "core/CSession.h"
#include "core/LocalDates.h"
#include "core/ReminderSchedule.h"
#include "core/ResourceIds.h"
#include "reminders/CheckReminders.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

QString Text(QDialog& dialog, const char* name) {
    if (auto* label = dialog.findChild<QLabel*>(QLatin1String(name)))
        return label->text();
    if (auto* edit = dialog.findChild<QPlainTextEdit*>(QLatin1String(name)))
        return edit->toPlainText();
    return QStringLiteral("<none>");
}

TEST_F(RemindersTest, DueAtTheReadingOrFromItsMomentInLoadOrder) {
    Store(u"Oil", 5000, m_NowDate + 30);
    Store(u"Tyres", 900000, m_NowDate);                // due from this very second
    Store(u"Brakes", 900000, m_NowDate + 1.0 / 86400); // one second ahead
    QStringList shown;
    auto later = [&](QDialog& notice) {
        shown << Text(notice, "noticeDescription");
        QTest::keyClick(&notice, Qt::Key_Escape);
    };

    m_Vehicle.SetCurrentOdometer(4999);
    m_Prompter.AnswerModal(later);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(shown, QStringList({"Tyres"}));

    m_Vehicle.SetCurrentOdometer(5000);
    m_Prompter.AnswerModal([&](QDialog& notice) {
        EXPECT_EQ(notice.windowTitle(), QStringLiteral("Reminder"));
        EXPECT_EQ(Text(notice, "noticeVehicle"), QStringLiteral("Wagon (2004)"));
        EXPECT_EQ(Text(notice, "noticeOdometer"), QStringLiteral("5,000"));
        EXPECT_EQ(Text(notice, "noticeCurrentOdometer"), QStringLiteral("5,000"));
        EXPECT_EQ(Text(notice, "noticeDate"), QStringLiteral("4/9/26"));
        EXPECT_EQ(Text(notice, "noticeCurrentDate"), QStringLiteral("3/10/26"));
        later(notice);
    });
    m_Prompter.AnswerModal(later);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(shown, QStringList({"Tyres", "Oil", "Tyres"}));
    EXPECT_EQ(StoredNames().size(), 3u); // put off, not deleted
}

TEST_F(RemindersTest, EnterKeepsTheReminderAndOnlyTheDeleteButtonDeletes) {
    Store(u"Oil", 100, m_NowDate + 30);
    m_Prompter.AnswerModal([](QDialog& notice) {
        auto* remove = notice.findChild<QPushButton*>(QStringLiteral("noticeDelete"));
        remove->setFocus();
        QTest::keyClick(remove, Qt::Key_Return);
        EXPECT_EQ(notice.result(), 2);
    });
    m_Prompter.AnswerModal([](QDialog& notice) { CScriptedPrompter::Press(notice, ID_DONE); });
    m_Prompter.AnswerModal(PressDelete);
    // Each check after a higher reading, so the kept reminder comes again.
    for (int i = 0; i < 3; ++i) {
        m_Vehicle.SetCurrentOdometer(12345 + i);
        CheckReminders(m_Vehicle, nullptr);
    }
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_TRUE(m_Prompter.Messages().empty());
}

TEST_F(RemindersTest, APutOffReminderIsQuietUntilTheNextDayOrAHigherReading) {
    Store(u"Oil", 100, m_NowDate + 30);
    const auto later = [](QDialog& notice) { QTest::keyClick(&notice, Qt::Key_Escape); };
    m_Prompter.AnswerModal(later);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 1);
    // The same day at the same reading (another reminder made, an import): nothing.
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 1);
    // The next day.
    PinnedClock tomorrow(MakeTime(2026, 3, 11, 9));
    m_Prompter.AnswerModal(later);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 2);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 2);
    // A higher reading.
    m_Vehicle.SetCurrentOdometer(12346);
    m_Prompter.AnswerModal(later);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 3);
    // A new run of the program.
    ForgetPutOffReminders();
    m_Prompter.AnswerModal(PressDelete);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 4);
    EXPECT_TRUE(StoredNames().empty());
}

} // namespace

TEST_F(RemindersTest, TheNoticesDoneMovesTheReminderOnAndItStaysQuiet) {
    const LONG id = Store(u"Tyres", 12000, m_NowDate + 10); // due: the reading has passed
    Repeat(id, 0, 12);
    m_Prompter.AnswerModal(
        [](QDialog& notice) { ASSERT_TRUE(CScriptedPrompter::Click(notice, "noticeWorkDone")); });
    m_Prompter.AnswerModal([](QDialog& done) {
        EXPECT_EQ(done.findChild<QLineEdit*>(QStringLiteral("doneOdometer"))->text(),
                  QStringLiteral("12345"));
        CScriptedPrompter::Press(done, ID_DONE);
    });
    EXPECT_FALSE(CheckReminders(m_Vehicle, nullptr)); // no repair asked for: the log is as it was
    // Every 12 months alone: due a year from today, never by a reading.
    const auto moved = Stored(id);
    EXPECT_EQ(OleDateToLocal(moved->GetDate()).date(), QDate(2027, 3, 10));
    EXPECT_EQ(ReminderDueOdometer(*moved), std::nullopt);
    CheckReminders(m_Vehicle, nullptr);
    EXPECT_EQ(m_Prompter.Count(CScriptedPrompter::Shown::Modal), 2);
}
