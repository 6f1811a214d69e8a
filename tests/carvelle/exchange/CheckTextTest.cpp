// The findings of the full check as the user reads them.

#include "carvelle/exchange/DataFileCheckTestSupport.h"
#include "support/DamagedFiles.h"
#include "support/SqliteFile.h"

#include "datastore/CDataFileCheck.h"
#include "exchange/CheckText.h"
#include "platform/TextConversion.h"

TEST_F(DataFileCheckTest, TheDataFileRulesAreCheckedWithoutWritingAndAfterAKilledWrite) {
    const ULONG car = AddLog(3);
    m_Layer.Disconnect();
    const std::string path = m_File.Path();
    {
        SqliteFile file(path);
        // Dates SQLite accepts but no calendar has, a log and a reminder of a vehicle that is gone,
        // and a current odometer below the highest reading.
        file.Exec(
            "UPDATE Entry SET Date=3e6 WHERE Odometer=1; UPDATE Entry SET Date=-1e300 WHERE Odometer=2");
        file.Exec("INSERT INTO Entry SELECT NULL, 77, '', '', 0, 0, 45000, 9, 424242, 1, '', 0, 0, 0");
        file.Exec("INSERT INTO Notification VALUES(NULL, 78, 'Oil', 0, 0, 45000, 100, 424242)");
        file.Exec("UPDATE Vehicle SET CurrentOdometer=2 WHERE RefID=" + std::to_string(car));
    }
    LeaveHotJournal(path);
    const QByteArray before = Digest(path);

    CDataFileCheck check;
    ASSERT_EQ(check.Run(Utf8ToWide(path).c_str()), CDataLayer::ConnectOK);
    EXPECT_TRUE(check.SawUndoneWrite());
    EXPECT_EQ(
        CheckFindingLines(check),
        QStringList({QStringLiteral("Entry: 2 rows have a Date that is not a date from the year 100 to 9999 "
                                    "(the first: ID 1)."),
                     QStringLiteral("1 entries belong to no vehicle of the data file (the first: ID 4)."),
                     QStringLiteral("1 reminders belong to no vehicle of the data file (the first: ID 1)."),
                     QStringLiteral("Vehicle \"Car\" (ID 1): its current odometer 2 is below its highest "
                                    "reading 3.")}));
    // Neither the file nor the journal that undoes the killed write was touched.
    EXPECT_EQ(Digest(path), before);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path + "-journal")));
}
