#include "core/ReminderSchedule.h"

#include "core/LocalDates.h"
#include "records/CNotification.h"

#include <gtest/gtest.h>

TEST(ReminderScheduleTest, DoneMovesARepeatingReminderOnWhicheverComesFirst) {
    CNotification reminder;
    // Every 5000 or 6 months: both move on from the day and reading of the work.
    ASSERT_TRUE(MoveReminderOn(reminder, {5000, 6}, QDate(2026, 3, 10), 41250));
    EXPECT_EQ(std::optional<LONG>(46250), ReminderDueOdometer(reminder));
    EXPECT_EQ(std::optional<QDate>(QDate(2026, 9, 10)), ReminderDueDay(reminder));

    // A month on from the end of January is the end of February, in leap years too.
    ASSERT_TRUE(MoveReminderOn(reminder, {0, 1}, QDate(2027, 1, 31), 50000));
    EXPECT_EQ(std::optional<QDate>(QDate(2027, 2, 28)), ReminderDueDay(reminder));
    ASSERT_TRUE(MoveReminderOn(reminder, {0, 1}, QDate(2028, 1, 31), 50000));
    EXPECT_EQ(std::optional<QDate>(QDate(2028, 2, 29)), ReminderDueDay(reminder));
    // Months only: the reading never makes it due, and it is not due today.
    EXPECT_EQ(std::nullopt, ReminderDueOdometer(reminder));
    EXPECT_EQ(kNeverDueOdometer, reminder.GetOdometer());

    // Distance only: the date never makes it due.
    ASSERT_TRUE(MoveReminderOn(reminder, {7500, 0}, QDate(2028, 3, 1), 52000));
    EXPECT_EQ(std::optional<LONG>(59500), ReminderDueOdometer(reminder));
    EXPECT_EQ(std::nullopt, ReminderDueDay(reminder));
    EXPECT_GT(reminder.GetDate(), NowAsOleDate());

    // No interval: nothing to move on to.
    const double date = reminder.GetDate();
    EXPECT_FALSE(MoveReminderOn(reminder, {0, 0}, QDate(2028, 4, 1), 53000));
    EXPECT_EQ(date, reminder.GetDate());
}

TEST(ReminderScheduleTest, TheDueDayIsPredictedFromTheLastNinetyDaysOfDriving) {
    // 50 a day for the first 200 days, then 20 a day over the last 100: only the recent pace
    // counts. A reading of 0 (a repair logged without one) is no reading.
    std::vector<OdometerReading> readings;
    const QDate first(2026, 1, 1);
    for (int day = 0; day <= 200; day += 10)
        readings.emplace_back(first.addDays(day), 10000 + 50 * day);
    for (int day = 210; day <= 300; day += 10)
        readings.emplace_back(first.addDays(day), 20000 + 20 * (day - 200));
    readings.emplace_back(first.addDays(295), 0);
    const QDate last = first.addDays(300);
    ASSERT_TRUE(DistancePerDay(readings).has_value());
    EXPECT_NEAR(20.0, *DistancePerDay(readings), 0.01);
    // 22000 reached at the last reading; 1000 more at 20 a day is 50 days later.
    EXPECT_EQ(std::optional<QDate>(last.addDays(50)), PredictDueDay(readings, 23000));
    // A reading already reached has no prediction: it is due.
    EXPECT_EQ(std::nullopt, PredictDueDay(readings, 21000));

    // Ten days of history are too few to tell a pace.
    const std::vector<OdometerReading> young{
        {first, 1000}, {first.addDays(5), 1200}, {first.addDays(10), 1500}};
    EXPECT_EQ(std::nullopt, DistancePerDay(young));
    EXPECT_EQ(std::nullopt, PredictDueDay(young, 3000));
}
