// Repeat intervals beside the Notification table: stored and validated, removed with their
// reminder and with the vehicle, a hand-made table of that name read as none, and the check
// telling of both.

#include "dorvane/datastore/CDataFileCheck.h"
#include "dorvane/datastore/CDataLayer.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ReminderIntervalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
        m_Vehicle.SetName(u"Golf");
        ASSERT_EQ(1, m_Layer.Save(&m_Vehicle, 0));
    }

    std::unique_ptr<CNotification> Reminder(const char16_t* name) {
        auto reminder = std::make_unique<CNotification>();
        reminder->SetVehicleID(m_Vehicle.GetRefID());
        reminder->SetName(name);
        reminder->SetOdometer(5000);
        EXPECT_EQ(1, m_Layer.Save(reminder.get(), 0));
        return reminder;
    }

    CDataLayer::ReminderInterval Read(const CNotification& reminder) {
        CDataLayer::ReminderInterval interval{99, 99};
        EXPECT_EQ(1, m_Layer.GetReminderInterval(&reminder, &interval));
        return interval;
    }

    TempDataFile m_File;
    CDataLayer m_Layer;
    CVehicle m_Vehicle;
};

} // namespace

TEST_F(ReminderIntervalsTest, StoredValidatedAndRemovedWithTheReminderAndTheVehicle) {
    auto oil = Reminder(u"Oil change");
    auto tyres = Reminder(u"Tyres");
    // A file of the earlier version has no table: every reminder is a one-time one.
    EXPECT_EQ(0, Read(*oil).EveryDistance);
    ASSERT_EQ(1, m_Layer.SetReminderInterval(oil.get(), {5000, 6}));
    ASSERT_EQ(1, m_Layer.SetReminderInterval(tyres.get(), {0, 12}));
    EXPECT_EQ(5000, Read(*oil).EveryDistance);
    EXPECT_EQ(6, Read(*oil).EveryMonths);

    // Negative or absurd intervals are refused and change nothing; the limits themselves are kept.
    for (const CDataLayer::ReminderInterval bad :
         {CDataLayer::ReminderInterval{-1, 0}, {0, -3}, {1000001, 0}, {0, 601}})
        EXPECT_EQ(0, m_Layer.SetReminderInterval(oil.get(), bad));
    EXPECT_EQ(5000, Read(*oil).EveryDistance);
    ASSERT_EQ(1, m_Layer.SetReminderInterval(tyres.get(), {1000000, 600}));
    std::vector<std::pair<ULONG, CDataLayer::ReminderInterval>> all;
    ASSERT_EQ(1, m_Layer.LoadReminderIntervals(all));
    EXPECT_EQ(2u, all.size());

    SqliteFile file(m_File.Path());
    ASSERT_EQ(1, m_Layer.Delete(oil.get()));
    EXPECT_EQ(1, file.Integer("SELECT COUNT(*) FROM ReminderInterval"));
    ASSERT_EQ(1, m_Layer.Delete(&m_Vehicle));
    EXPECT_EQ(0, file.Integer("SELECT COUNT(*) FROM ReminderInterval"));
    // The reminder table is as the earlier version reads it, by position.
    EXPECT_EQ(8, file.Integer("SELECT COUNT(*) FROM pragma_table_info('Notification')"));
}

TEST_F(ReminderIntervalsTest, AHandMadeTableOfThatNameIsReadAsNone) {
    auto oil = Reminder(u"Oil change");
    {
        SqliteFile file(m_File.Path());
        file.Exec("CREATE TABLE ReminderInterval (Something TEXT)");
    }
    m_Layer.Disconnect();
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    EXPECT_EQ(0, Read(*oil).EveryMonths);
    EXPECT_EQ(0, m_Layer.SetReminderInterval(oil.get(), {0, 6}));
    EXPECT_EQ(1, m_Layer.Delete(oil.get()));

    CDataFileCheck check;
    ASSERT_EQ(CDataLayer::ConnectOK, check.Run(m_File.WidePath().c_str()));
    ASSERT_EQ(1u, check.Findings().size());
    EXPECT_EQ(CDataFileCheck::Finding::IntervalTable, check.Findings()[0].kind);
    EXPECT_FALSE(check.NeedsRepair());

    // An interval whose reminder is gone.
    {
        SqliteFile file(m_File.Path());
        file.Exec("DROP TABLE ReminderInterval");
    }
    m_Layer.Disconnect();
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    auto tyres = Reminder(u"Tyres");
    ASSERT_EQ(1, m_Layer.SetReminderInterval(tyres.get(), {0, 12}));
    {
        SqliteFile file(m_File.Path());
        file.Exec("INSERT INTO ReminderInterval VALUES (12345, 0, 6)");
    }
    ASSERT_EQ(CDataLayer::ConnectOK, check.Run(m_File.WidePath().c_str()));
    ASSERT_EQ(1u, check.Findings().size());
    EXPECT_EQ(CDataFileCheck::Finding::IntervalWithoutReminder, check.Findings()[0].kind);
    EXPECT_EQ(12345, check.Findings()[0].rowID);
}
