// The full check of a data file and its repaired copy, on damage made the way crashes and failing
// disks make it.

#include "carvelle/exchange/ExchangeTestSupport.h"

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

namespace {

QByteArray Digest(const std::string& path) {
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class DataFileCheckTest : public ExchangeTest {
protected:
    // A vehicle with entries 1..count, each at its own odometer reading.
    ULONG AddLog(int count) {
        const ULONG car = AddVehicle(u"Car");
        EXPECT_TRUE(m_Layer.BeginTransaction());
        for (int i = 1; i <= count; ++i) {
            CEntry entry;
            entry.SetRefID(++m_LastRefID);
            entry.SetVehicleID(car);
            entry.SetType(CEntry::EntryFuel);
            entry.SetOdometer(i);
            entry.SetDate(45000.0 + i);
            entry.SetNotes(u"A note long enough to fill a few pages of the table with these rows.");
            EXPECT_EQ(m_Layer.Save(&entry, 0), 1);
        }
        EXPECT_EQ(m_Layer.Commit(), CDataLayer::CommitOK);
        return car;
    }

    static int EntriesOf(const std::string& path, ULONG vehicle) {
        CDataLayer layer;
        EXPECT_EQ(layer.Connect(Utf8ToWide(path).c_str()), CDataLayer::ConnectOK) << path;
        CEntryFilter filter;
        filter.SetVehicleID(vehicle);
        CObjectListT<CEntry> entries;
        EXPECT_TRUE(layer.Load(entries, filter));
        return entries.GetCount();
    }

    static bool Sound(const QString& path) {
        CDataFileCheck check;
        return check.Run(path.toStdU16String().c_str()) == CDataLayer::ConnectOK && check.IsSound();
    }
};

} // namespace

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
}

TEST_F(DataFileCheckTest, TheRepairRunsNothingButTheCreateOfAHostileTableDescription) {
    const ULONG car = AddLog(3);
    m_Layer.Disconnect();
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
    EXPECT_EQ(EntriesOf(copy.toStdString(), car), 3);
    EXPECT_TRUE(repair.Summary().join(u'\n').contains(QLatin1String("Extra")))
        << repair.Summary().join(u'\n').toStdString();
}

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

TEST_F(DataFileCheckTest, TheCopiesOfKilledChecksAreRemovedButNoOtherFolder) {
    AddLog(3);
    m_Layer.Disconnect();
    const std::string path = m_File.Path();
    LeaveHotJournal(path);
    const QString temporary = Folder() + QStringLiteral("/tmp");
    ASSERT_TRUE(QDir().mkpath(temporary));
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary));

    // A killed run's copy with its marker, a live run's (its marker held), and a folder of the
    // same shape without a marker, which is not ours.
    auto leave = [&](const QString& name, bool marker) {
        const QString folder = temporary + u'/' + name;
        EXPECT_TRUE(QDir().mkpath(folder));
        QFile data(folder + QStringLiteral("/data"));
        EXPECT_TRUE(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(4096, 'x'));
        if (marker)
            QFile(folder + QStringLiteral("/.carvelle-check")).open(QIODevice::WriteOnly);
        return folder;
    };
    const QString killed = leave(QStringLiteral("carvelle-check-Ab12Cd"), true);
    const QString live = leave(QStringLiteral("carvelle-check-Ef34Gh"), true);
    const QString foreign = leave(QStringLiteral("carvelle-check-Ij56Kl"), false);
    const int held =
        ::open(QFile::encodeName(live + QStringLiteral("/.carvelle-check")).constData(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    CDataFileCheck check;
    ASSERT_EQ(check.Run(Utf8ToWide(path).c_str()), CDataLayer::ConnectOK);
    EXPECT_TRUE(check.SawUndoneWrite());
    ::close(held);
    qputenv("TMPDIR", previous);
    if (previous.isNull())
        qunsetenv("TMPDIR");
    // The check's own copy went with it.
    EXPECT_EQ(
        QDir(temporary).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList({QStringLiteral("carvelle-check-Ef34Gh"), QStringLiteral("carvelle-check-Ij56Kl")}));
    EXPECT_FALSE(QFileInfo::exists(killed));
    EXPECT_TRUE(QFileInfo::exists(live + QStringLiteral("/data")));
    EXPECT_TRUE(QFileInfo::exists(foreign + QStringLiteral("/data")));
}
