// The repaired copy of a data file, on damage made the way crashes and failing disks make it.

#include "carvelle/exchange/DataFileCheckTestSupport.h"

#include "support/DamagedFiles.h"
#include "support/SqliteFile.h"

#include "datastore/CDataFileCheck.h"
#include "exchange/CRepairedCopy.h"
#include "exchange/CheckText.h"
#include "platform/TextConversion.h"

#include <QCryptographicHash>
#include <QDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TEST_F(DataFileCheckTest, ABrokenIndexIsFoundAndTheRepairedCopyHoldsEveryRow) {
    const ULONG car = AddLog(100);
    m_Layer.Disconnect();
    const std::string path = m_File.Path();
    AddRowsBehindIndex(path, "EntryVehicle",
                       "INSERT INTO Entry SELECT NULL, RefID + 1000, Name, Notes, Created, Modified, Date, "
                       "Odometer + 100, VehicleID, Type, Vendor, Amount, Custom1, Custom2 FROM Entry");
    // The file opens, yet the vehicle's log misses the rows its index does not know.
    ASSERT_EQ(EntriesOf(path, car), 100);
    const QByteArray before = Digest(path);

    CDataFileCheck check;
    ASSERT_EQ(check.Run(Utf8ToWide(path).c_str()), CDataLayer::ConnectOK);
    ASSERT_FALSE(check.IsSound());
    EXPECT_EQ(check.Findings().front().kind, CDataFileCheck::Finding::Engine);
    EXPECT_TRUE(CheckFindingLines(check).front().startsWith(QLatin1String("SQLite: ")));

    CRepairedCopy repair;
    const QString copy = Folder() + QStringLiteral("/repaired.dat");
    ASSERT_EQ(repair.Write(QString::fromStdString(path), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    EXPECT_EQ(EntriesOf(copy.toStdString(), car), 200);
    EXPECT_TRUE(Sound(copy));
    EXPECT_TRUE(repair.Summary().contains(QStringLiteral("Entry: 200 rows kept.")))
        << repair.Summary().join(u'\n').toStdString();
    EXPECT_EQ(Digest(path), before);
}

TEST_F(DataFileCheckTest, TheRepairStepsOverATablePageThatCannotBeRead) {
    const ULONG car = AddLog(400);
    m_Layer.Disconnect();
    BreakTablePage(m_File.Path(), "Entry");

    CRepairedCopy repair;
    const QString copy = Folder() + QStringLiteral("/repaired.dat");
    ASSERT_EQ(repair.Write(QString::fromStdString(m_File.Path()), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    const int kept = EntriesOf(copy.toStdString(), car);
    EXPECT_GT(kept, 300);
    EXPECT_LT(kept, 400);
    EXPECT_TRUE(Sound(copy));
    EXPECT_TRUE(repair.Summary().join(u'\n').contains(QLatin1String("damaged stretches")))
        << repair.Summary().join(u'\n').toStdString();

    // A stretch at the very start of the table is stepped over too.
    BreakTablePage(m_File.Path(), "Entry", true);
    QFile::remove(copy);
    ASSERT_EQ(repair.Write(QString::fromStdString(m_File.Path()), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    const int rest = EntriesOf(copy.toStdString(), car);
    EXPECT_GT(rest, 200);
    EXPECT_LT(rest, kept);
}

TEST_F(DataFileCheckTest, TheRepairRunsNothingButTheCreateOfAHostileTableDescription) {
    const ULONG car = AddLog(1000);
    m_Layer.Disconnect();
    // A damaged row, so that the pages are read for what can be pieced together too.
    LengthenLastValue(m_File.Path(), "Entry");
    const std::string elsewhere = Folder().toStdString() + "/elsewhere.db";
    {
        SqliteFile file(m_File.Path());
        file.Exec("CREATE TABLE Extra(a)");
        file.Exec(
            "PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql='CREATE TABLE Extra(a); ATTACH ''" +
            elsewhere + "'' AS x; CREATE TABLE x.Planted(b)' WHERE name='Extra'");
    }

    CRepairedCopy repair;
    const QString copy = Folder() + QStringLiteral("/repaired.dat");
    ASSERT_EQ(repair.Write(QString::fromStdString(m_File.Path()), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(elsewhere)));
    EXPECT_GE(EntriesOf(copy.toStdString(), car), 999);
    EXPECT_TRUE(repair.Summary().contains(
        QStringLiteral("Entry: 1000 rows kept, 1 of them pieced together from damaged records (check their "
                       "values).")))
        << repair.Summary().join(u'\n').toStdString();
    EXPECT_TRUE(repair.Summary().join(u'\n').contains(QLatin1String("Extra")))
        << repair.Summary().join(u'\n').toStdString();
}

TEST_F(DataFileCheckTest, ARowIDWithOneBitFlippedLosesNoRowOfTheRepairedCopy) {
    const ULONG car = AddLog(1000);
    m_Layer.Disconnect();
    // One row far out of order, another with its neighbour's ID.
    FlipRowIDBit(m_File.Path(), "Entry");
    FlipRowIDBit(m_File.Path(), "Entry", true);

    CRepairedCopy repair;
    const QString copy = Folder() + QStringLiteral("/repaired.dat");
    ASSERT_EQ(repair.Write(QString::fromStdString(m_File.Path()), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    EXPECT_EQ(EntriesOf(copy.toStdString(), car), 1000);
    EXPECT_TRUE(repair.Summary().contains(QStringLiteral("Entry: 1000 rows kept.")))
        << repair.Summary().join(u'\n').toStdString();
    EXPECT_TRUE(Sound(copy));
}

TEST_F(DataFileCheckTest, ARowWhoseValuesCannotBeReadIsPiecedTogetherFromItsPage) {
    AddLog(1000);
    m_Layer.Disconnect();
    LengthenLastValue(m_File.Path(), "Entry");

    CRepairedCopy repair;
    const QString copy = Folder() + QStringLiteral("/repaired.dat");
    ASSERT_EQ(repair.Write(QString::fromStdString(m_File.Path()), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    EXPECT_EQ(SqliteFile(copy.toStdString()).Integer("SELECT count(*) FROM Entry"), 1000);
    EXPECT_TRUE(repair.Summary().contains(
        QStringLiteral("Entry: 1000 rows kept, 1 of them pieced together from damaged records (check their "
                       "values).")))
        << repair.Summary().join(u'\n').toStdString();
    EXPECT_TRUE(Sound(copy));
}

TEST_F(DataFileCheckTest, ARowThatOnlyTheIndexesStillNameIsCountedAsLeftOut) {
    AddLog(1000);
    m_Layer.Disconnect();
    DropLastCell(m_File.Path(), "Entry");

    CRepairedCopy repair;
    const QString copy = Folder() + QStringLiteral("/repaired.dat");
    ASSERT_EQ(repair.Write(QString::fromStdString(m_File.Path()), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    EXPECT_TRUE(repair.Summary().contains(
        QStringLiteral("Entry: 999 rows kept, 1 rows that could not be read left out.")))
        << repair.Summary().join(u'\n').toStdString();
    EXPECT_TRUE(Sound(copy));
}

TEST_F(DataFileCheckTest, ARowWithANullWhereTheTableForbidsOneIsKeptWithAnEmptyValue) {
    const ULONG car = AddLog(10);
    m_Layer.Disconnect();
    {
        // The damage of a NULL where the column is NOT NULL: the rule taken away, NULLs written,
        // the rule put back.
        SqliteFile file(m_File.Path());
        file.Exec("PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql=replace(sql, 'RefID INTEGER NOT "
                  "NULL', 'RefID INTEGER') WHERE name='Entry'");
    }
    {
        SqliteFile file(m_File.Path());
        file.Exec("UPDATE Entry SET RefID=NULL WHERE rowid IN (SELECT rowid FROM Entry LIMIT 2)");
        file.Exec("PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql=replace(sql, 'RefID INTEGER,', "
                  "'RefID INTEGER NOT NULL,') WHERE name='Entry'");
    }

    CRepairedCopy repair;
    const QString copy = Folder() + QStringLiteral("/repaired.dat");
    ASSERT_EQ(repair.Write(QString::fromStdString(m_File.Path()), copy), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    EXPECT_EQ(EntriesOf(copy.toStdString(), car), 10);
    EXPECT_TRUE(repair.Summary().contains(
        QStringLiteral("Entry: 10 rows kept, 2 of them with 0 or an empty text where the damage had left a "
                       "value out.")))
        << repair.Summary().join(u'\n').toStdString();
    EXPECT_TRUE(Sound(copy));
}
