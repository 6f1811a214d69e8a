#include "carvelle/exchange/ExchangeTestSupport.h"

#include "exchange/CDataFileBackup.h"

#include <QDir>

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
    EXPECT_EQ(QDir(Folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // The file itself is never the destination; a folder gets the suggested name.
    EXPECT_EQ(backup.Backup(source, source), CDataFileBackup::ResultSameFile);
    ASSERT_EQ(backup.Backup(source, Folder()), CDataFileBackup::ResultOK);
    EXPECT_EQ(backup.Destination(), CDataFileBackup::SuggestedPath(source, QDate::currentDate()));
}

TEST_F(ExchangeTest, ACopyThatIsNotADataFileIsNotKept) {
    const QString notData = WriteSample(QStringLiteral("notes.txt"), "plain text, not a data file\n");
    const QString target = Folder() + QStringLiteral("/copy.dat");
    CDataFileBackup backup;
    EXPECT_NE(backup.Backup(notData, target), CDataFileBackup::ResultOK);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(backup.Problem().isEmpty());
    EXPECT_EQ(QDir(Folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
