// The program's road from entry to exit, run in this process and driven as a user would.

#include "app/CCarvelleApp.h"
#include "app/CMainFrame.h"
#include "carvelle/support/CProgramTest.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CSession.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "platform/NamedMutex.h"
#include "records/CVehicle.h"
#include "support/TempDataFile.h"
#include "views/CViewEntries.h"
#include "views/CViewVehicles.h"
#include "widgets/CMenuResource.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <sqlite3.h>
#include <sys/stat.h>

namespace {

using Shown = CScriptedPrompter::Shown;

const QString kUnitNotice =
    QStringLiteral("Please verify the units for distance and volume under the Options screen.");

QString Radio(QDialog& dialog, const char* name, bool* checked = nullptr) {
    auto* radio = dialog.findChild<QRadioButton*>(QLatin1String(name));
    EXPECT_NE(radio, nullptr);
    if (radio && checked)
        *checked = radio->isChecked();
    return radio ? radio->text() : QString();
}

// Welcome dialog: choose an option and press Done.
CScriptedPrompter::DialogScript ChooseAndDone(bool createNew) {
    return [createNew](QDialog& dialog) {
        auto* radio =
            dialog.findChild<QRadioButton*>(QLatin1String(createNew ? "createNew" : "openExisting"));
        ASSERT_NE(radio, nullptr);
        radio->click();
        CScriptedPrompter::Press(dialog, ID_DONE);
    };
}

CScriptedPrompter::DialogScript PressCancel() {
    return [](QDialog& dialog) { CScriptedPrompter::Press(dialog, ID_CANCEL); };
}

// Puts two vehicles into the file; returns their reference IDs.
std::pair<ULONG, ULONG> AddVehicles(const std::u16string& path) {
    CDataLayer layer;
    EXPECT_EQ(layer.Connect(path.c_str()), CDataLayer::ConnectOK);
    CVehicle wagon;
    wagon.SetName(u"Wagon");
    wagon.SetYear(2004);
    wagon.SetCurrentOdometer(51000);
    CVehicle coupe;
    coupe.SetName(u"Coupe");
    coupe.SetYear(1999);
    coupe.SetCurrentOdometer(120500);
    EXPECT_EQ(layer.Save(&wagon, 0), 1);
    EXPECT_EQ(layer.Save(&coupe, 0), 1);
    layer.Disconnect();
    return {wagon.GetRefID(), coupe.GetRefID()};
}

class StartupRoadTest : public CProgramTest {};

TEST_F(StartupRoadTest, FirstStartCreatesTheDataFileFromTheTemplate) {
    const QString defaultPath = m_Environment.Documents() + QStringLiteral("/My Vehicles.dat");
    m_Prompter.AnswerModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Welcome!"));
        auto* text = dialog.findChild<QLabel*>(QStringLiteral("startupText"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(),
                  QStringLiteral("This may be the first time you are using the program, or your last "
                                 "used database is not available. Please select one of the "
                                 "following options."));
        bool createChecked = false;
        bool openChecked = true;
        EXPECT_EQ(Radio(dialog, "createNew", &createChecked), QStringLiteral("Create a new database file"));
        EXPECT_EQ(Radio(dialog, "openExisting", &openChecked),
                  QStringLiteral("Open an existing database file"));
        EXPECT_TRUE(createChecked);
        EXPECT_FALSE(openChecked);
        CScriptedPrompter::Press(dialog, ID_DONE);
    });
    m_Prompter.AnswerFile(defaultPath);

    bool connected = false;
    int view = 0;
    QString storedPath;
    const int rc = RunProgram([&](CMainFrame& frame) {
        connected = TheDataLayer().IsConnected() != 0;
        view = frame.CurrentView();
        // The path is stored as soon as the file is connected, before the program ends.
        storedPath = QString::fromStdU16String(StoredSettings()->DBPath);
    });

    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(connected);
    EXPECT_EQ(view, 211);
    EXPECT_EQ(storedPath, defaultPath);
    EXPECT_TRUE(QFileInfo::exists(defaultPath));
    EXPECT_FALSE(TheDataLayer().IsConnected()); // disconnected at exit

    // No message before the dialog on a first start; the save dialog starts at the default path.
    const std::vector<Shown>& history = m_Prompter.History();
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].kind, Shown::Modal);
    EXPECT_EQ(history[1].kind, Shown::SaveFile);
    EXPECT_EQ(history[1].initialPath, defaultPath);
    EXPECT_EQ(history[1].filter, QStringLiteral("Carvelle Data Files (*.dat)"));
    EXPECT_EQ(history[2].kind, Shown::Message);
    EXPECT_EQ(history[2].text, kUnitNotice);
    EXPECT_EQ(history[2].caption, QStringLiteral("Carvelle"));
    EXPECT_EQ(history[2].icon, CPrompter::IconInformation);

    const auto stored = StoredSettings();
    EXPECT_EQ(QString::fromStdU16String(stored->DBPath), defaultPath);
    EXPECT_EQ(stored->UnitSetupMsgShown, 1u);

    // The new file is a database of ours.
    CDataLayer check;
    EXPECT_EQ(check.Connect(defaultPath.toStdU16String().c_str()), CDataLayer::ConnectOK);
}

TEST_F(StartupRoadTest, CreatingANewFileReplacesAnExistingOne) {
    const QString target = m_Environment.Documents() + QStringLiteral("/Old.dat");
    WriteFile(target, "not a database, replaced by the template");
    SeedSettings([](CAppSettings& s) { s.UnitSetupMsgShown = 1; });
    m_Prompter.AnswerModal(ChooseAndDone(true));
    m_Prompter.AnswerFile(target);

    bool connected = false;
    EXPECT_EQ(RunProgram([&](CMainFrame&) { connected = TheDataLayer().IsConnected() != 0; }), 0);
    EXPECT_TRUE(connected);
    EXPECT_TRUE(ReadFile(target).startsWith("SQLite format 3"));
    EXPECT_TRUE(m_Prompter.Messages().empty());
}

TEST_F(StartupRoadTest, OpeningAnExistingFileUsesTheOpenDialog) {
    TempDataFile data;
    SeedSettings([](CAppSettings& s) {
        s.UnitSetupMsgShown = 1;
        s.DBPath = u"/nonexistent/folder/Gone.dat";
    });
    m_Prompter.AnswerModal(ChooseAndDone(false));
    m_Prompter.AnswerFile(QString::fromStdString(data.Path()));

    bool connected = false;
    EXPECT_EQ(RunProgram([&](CMainFrame&) { connected = TheDataLayer().IsConnected() != 0; }), 0);
    EXPECT_TRUE(connected);
    ASSERT_EQ(m_Prompter.Count(Shown::OpenFile), 1);
    EXPECT_EQ(m_Prompter.History()[1].initialPath, QStringLiteral("/nonexistent/folder/Gone.dat"));
    EXPECT_EQ(QString::fromStdU16String(StoredSettings()->DBPath), QString::fromStdString(data.Path()));
}

TEST_F(StartupRoadTest, ReadOnlyAndInvalidFilesShowTheirMessageThenTheWelcomeDialog) {
    TempDataFile readOnly;
    ASSERT_EQ(::chmod(readOnly.Path().c_str(), 0444), 0);

    const QString notSqlite = m_Environment.Documents() + QStringLiteral("/Text.dat");
    WriteFile(notSqlite, QByteArray("This is a letter, not a database.\n").repeated(40));
    // A database, but not one of ours.
    const QString foreign = m_Environment.Documents() + QStringLiteral("/Foreign.dat");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(foreign.toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE Recipe(Name TEXT); INSERT INTO Recipe VALUES('Soup');", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
    }

    const QString readOnlyText =
        QString::fromStdString(readOnly.Path()) +
        QStringLiteral(" is a read-only file. Remove the read-only attribute of this "
                       "file before opening it using Carvelle.");
    const QString invalidTail = QStringLiteral(" is not a valid database for this version of Carvelle. If "
                                               "you are upgrading from a previous version, "
                                               "please see the online upgrade instructions at ");

    struct Case {
        QString path;
        bool readOnly;
    };
    for (const Case& c : {Case{QString::fromStdString(readOnly.Path()), true}, Case{notSqlite, false},
                          Case{foreign, false}}) {
        SCOPED_TRACE(c.path.toStdString());
        ResetSettings();
        m_Prompter.ClearHistory();
        SeedSettings([&](CAppSettings& s) {
            s.UnitSetupMsgShown = 1;
            s.DBPath = c.path.toStdU16String();
        });
        const QByteArray before = ReadFile(c.path);
        m_Prompter.AnswerModal(PressCancel());

        EXPECT_EQ(RunProgram(), 0);

        const std::vector<Shown>& history = m_Prompter.History();
        ASSERT_EQ(history.size(), 2u);
        EXPECT_EQ(history[0].kind, Shown::Message);
        if (c.readOnly) {
            EXPECT_EQ(history[0].text, readOnlyText);
        } else if (c.path == notSqlite) {
            EXPECT_EQ(history[0].text, c.path + QStringLiteral(" is not a Carvelle data file."));
        } else {
            EXPECT_TRUE(history[0].text.startsWith(c.path + invalidTail)) << history[0].text.toStdString();
            EXPECT_TRUE(history[0].text.endsWith(QStringLiteral(" or contact customer support.")));
        }
        EXPECT_TRUE(history[0].caption.isEmpty()); // the system's default caption
        EXPECT_EQ(history[0].icon, CPrompter::IconWarning);
        EXPECT_EQ(history[0].buttons, CPrompter::ButtonsOK);
        EXPECT_EQ(history[1].kind, Shown::Modal);
        EXPECT_EQ(history[1].text, QStringLiteral("Welcome!"));
        // Cancelling wrote nothing to the file.
        EXPECT_EQ(ReadFile(c.path), before);
    }
}

TEST_F(StartupRoadTest, CancellingTheWelcomeDialogEndsWithoutMakingAFile) {
    const QString defaultPath = m_Environment.Documents() + QStringLiteral("/My Vehicles.dat");
    m_Prompter.AnswerModal([](QDialog& dialog) {
        // Closing the window is a cancel as well.
        dialog.close();
    });
    bool loopRan = false;
    EXPECT_EQ(RunProgram([&](CMainFrame&) { loopRan = true; }), 0);
    EXPECT_FALSE(loopRan); // the posted close ends the program before the user can act
    EXPECT_FALSE(QFileInfo::exists(defaultPath));
    EXPECT_EQ(m_Prompter.Count(Shown::Modal), 1);
    // Nothing was chosen: no notice, and the settings still name no data file, so the next start
    // is a first start again.
    EXPECT_TRUE(m_Prompter.Messages().empty());
    EXPECT_TRUE(StoredSettings()->DBPath.empty());
    EXPECT_EQ(StoredSettings()->UnitSetupMsgShown, 0u);
}

TEST_F(StartupRoadTest, TheUnitNoticeIsShownOnTheFirstRunWithADataFileOnly) {
    TempDataFile data;
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        ResetSettings();
        m_Prompter.ClearHistory();
        if (run == 0) {
            // Escape on the welcome dialog.
            m_Prompter.AnswerModal([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
        } else if (run == 1) {
            m_Prompter.AnswerModal(ChooseAndDone(false));
            m_Prompter.AnswerFile(QString::fromStdString(data.Path()));
        }
        EXPECT_EQ(RunProgram(), 0);
        const std::vector<Shown> messages = m_Prompter.Messages();
        if (run == 1) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].text, kUnitNotice);
            EXPECT_EQ(messages[0].caption, QStringLiteral("Carvelle"));
            EXPECT_EQ(messages[0].icon, CPrompter::IconInformation);
        } else {
            EXPECT_TRUE(messages.empty());
        }
        EXPECT_EQ(StoredSettings()->UnitSetupMsgShown, run == 0 ? 0u : 1u);
    }
}

TEST_F(StartupRoadTest, TheActiveVehicleComesBackAndIsClearedWhenLeftFromTheVehicleList) {
    TempDataFile data;
    const auto [wagon, coupe] = AddVehicles(data.WidePath());
    SeedSettings([&](CAppSettings& s) {
        s.UnitSetupMsgShown = 1;
        s.DBPath = data.WidePath();
        s.LastActiveVehicle = coupe;
    });

    // Run 1: the coupe is active again; the user leaves from the entry list.
    EXPECT_EQ(RunProgram([&](CMainFrame& frame) {
                  EXPECT_EQ(frame.CurrentView(), 210);
                  EXPECT_EQ(frame.EntryView()->Caption(), QStringLiteral("Coupe (1999)"));
                  EXPECT_EQ(frame.GetEntryFilter().GetVehicleID(), coupe);
                  EXPECT_EQ(TheSession().ActiveOdometer(), 120500);
                  EXPECT_EQ(frame.VehicleView()->GetSelectedVehicle(),
                            frame.VehicleView()->FindByRefID(coupe));
              }),
              0);
    EXPECT_EQ(StoredSettings()->LastActiveVehicle, coupe);

    // Run 2: again the coupe; the user goes to the vehicle list and leaves from there.
    ResetSettings();
    EXPECT_EQ(RunProgram([&](CMainFrame& frame) {
                  EXPECT_EQ(frame.CurrentView(), 210);
                  CScriptedPrompter::Press(frame, ID_SELECT_VEHICLE);
                  EXPECT_EQ(frame.CurrentView(), 211);
              }),
              0);
    EXPECT_EQ(StoredSettings()->LastActiveVehicle, 0u);

    // Run 3: starts in the vehicle list with both vehicles and nothing active.
    ResetSettings();
    EXPECT_EQ(RunProgram([&](CMainFrame& frame) {
                  EXPECT_EQ(frame.CurrentView(), 211);
                  EXPECT_NE(frame.VehicleView()->FindByRefID(wagon), nullptr);
                  EXPECT_NE(frame.VehicleView()->FindByRefID(coupe), nullptr);
                  EXPECT_FALSE(frame.IsCommandEnabled(ID_NEW_FUEL));
              }),
              0);
    EXPECT_TRUE(m_Prompter.History().empty());
}

TEST_F(StartupRoadTest, AVehicleGoneSinceTheLastRunStartsInTheVehicleList) {
    TempDataFile data;
    AddVehicles(data.WidePath());
    SeedSettings([&](CAppSettings& s) {
        s.UnitSetupMsgShown = 1;
        s.DBPath = data.WidePath();
        s.LastActiveVehicle = 0x7FFFFFF0; // no such vehicle
    });
    EXPECT_EQ(RunProgram([&](CMainFrame& frame) { EXPECT_EQ(frame.CurrentView(), 211); }), 0);
    EXPECT_EQ(StoredSettings()->LastActiveVehicle, 0u);
}

TEST_F(StartupRoadTest, ATemplateThatCannotBeCopiedLeavesTheTargetUntouched) {
    const QString target = m_Environment.Documents() + QStringLiteral("/Keep.dat");
    const QByteArray keep("The user's own file: it must survive a failed copy.");
    WriteFile(target, keep);
    SeedSettings([&](CAppSettings& s) {
        s.UnitSetupMsgShown = 1;
        s.DBPath = u"/nonexistent/Start.dat";
    });
    m_Prompter.AnswerModal(ChooseAndDone(true));
    m_Prompter.AnswerFile(target);
    m_Prompter.AnswerModal(PressCancel());

    EXPECT_EQ(RunProgram({}, m_Environment.Root() + QStringLiteral("/missing/Default.ENU")), 0);

    const std::vector<Shown> messages = m_Prompter.Messages();
    ASSERT_GE(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Cannot create new data file ") + target +
                                    QStringLiteral(". Please try again."));
    EXPECT_TRUE(messages[0].caption.isEmpty());
    EXPECT_EQ(messages[0].icon, CPrompter::IconWarning);
    // The connection that follows fails on the old file (not ours), then the dialog is back.
    EXPECT_EQ(m_Prompter.Count(Shown::Modal), 2);
    EXPECT_EQ(ReadFile(target), keep);
}

TEST_F(StartupRoadTest, ACopyIntoAMissingFolderIsReportedAndTheDialogComesBack) {
    const QString target = m_Environment.Root() + QStringLiteral("/no/such/folder/New.dat");
    SeedSettings([](CAppSettings& s) { s.UnitSetupMsgShown = 1; });
    m_Prompter.AnswerModal(ChooseAndDone(true));
    m_Prompter.AnswerFile(target);
    m_Prompter.AnswerModal(PressCancel());

    EXPECT_EQ(RunProgram(), 0);
    const std::vector<Shown> messages = m_Prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Cannot create new data file ") + target +
                                    QStringLiteral(". Please try again."));
    EXPECT_FALSE(QFileInfo::exists(target));
    // Cancelled in the end: the settings are as they were.
    EXPECT_TRUE(StoredSettings()->DBPath.empty());
}

TEST_F(StartupRoadTest, ADesktopSynchronisationRefusesTheStart) {
    TempDataFile data;
    SeedSettings([&](CAppSettings& s) {
        s.DBPath = u"/nonexistent/Never.dat"; // opening it would bring the welcome dialog
        s.ViewEntryType = 3;
    });
    CNamedMutex sync(CCarvelleApp::ActiveSyncMutexName);
    ASSERT_EQ(sync.Create(), CNamedMutex::Created);

    EXPECT_EQ(RunProgram([](CMainFrame&) { ADD_FAILURE() << "the message loop must not run"; }), 0);

    const std::vector<Shown>& history = m_Prompter.History();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].kind, Shown::Message);
    EXPECT_EQ(history[0].text, QStringLiteral("Carvelle cannot be used while ActiveSync is connected."));
    EXPECT_EQ(history[0].caption, QStringLiteral("Carvelle"));
    EXPECT_EQ(history[0].icon, CPrompter::IconInformation);
    EXPECT_EQ(history[0].buttons, CPrompter::ButtonsOK);
    // Loaded, so written back unchanged: no unit notice shown, nothing else changed.
    const auto stored = StoredSettings();
    EXPECT_EQ(stored->UnitSetupMsgShown, 0u);
    EXPECT_EQ(stored->ViewEntryType, 3u);
    EXPECT_EQ(QString::fromStdU16String(stored->DBPath), QStringLiteral("/nonexistent/Never.dat"));

    // Once the synchronisation ends the program starts again.
    sync.Close();
    m_Prompter.ClearHistory();
    ResetSettings();
    m_Prompter.AnswerModal(PressCancel());
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(m_Prompter.Count(Shown::Modal), 1);
}

} // namespace
