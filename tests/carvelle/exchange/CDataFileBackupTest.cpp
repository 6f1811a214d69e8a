#include "carvelle/exchange/ExchangeTestSupport.h"

#include "support/DamagedFiles.h"
#include "support/SqliteFile.h"

#include "exchange/CDataFileBackup.h"
#include "exchange/CRepairedCopy.h"
#include "platform/FileSystem.h"

#include <QDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Today() {
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

int KeywordCount(const QString& path) {
    return static_cast<int>(SqliteFile(path.toStdString()).Integer("SELECT count(*) FROM Keyword"));
}

} // namespace

TEST_F(ExchangeTest, ABackupTakenWhileTheFileIsOpenIsVerifiedAndHoldsTheCommittedEntries) {
    const ULONG car = AddVehicle(u"Car");
    CEntry stored;
    stored.SetVehicleID(car);
    stored.SetType(CEntry::EntryRepair);
    stored.SetRefID(++m_LastRefID);
    ASSERT_EQ(m_Layer.Save(&stored, 0), 1);

    // The program is half-way through a save of its own: the copy holds what was committed.
    ASSERT_TRUE(m_Layer.BeginTransaction());
    CEntry pending;
    pending.SetVehicleID(car);
    pending.SetType(CEntry::EntryFuel);
    pending.SetRefID(++m_LastRefID);
    ASSERT_EQ(m_Layer.Save(&pending, 0), 1);

    const QString source = QString::fromStdString(m_File.Path());
    const QString target = Folder() + QStringLiteral("/My Vehicles 2024-03-05.dat");
    CDataFileBackup backup;
    ASSERT_EQ(backup.Backup(source, target), CDataFileBackup::ResultOK) << backup.Problem().toStdString();
    EXPECT_EQ(backup.Destination(), target);
    m_Layer.RollBack();

    CDataLayer copy;
    ASSERT_EQ(copy.Connect(target.toStdU16String().c_str()), CDataLayer::ConnectOK);
    CObjectListT<CEntry> entries;
    CEntryFilter all;
    ASSERT_TRUE(copy.Load(entries, all));
    ASSERT_EQ(entries.GetCount(), 1);
    EXPECT_EQ(entries.Get(0)->GetRefID(), stored.GetRefID());
    // Nothing half-written is left beside it.
    EXPECT_EQ(FilesIn(Folder()),
              QStringList({QStringLiteral("My Vehicles 2024-03-05.dat"), QStringLiteral("Test.dat")}));
    // The file itself is never the destination, not even when replacing is asked for.
    backup.replace = true;
    EXPECT_EQ(backup.Backup(source, source), CDataFileBackup::ResultSameFile);
}

TEST_F(ExchangeTest, BackupsOfTwoFilesIntoOneFolderAreNamedAfterEachFileAndDay) {
    m_Layer.Disconnect();
    const QString car = Folder() + QStringLiteral("/Car.dat");
    const QString bike = Folder() + QStringLiteral("/Bike.dat");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(m_File.Path()), car));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(m_File.Path()), bike));
    SqliteFile(bike.toStdString()).Exec("DELETE FROM Keyword");
    const QString folder = Folder() + QStringLiteral("/bk");
    ASSERT_TRUE(QDir().mkpath(folder));

    CDataFileBackup backup;
    for (const QString& source : {car, bike, car}) {
        ASSERT_EQ(backup.Backup(source, folder + u'/'), CDataFileBackup::ResultOK)
            << backup.Problem().toStdString();
    }
    // A second copy on one day takes the next number; nothing is overwritten.
    EXPECT_EQ(FilesIn(folder), QStringList({QStringLiteral("Bike %1.dat").arg(Today()),
                                            QStringLiteral("Car %1-2.dat").arg(Today()),
                                            QStringLiteral("Car %1.dat").arg(Today())}));
    EXPECT_EQ(KeywordCount(folder + QStringLiteral("/Bike %1.dat").arg(Today())), 0);
    EXPECT_GT(KeywordCount(folder + QStringLiteral("/Car %1.dat").arg(Today())), 0);
    // The program suggests the name the next copy would get.
    EXPECT_EQ(CDataFileBackup::SuggestedPath(folder + QStringLiteral("/Car.dat"), QDate::currentDate()),
              folder + QStringLiteral("/Car %1-3.dat").arg(Today()));
}

TEST_F(ExchangeTest, AnExistingBackupFileIsReplacedOnlyWhenAskedTo) {
    const QString source = QString::fromStdString(m_File.Path());
    const QString target = WriteSample(QStringLiteral("keep.dat"), "someone else's file\n");
    CDataFileBackup backup;
    EXPECT_EQ(backup.Backup(source, target), CDataFileBackup::ResultExists);
    EXPECT_TRUE(backup.Problem().contains(QLatin1String("--force"))) << backup.Problem().toStdString();
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("someone else's file\n"));
    kept.close();

    backup.replace = true;
    ASSERT_EQ(backup.Backup(source, target), CDataFileBackup::ResultOK) << backup.Problem().toStdString();
    EXPECT_EQ(KeywordCount(target), KeywordCount(source));
}

TEST_F(ExchangeTest, ABackupAfterAKilledWriteHoldsTheFileAsItWasBeforeThatWrite) {
    m_Layer.Disconnect();
    const std::string path = m_File.Path();
    const int before = KeywordCount(QString::fromStdString(path));
    LeaveHotJournal(path);

    CDataFileBackup backup;
    const QString target = Folder() + QStringLiteral("/copy.dat");
    ASSERT_EQ(backup.Backup(QString::fromStdString(path), target), CDataFileBackup::ResultOK)
        << backup.Problem().toStdString();
    EXPECT_EQ(KeywordCount(target), before);
}

TEST_F(ExchangeTest, ABackupOfAFileWithAWriteAheadLogHoldsWhatOnlyTheLogHolds) {
    m_Layer.Disconnect();
    const std::string path = m_File.Path();
    const int before = KeywordCount(QString::fromStdString(path));
    // Another program's connection keeps its last write in the log, not yet in the file's bytes.
    SqliteFile writer(path);
    writer.Exec("PRAGMA journal_mode=WAL");
    writer.Exec("PRAGMA wal_autocheckpoint=0");
    writer.Exec("INSERT INTO Keyword(RefID, Name, Type) VALUES(999, 'In the log', 0)");

    CDataFileBackup backup;
    const QString target = Folder() + QStringLiteral("/copy.dat");
    ASSERT_EQ(backup.Backup(QString::fromStdString(path), target), CDataFileBackup::ResultOK)
        << backup.Problem().toStdString();
    EXPECT_EQ(KeywordCount(target), before + 1);
}

TEST_F(ExchangeTest, WhatKilledBackupsLeftIsClearedButNotWhatALiveOneWrites) {
    const QString source = QString::fromStdString(m_File.Path());
    const QString folder = Folder() + QStringLiteral("/bk");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray copy("SQLite format 3", 16);
    auto leave = [&](const QString& name, const QByteArray& start) {
        QFile file(folder + u'/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(start + QByteArray(8192, 'x'));
        return file.fileName();
    };
    // Copies half-written under today's name, yesterday's and an earlier version's fixed name, a
    // journal beside one, and a temporary of an earlier version; the user's own files stay, a
    // hidden one of the same shape and one at a partial name that is no data file too.
    leave(QStringLiteral("Test %1.dat.Ab12Cd.partial").arg(Today()), copy);
    leave(QStringLiteral("Test 2024-01-02-3.dat.partial"), copy);
    leave(QStringLiteral("Test 2024-01-02-3.dat.partial-journal"), QByteArray());
    leave(QStringLiteral(".Test 2024-01-01.dat.Ab12Cd"), copy);
    leave(QStringLiteral(".Test 2024-01-01.dat.backup"), QByteArray());
    leave(QStringLiteral("Test 2024-01-03.dat.partial"), QByteArray("my notes"));
    leave(QStringLiteral("notes.partial"), copy);
    leave(QStringLiteral("Other 2024-01-02.dat.partial"), copy);

    CDataFileBackup backup;
    ASSERT_EQ(backup.Backup(source, folder), CDataFileBackup::ResultOK) << backup.Problem().toStdString();
    EXPECT_EQ(FilesIn(folder),
              QStringList({QStringLiteral(".Test 2024-01-01.dat.backup"),
                           QStringLiteral("Other 2024-01-02.dat.partial"),
                           QStringLiteral("Test 2024-01-03.dat.partial"),
                           QStringLiteral("Test %1.dat").arg(Today()), QStringLiteral("notes.partial")}));

    // A run still writing holds its partial file: it is left to it.
    const QString live = leave(QStringLiteral("Test %1-2.dat.Ef34Gh.partial").arg(Today()), copy);
    const int fd = ::open(QFile::encodeName(live).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    ASSERT_EQ(backup.Backup(source, folder), CDataFileBackup::ResultOK) << backup.Problem().toStdString();
    EXPECT_EQ(backup.Destination(), folder + QStringLiteral("/Test %1-2.dat").arg(Today()));
    EXPECT_TRUE(QFile::exists(live));
    ::close(fd);
}

TEST_F(ExchangeTest, ABackupOrRepairNeverWritesIntoTheDataFileUnderAnotherName) {
    m_Layer.Disconnect();
    const QString folder = Folder();
    const QByteArray original = ReadAll(QString::fromStdString(m_File.Path()));
    // What a killed backup left, salvaged as the data file itself.
    const QString salvaged = folder + QStringLiteral("/Car.dat.partial");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(m_File.Path()), salvaged));
    CDataFileBackup backup;
    ASSERT_EQ(backup.Backup(salvaged, folder + QStringLiteral("/Car.dat")), CDataFileBackup::ResultOK)
        << backup.Problem().toStdString();
    EXPECT_EQ(ReadAll(salvaged), original);
    CRepairedCopy repair;
    ASSERT_EQ(repair.Write(salvaged, folder + QStringLiteral("/Car repaired.dat")), CRepairedCopy::ResultOK)
        << repair.Problem().toStdString();
    EXPECT_EQ(ReadAll(salvaged), original);

    // A hard link to the data file as the destination is refused, replace or not; one at the
    // partial name of an earlier version is left alone.
    const QString source = QString::fromStdString(m_File.Path());
    const QString linked = folder + QStringLiteral("/Linked.dat");
    ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(linked).constData()), 0);
    backup.replace = true;
    EXPECT_EQ(backup.Backup(source, linked), CDataFileBackup::ResultSameFile);
    EXPECT_EQ(backup.Problem(),
              QStringLiteral("The backup cannot replace the data file itself. Choose another name."));
    const QString oldPartial = folder + QStringLiteral("/Next.dat.partial");
    ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(oldPartial).constData()), 0);
    backup.replace = false;
    ASSERT_EQ(backup.Backup(source, folder + QStringLiteral("/Next.dat")), CDataFileBackup::ResultOK)
        << backup.Problem().toStdString();
    EXPECT_EQ(ReadAll(oldPartial), original);
    EXPECT_EQ(ReadAll(source), original);

    // A link at the destination is refused; one planted at a partial name blocks nothing.
    const QString planted = folder + QStringLiteral("/Planted.dat");
    const QString elsewhere = folder + QStringLiteral("/elsewhere");
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(planted).constData()), 0);
    backup.replace = true;
    EXPECT_NE(backup.Backup(source, planted), CDataFileBackup::ResultOK);
    EXPECT_TRUE(backup.Problem().contains(QStringLiteral("is a link"))) << backup.Problem().toStdString();
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(),
                        QFile::encodeName(folder + QStringLiteral("/Other.dat.partial")).constData()),
              0);
    EXPECT_EQ(backup.Backup(source, folder + QStringLiteral("/Other.dat")), CDataFileBackup::ResultOK)
        << backup.Problem().toStdString();
    EXPECT_FALSE(QFileInfo::exists(elsewhere));
}

TEST_F(ExchangeTest, ANewDataFileIsTheOwnersAloneAndACopyNoWiderThanItsSource) {
    m_Layer.Disconnect();
    const QString source = QString::fromStdString(m_File.Path());
    auto mode = [](const QString& path) {
        struct stat info {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        return info.st_mode & 07777;
    };
    ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0644), 0);
    const mode_t saved = ::umask(022);
    const QString made = Folder() + QStringLiteral("/New.dat");
    EXPECT_TRUE(CopyFilePrivate(source.toStdU16String().c_str(), made.toStdU16String().c_str(), 1));
    EXPECT_EQ(mode(made), 0600u);
    // A stricter umask is kept.
    ::umask(0277);
    const QString stricter = Folder() + QStringLiteral("/Stricter.dat");
    EXPECT_TRUE(CopyFilePrivate(source.toStdU16String().c_str(), stricter.toStdU16String().c_str(), 1));
    EXPECT_EQ(mode(stricter), 0400u);
    ::umask(saved);

    ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0640), 0);
    CDataFileBackup backup;
    ASSERT_EQ(backup.Backup(source, Folder() + QStringLiteral("/copy.dat")), CDataFileBackup::ResultOK);
    EXPECT_EQ(mode(Folder() + QStringLiteral("/copy.dat")), 0640u);
    ASSERT_EQ(::chmod(QFile::encodeName(made).constData(), 0600), 0);
    CRepairedCopy repair;
    ASSERT_EQ(repair.Write(made, Folder() + QStringLiteral("/repaired.dat")), CRepairedCopy::ResultOK);
    EXPECT_EQ(mode(Folder() + QStringLiteral("/repaired.dat")), 0600u);
}

TEST_F(ExchangeTest, ACopyThatIsNotADataFileIsNotKept) {
    const QString notData = WriteSample(QStringLiteral("notes.txt"), "plain text, not a data file\n");
    const QString target = Folder() + QStringLiteral("/copy.dat");
    CDataFileBackup backup;
    EXPECT_NE(backup.Backup(notData, target), CDataFileBackup::ResultOK);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(backup.Problem(), notData + QStringLiteral(" is not a Carvelle data file."));
    EXPECT_EQ(FilesIn(Folder()), QStringList({QStringLiteral("Test.dat"), QStringLiteral("notes.txt")}));
}
