#include "carvelle/support/LocalDayFixtures.h"
#include "carvelle/support/ViewsTestSupport.h"

#include "views/CDlgDateRange.h"

#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "widgets/CDatePicker.h"

#include <QPushButton>
#include <QTest>

namespace {

std::string Text(const SYSTEMTIME& st) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
        .arg(st.wYear)
        .arg(st.wMonth)
        .arg(st.wDay)
        .arg(st.wHour)
        .arg(st.wMinute)
        .arg(st.wSecond)
        .arg(st.wMilliseconds)
        .toStdString();
}

class DlgDateRangeTest : public ::testing::Test {
protected:
    // Presses one shortcut on a day pinned at noon in the zone, and reads both pickers.
    std::pair<QDate, QDate> Shortcut(const QDate& today, const char* button, const char* zone = kGreenwich,
                                     int utcHour = 12) {
        const ScopedTimeZone tz(zone);
        const PinnedClock clock(MakeTime(today.year(), today.month(), today.day(), utcHour));
        SYSTEMTIME start{};
        SYSTEMTIME end{};
        CDlgDateRange dialog(&start, &end);
        auto* shortcut = dialog.findChild<QPushButton*>(QLatin1String(button));
        EXPECT_NE(shortcut, nullptr) << button;
        if (shortcut)
            shortcut->click();
        return {dialog.StartDay(), dialog.EndDay()};
    }

    CTestEnvironment m_Environment;
    CScriptedPrompter m_Prompter;
};

using Days = std::pair<QDate, QDate>;

} // namespace

TEST_F(DlgDateRangeTest, ShortcutsCountFromTheLocalDayAcrossMonthYearAndLeapBoundaries) {
    // Previous month in a leap year, and across the turn of the year.
    EXPECT_EQ(Shortcut(QDate(2024, 3, 15), "previousMonth"), Days(QDate(2024, 2, 1), QDate(2024, 2, 29)));
    EXPECT_EQ(Shortcut(QDate(2024, 1, 1), "previousMonth"), Days(QDate(2023, 12, 1), QDate(2023, 12, 31)));
    // 29 February.
    EXPECT_EQ(Shortcut(QDate(2024, 2, 29), "last12Months"), Days(QDate(2023, 3, 1), QDate(2024, 2, 29)));
    EXPECT_EQ(Shortcut(QDate(2024, 2, 29), "previousYear"), Days(QDate(2023, 1, 1), QDate(2023, 12, 31)));
    // 31 December.
    EXPECT_EQ(Shortcut(QDate(2024, 12, 31), "last30Days"), Days(QDate(2024, 12, 1), QDate(2024, 12, 31)));
    EXPECT_EQ(Shortcut(QDate(2024, 12, 31), "previousYear"), Days(QDate(2023, 1, 1), QDate(2023, 12, 31)));
    // At 02:00 UTC on 1 March it is still 29 February in New York: the previous month is January.
    EXPECT_EQ(Shortcut(QDate(2024, 3, 1), "previousMonth", kNewYork, 2),
              Days(QDate(2024, 1, 1), QDate(2024, 1, 31)));
}

TEST_F(DlgDateRangeTest, DoneHandsBackTheUtcBoundsOfTheLocalDays) {
    const ScopedTimeZone tz(kNewYork);
    const ScopedLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const PinnedClock clock(MakeTime(2024, 6, 20, 15));

    // The filter's range: 1 February 00:00 to 9 February 23:59:59 in New York, kept in UTC.
    SYSTEMTIME start = MakeTime(2024, 2, 1, 5);
    SYSTEMTIME end = MakeTime(2024, 2, 10, 4, 59, 59);
    m_Prompter.AnswerModal([](QDialog& dialog) {
        auto& range = static_cast<CDlgDateRange&>(dialog);
        EXPECT_EQ(range.StartDay(), QDate(2024, 2, 1));
        EXPECT_EQ(range.EndDay(), QDate(2024, 2, 9));
        // The end moves into summer time: its last second is four hours before UTC midnight.
        auto* endPicker = dialog.findChild<CDatePicker*>(QStringLiteral("endDate"));
        endPicker->selectAll();
        QTest::keyClicks(endPicker, QStringLiteral("4/2/24"));
        QTest::keyClick(endPicker, Qt::Key_Return);
    });
    CDlgDateRange dialog(&start, &end);
    EXPECT_EQ(m_Prompter.RunModal(dialog), 1);
    EXPECT_EQ(Text(start), Text(MakeTime(2024, 2, 1, 5)));
    EXPECT_EQ(Text(end), Text(MakeTime(2024, 4, 3, 3, 59, 59)));

    // No range yet: both pickers open on today's local day; the same day twice is accepted.
    SYSTEMTIME none1{};
    SYSTEMTIME none2{};
    m_Prompter.AnswerModal([](QDialog& shown) {
        auto& range = static_cast<CDlgDateRange&>(shown);
        EXPECT_EQ(range.StartDay(), QDate(2024, 6, 20));
        EXPECT_EQ(range.EndDay(), QDate(2024, 6, 20));
        CScriptedPrompter::Press(shown, ID_DONE);
    });
    CDlgDateRange fresh(&none1, &none2);
    EXPECT_EQ(m_Prompter.RunModal(fresh), 1);
    EXPECT_EQ(Text(none1), Text(MakeTime(2024, 6, 20, 4)));
    EXPECT_EQ(Text(none2), Text(MakeTime(2024, 6, 21, 3, 59, 59)));
}

TEST_F(DlgDateRangeTest, AnEndBeforeTheStartIsRefusedAndCancelLeavesTheValuesAlone) {
    const ScopedTimeZone tz(kGreenwich);
    const PinnedClock clock(MakeTime(2024, 3, 15, 12));
    const SYSTEMTIME originalStart = MakeTime(2024, 1, 5);
    const SYSTEMTIME originalEnd = MakeTime(2024, 1, 9, 23, 59, 59);
    SYSTEMTIME start = originalStart;
    SYSTEMTIME end = originalEnd;
    m_Prompter.AnswerModal([this](QDialog& dialog) {
        dialog.findChild<CDatePicker*>(QStringLiteral("startDate"))->SetDay(QDate(2024, 1, 10));
        CScriptedPrompter::Press(dialog, ID_DONE);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(m_Prompter.Messages().size(), 1u);
        const auto message = m_Prompter.Messages().front();
        EXPECT_EQ(message.text, QStringLiteral("End date must be greater than start date."));
        EXPECT_TRUE(message.caption.isEmpty());
        EXPECT_EQ(message.icon, CPrompter::IconInformation);
        // A shortcut, then Escape: nothing reaches the caller.
        CScriptedPrompter::Click(dialog, "previousYear");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    CDlgDateRange dialog(&start, &end);
    EXPECT_EQ(m_Prompter.RunModal(dialog), 2);
    EXPECT_EQ(Text(start), Text(originalStart));
    EXPECT_EQ(Text(end), Text(originalEnd));

    m_Prompter.AnswerModal([](QDialog& shown) {
        CScriptedPrompter::Click(shown, "previousMonth");
        CScriptedPrompter::Press(shown, ID_CANCEL);
    });
    CDlgDateRange again(&start, &end);
    EXPECT_EQ(m_Prompter.RunModal(again), 2);
    EXPECT_EQ(Text(start), Text(originalStart));
    EXPECT_EQ(Text(end), Text(originalEnd));
}
