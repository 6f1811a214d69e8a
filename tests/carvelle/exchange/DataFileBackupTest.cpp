#include "carvelle/exchange/ExchangeTestSupport.h"

#include "support/DamagedFiles.h"
#include "support/SqliteFile.h"

#include "exchange/CDataFileBackup.h"

#include <QDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString Today() {
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
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

TEST_F(ExchangeTest, WhatKilledBackupsLeftIsClearedButNotWhatALiveOneWrites) {
    const QString source = QString::fromStdString(m_File.Path());
    const QString folder = Folder() + QStringLiteral("/bk");
    ASSERT_TRUE(QDir().mkpath(folder));
    auto leave = [&](const QString& name, const QByteArray& start = QByteArray()) {
        QFile file(folder + u'/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(start + QByteArray(8192, 'x'));
        return file.fileName();
    };
    // Today's name half-written, yesterday's, a journal beside one, and a temporary of an
    // earlier version (a copy of a data file); the user's own files stay, a hidden one of the
    // same shape too.
    leave(QStringLiteral("Test %1.dat.partial").arg(Today()));
    leave(QStringLiteral("Test 2024-01-02-3.dat.partial"));
    leave(QStringLiteral("Test 2024-01-02-3.dat.partial-journal"));
    leave(QStringLiteral(".Test 2024-01-01.dat.Ab12Cd"), QByteArray("SQLite format 3", 16));
    leave(QStringLiteral(".Test 2024-01-01.dat.backup"));
    leave(QStringLiteral("notes.partial"));
    leave(QStringLiteral("Other 2024-01-02.dat.partial"));

    CDataFileBackup backup;
    ASSERT_EQ(backup.Backup(source, folder), CDataFileBackup::ResultOK) << backup.Problem().toStdString();
    EXPECT_EQ(FilesIn(folder),
              QStringList({QStringLiteral(".Test 2024-01-01.dat.backup"),
                           QStringLiteral("Other 2024-01-02.dat.partial"),
                           QStringLiteral("Test %1.dat").arg(Today()), QStringLiteral("notes.partial")}));

    // A run still writing holds its partial file: its name is left to it and the next is taken.
    const QString live = leave(QStringLiteral("Test %1-2.dat.partial").arg(Today()));
    const int fd = ::open(QFile::encodeName(live).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    ASSERT_EQ(backup.Backup(source, folder), CDataFileBackup::ResultOK) << backup.Problem().toStdString();
    EXPECT_EQ(backup.Destination(), folder + QStringLiteral("/Test %1-3.dat").arg(Today()));
    EXPECT_TRUE(QFile::exists(live));
    ::close(fd);
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
