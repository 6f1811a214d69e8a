// A save while another program holds the data file: it waits, says whom for, and gives up only
// after the wait.

#include "core/CRecordServices.h"
#include "datastore/CDataLayer.h"
#include "records/CVehicle.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <gtest/gtest.h>

#include <vector>

using Wait = CRecordServices::Wait;

TEST(RecordServicesWaitTest, ASaveWaitsForAnotherProgramAndSaysWhomItWaitsFor) {
    TempDataFile file;
    CDataLayer layer;
    ASSERT_EQ(layer.Connect(file.WidePath().c_str()), CDataLayer::ConnectOK);
    layer.SetBusyTimeout(10000);
    CRecordServices records(layer);
    SqliteFile other(file.Path());
    std::vector<Wait> told;
    records.SetWaitNotice([&](Wait wait) {
        told.push_back(wait);
        if (wait != Wait::None)
            other.Exec("COMMIT"); // the other program finishes while this one waits
    });

    // Another program writes.
    other.Exec("BEGIN IMMEDIATE; INSERT INTO Keyword VALUES(NULL, 1, 'x', 1, 0, 0)");
    CVehicle car;
    car.SetRefID(11);
    EXPECT_TRUE(records.Save(car));
    EXPECT_EQ(told, std::vector<Wait>({Wait::Writer, Wait::None}));

    // Another program reads while this one would commit.
    told.clear();
    other.Exec("BEGIN; SELECT count(*) FROM Vehicle");
    CVehicle van;
    van.SetRefID(12);
    EXPECT_TRUE(records.Save(van));
    EXPECT_EQ(told, std::vector<Wait>({Wait::Readers, Wait::None}));

    // A writer that does not finish: the save gives up after the wait.
    told.clear();
    records.SetWaitNotice([&](Wait wait) { told.push_back(wait); });
    layer.SetBusyTimeout(CDataLayer::BusyNoticeMs + 200);
    other.Exec("BEGIN IMMEDIATE");
    CVehicle bus;
    bus.SetRefID(13);
    EXPECT_FALSE(records.Save(bus));
    EXPECT_EQ(told, std::vector<Wait>({Wait::Writer, Wait::None}));
    other.Exec("ROLLBACK");
}
