// Keeping the data file sound from the program: the full check at start and from the menu, the
// repaired copy, the backup's names, and the end of the session by a signal.

#include "app/CBackgroundCheck.h"
#include "app/CMainFrame.h"
#include "carvelle/support/CProgramTest.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "platform/TextConversion.h"
#include "records/CObjectListT.h"
#include "support/DamagedFiles.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"
#include "widgets/CMenuResource.h"

#include <QAction>
#include <QDate>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

using Shown = CScriptedPrompter::Shown;

class DataFileCareTest : public CProgramTest {
protected:
    // A vehicle with fill-ups at the readings 1 to count.
    void AddCar(LONG count) {
        CDataLayer layer;
        ASSERT_EQ(layer.Connect(m_Data.WidePath().c_str()), CDataLayer::ConnectOK);
        CVehicle car;
        car.SetName(u"Car");
        ASSERT_EQ(layer.Save(&car, 0), 1);
        m_Car = car.GetRefID();
        for (LONG odometer = 1; odometer <= count; ++odometer) {
            CEntry entry;
            entry.SetRefID(static_cast<ULONG>(1000 + odometer));
            entry.SetVehicleID(m_Car);
            entry.SetType(CEntry::EntryFuel);
            entry.SetOdometer(odometer);
            ASSERT_EQ(layer.Save(&entry, 0), 1);
        }
    }

    // A vehicle with 300 entries, one with a record the quick check at start finds broken.
    void DamageRecord() {
        ASSERT_NO_FATAL_FAILURE(AddCar(1));
        SqliteFile(m_Data.Path())
            .Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 299) INSERT INTO "
                  "Entry SELECT NULL, RefID + i, Name, Notes, Created, Modified, Date, Odometer + i, "
                  "VehicleID, "
                  "Type, Vendor, Amount, Custom1, Custom2 FROM Entry, n");
        LengthenLastValue(m_Data.Path(), "Entry");
    }

    // A vehicle with 20 entries, of which the index by vehicle knows the first 10 only.
    void DamageIndex() {
        ASSERT_NO_FATAL_FAILURE(AddCar(10));
        AddRowsBehindIndex(
            m_Data.Path(), "EntryVehicle",
            "INSERT INTO Entry SELECT NULL, RefID + 100, Name, Notes, Created, Modified, Date, "
            "Odometer + 10, VehicleID, Type, Vendor, Amount, Custom1, Custom2 FROM Entry");
    }

    int EntriesOf(const QString& path) const {
        CDataLayer layer;
        EXPECT_EQ(layer.Connect(path.toStdU16String().c_str()), CDataLayer::ConnectOK);
        CEntryFilter filter;
        filter.SetVehicleID(m_Car);
        CObjectListT<CEntry> entries;
        layer.Load(entries, filter);
        return entries.GetCount();
    }

    void Seed(const QString& lastSoundCheck = {}) const {
        SeedSettings([&](CAppSettings& s) {
            s.DBPath = m_Data.WidePath();
            s.UnitSetupMsgShown = 1;
            s.LastFullCheck = lastSoundCheck.toStdU16String();
        });
    }

    QString Path() const { return QString::fromStdString(m_Data.Path()); }

    TempDataFile m_Data;
    ULONG m_Car = 0;
};

} // namespace

TEST_F(DataFileCareTest, CheckDataFileFindsADamageTheStartCannotSeeAndOpensTheRepairedCopy) {
    DamageIndex();
    // Checked as it is now already, so that the start leaves it to the menu.
    Seed(CBackgroundCheck::Stamp(Path()));
    const QByteArray before = ReadFile(Path());
    const QString copy = QString::fromStdString(m_Data.Folder()) + QStringLiteral("/Repaired.dat");
    m_Prompter.AnswerMessage(CPrompter::IDYES); // save a repaired copy
    m_Prompter.AnswerFile(copy);
    m_Prompter.AnswerMessage(CPrompter::IDYES); // and open it

    QString opened;
    RunProgram([&](CMainFrame& frame) {
        FindCommand(frame.SoftKeyMenu(), ID_CHECK_DATA_FILE)->trigger();
        opened = QString::fromUtf16(TheDataLayer().GetDBPath());
    });

    const std::vector<Shown> messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(
        messages[0].text.startsWith(QStringLiteral("The data file %1 has problems:\n\nSQLite: ").arg(Path())))
        << messages[0].text.toStdString();
    EXPECT_EQ(messages[0].icon, CPrompter::IconWarning);
    EXPECT_TRUE(
        messages[1].text.startsWith(QStringLiteral("The repaired copy has been written to %1.").arg(copy)));
    EXPECT_TRUE(messages[1].text.contains(QLatin1String("Entry: 20 rows kept.")))
        << messages[1].text.toStdString();
    ASSERT_EQ(m_Prompter.Count(Shown::SaveFile), 1);
    EXPECT_TRUE(m_Prompter.History()[1].initialPath.contains(QLatin1String("Test repaired ")));
    EXPECT_EQ(opened, copy);
    EXPECT_EQ(EntriesOf(copy), 20);
    EXPECT_EQ(ReadFile(Path()), before);
}

TEST_F(DataFileCareTest, TheStartChecksAChangedFileInTheBackgroundAndTellsOnlyOfAFinding) {
    Seed();
    // A sound file: nothing is said, and the settings remember it as sound.
    RunProgram(
        [&](CMainFrame&) { EXPECT_TRUE(WaitFor([] { return !TheSettings().LastFullCheck.empty(); })); });
    EXPECT_TRUE(m_Prompter.Messages().empty());
    const QString sound = QString::fromStdU16String(StoredSettings()->LastFullCheck);
    EXPECT_EQ(sound, CBackgroundCheck::Stamp(Path()));

    // Unchanged, it is not checked again; changed and damaged, the finding is told.
    DamageIndex();
    RunProgram([&](CMainFrame&) { EXPECT_TRUE(WaitFor([this] { return !m_Prompter.Messages().empty(); })); });
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_TRUE(m_Prompter.Messages()[0].text.startsWith(
        QStringLiteral("A check of the data file %1 found problems:").arg(Path())));
    EXPECT_EQ(QString::fromStdU16String(StoredSettings()->LastFullCheck), sound);
}

TEST_F(DataFileCareTest, ABackupFromTheMenuSuggestsTheNextFreeNameAndReplacesAChosenFile) {
    Seed(CBackgroundCheck::Stamp(Path()));
    const QString folder = QString::fromStdString(m_Data.Folder());
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    WriteFile(folder + QStringLiteral("/Test %1.dat").arg(today), "an older copy");
    // The save dialog asked before this file is replaced.
    const QString chosen = folder + QStringLiteral("/Test %1.dat").arg(today);
    m_Prompter.AnswerFile(chosen);
    RunProgram([](CMainFrame& frame) { FindCommand(frame.SoftKeyMenu(), ID_BACKUP)->trigger(); });

    ASSERT_EQ(m_Prompter.Count(Shown::SaveFile), 1);
    EXPECT_EQ(m_Prompter.History()[0].initialPath, folder + QStringLiteral("/Test %1-2.dat").arg(today));
    EXPECT_TRUE(ReadFile(chosen).startsWith("SQLite format 3"));
    ASSERT_EQ(m_Prompter.Messages().size(), 1u);
    EXPECT_EQ(m_Prompter.Messages()[0].text,
              QStringLiteral("The data file has been backed up to %1.").arg(chosen));
}

TEST_F(DataFileCareTest, TheEndOfTheSessionClosesTheProgramAsExitDoes) {
    Seed(CBackgroundCheck::Stamp(Path()));
    int dialogResult = -1;
    RunProgram([&](CMainFrame& frame) {
        TheSettings().SortAscending = 0;
        QDialog dialog(&frame);
        dialog.setModal(true);
        dialog.show();
        std::raise(SIGTERM);
        EXPECT_TRUE(WaitFor([&frame] { return frame.IsClosed(); }));
        dialogResult = dialog.result();
    });
    EXPECT_EQ(dialogResult, QDialog::Rejected);
    EXPECT_EQ(StoredSettings()->SortAscending, 0u);
    EXPECT_FALSE(TheDataLayer().IsConnected());
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST_F(DataFileCareTest, CtrlCInTheTerminalClosesTheProgramAsExitDoes) {
    Seed(CBackgroundCheck::Stamp(Path()));
    RunProgram([&](CMainFrame& frame) {
        TheSettings().SortAscending = 0;
        std::raise(SIGINT);
        EXPECT_TRUE(WaitFor([&frame] { return frame.IsClosed(); }));
    });
    EXPECT_EQ(StoredSettings()->SortAscending, 0u);
    EXPECT_FALSE(TheDataLayer().IsConnected());
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGINT, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST_F(DataFileCareTest, AWaitInAnImportOrExportIsShownAndClearedOnceItIsOver) {
    Seed(CBackgroundCheck::Stamp(Path()));
    RunProgram([&](CMainFrame& frame) {
        // Another program writes for a moment while a call reaches the data layer directly.
        SqliteFile other(m_Data.Path());
        other.Exec("BEGIN IMMEDIATE; INSERT INTO Keyword VALUES(NULL, 1, 'x', 1, 0, 0)");
        std::thread finish([&other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(CDataLayer::BusyNoticeMs + 300));
            other.Exec("COMMIT");
        });
        CVehicle van;
        van.SetName(u"Van");
        EXPECT_EQ(TheDataLayer().Save(&van, 0), 1);
        finish.join();
        auto* line = frame.findChild<QLabel*>(QStringLiteral("waitLine"));
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(line->isVisible());
        EXPECT_TRUE(WaitFor([line] { return !line->isVisible(); }));
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    });
}

TEST_F(DataFileCareTest, AStartOnADamagedFileSaysSoAndOpensTheRepairedCopy) {
    ASSERT_NO_FATAL_FAILURE(DamageRecord());
    Seed();
    const QString copy = QString::fromStdString(m_Data.Folder()) + QStringLiteral("/Repaired.dat");
    m_Prompter.AnswerMessage(CPrompter::IDYES); // save a repaired copy
    m_Prompter.AnswerFile(copy);
    m_Prompter.AnswerMessage(CPrompter::IDYES); // and open it

    QString opened;
    RunProgram([&](CMainFrame&) { opened = QString::fromUtf16(TheDataLayer().GetDBPath()); });

    const std::vector<Shown> messages = m_Prompter.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_TRUE(messages[0].text.startsWith(
        QStringLiteral("The data file %1 is damaged, so Carvelle does not open it as it is:\n\nSQLite: ")
            .arg(Path())))
        << messages[0].text.toStdString();
    EXPECT_TRUE(messages[1].text.contains(
        QLatin1String("Entry: 300 rows kept, 1 of them pieced together from damaged records")))
        << messages[1].text.toStdString();
    EXPECT_EQ(opened, copy);
    EXPECT_EQ(EntriesOf(copy), 300);
}

TEST_F(DataFileCareTest, OpeningADamagedFileOffersTheRepairedCopyInPlaceOfTheOpenFile) {
    TempDataFile other;
    SeedSettings([&](CAppSettings& s) {
        s.DBPath = other.WidePath();
        s.UnitSetupMsgShown = 1;
    });
    ASSERT_NO_FATAL_FAILURE(DamageRecord());
    const QString copy = QString::fromStdString(m_Data.Folder()) + QStringLiteral("/Repaired.dat");
    m_Prompter.AnswerFile(Path());              // File > Open the damaged file
    m_Prompter.AnswerMessage(CPrompter::IDYES); // save a repaired copy
    m_Prompter.AnswerFile(copy);
    m_Prompter.AnswerMessage(CPrompter::IDYES); // and open it

    QString opened;
    RunProgram([&](CMainFrame& frame) {
        FindCommand(frame.SoftKeyMenu(), ID_OPEN_DATA_FILE)->trigger();
        opened = QString::fromUtf16(TheDataLayer().GetDBPath());
    });

    const std::vector<Shown> messages = m_Prompter.Messages();
    ASSERT_GE(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("The data file %1 is damaged").arg(Path())))
        << messages[0].text.toStdString();
    EXPECT_EQ(opened, copy);
    EXPECT_EQ(EntriesOf(copy), 300);
}
