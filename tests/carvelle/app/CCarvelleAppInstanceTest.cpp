// Real copies of the program: a second copy hands over to the first, a copy that finds the
// mutex held but no window starts after its tries.

#include "app/CCarvelleApp.h"
#include "app/CInstanceChannel.h"
#include "carvelle/support/CCarvelleTest.h"
#include "core/CAppSettings.h"
#include "platform/NamedMutex.h"
#include "support/TempDataFile.h"

#include <QFileInfo>
#include <QProcess>

#include <QFile>

#include <csignal>
#include <sys/stat.h>

namespace {

class SecondInstanceTest : public CCarvelleTest {
protected:
    void SetUp() override {
        // A data file that opens and no first-run notice: nothing modal blocks the real program.
        SeedSettings([this](CAppSettings& s) {
            s.DBPath = m_Data.WidePath();
            s.UnitSetupMsgShown = 1;
        });
    }

    void Start(QProcess& process) const {
        process.setProcessEnvironment(m_Environment.ProcessEnvironment());
        process.setProgram(QStringLiteral(CARVELLE_BINARY_PATH));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    QString ServerName() const { return CInstanceChannel::ServerNameFor(QStringLiteral("Carvelle")); }

    // Waits until the program answers on its socket (an empty line is not acted upon).
    bool WaitForWindow(QProcess& process) const {
        return WaitFor(
                   [&] {
                       return process.state() != QProcess::Running ||
                              CInstanceChannel::Send(ServerName(), QStringLiteral("Ping"), 200) ==
                                  CInstanceChannel::SendFailed;
                   },
                   20000) &&
               process.state() == QProcess::Running;
    }

    static ino_t Inode(const QString& path) {
        struct stat info {};
        return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? info.st_ino : 0;
    }

    void ShutDown(QProcess& process) const {
        EXPECT_EQ(CInstanceChannel::Send(ServerName(), CInstanceChannel::ShutdownMessage, 5000),
                  CInstanceChannel::SendAccepted);
        EXPECT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    TempDataFile m_Data;
};

TEST_F(SecondInstanceTest, ASecondCopyHandsOverAndWritesNothing) {
    const QString settingsFile = m_Environment.SettingsFile();
    const ino_t seeded = Inode(settingsFile);
    ASSERT_NE(seeded, 0u);

    QProcess first;
    Start(first);
    ASSERT_TRUE(WaitForWindow(first));
    // The first copy stores the data file path once it is connected (a new settings file).
    ASSERT_TRUE(WaitFor([&] { return Inode(settingsFile) != seeded; }, 20000));
    const ino_t afterStart = Inode(settingsFile);
    const QByteArray settingsBefore = ReadFile(settingsFile);

    QProcess second;
    Start(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), static_cast<int>(CCarvelleApp::ExitDidNotStart));
    EXPECT_EQ(first.state(), QProcess::Running);
    // The settings file was not rewritten by the second copy.
    EXPECT_EQ(Inode(settingsFile), afterStart);
    EXPECT_EQ(ReadFile(settingsFile), settingsBefore);

    // The refresh message is acted upon; the shutdown message ends the first copy.
    EXPECT_EQ(CInstanceChannel::Send(ServerName(), CInstanceChannel::RefreshMessage, 5000),
              CInstanceChannel::SendAccepted);
    ShutDown(first);
    // At its normal end the first copy writes its settings.
    EXPECT_NE(Inode(settingsFile), afterStart);
}

TEST_F(SecondInstanceTest, TheEndOfTheSessionEndsTheProgramWhileTheWelcomeDialogIsOpen) {
    // The stored file is gone: the welcome dialog opens and waits, modal, at start.
    const QString missing = QString::fromStdString(m_Data.Folder()) + QStringLiteral("/gone.dat");
    for (int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QFile::remove(m_Environment.SettingsFile());
        SeedSettings([&](CAppSettings& s) { s.DBPath = missing.toStdU16String(); });
        QProcess program;
        Start(program);
        ASSERT_TRUE(WaitForWindow(program));
        ::kill(static_cast<pid_t>(program.processId()), signal);
        // Within two seconds as a desktop expects; a loaded test machine gets more.
        EXPECT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        // No notice held the end up, the stored path is kept and the window's place was saved.
        const std::unique_ptr<CAppSettings> stored = StoredSettings();
        EXPECT_EQ(QString::fromStdU16String(stored->DBPath), missing);
        EXPECT_EQ(stored->UnitSetupMsgShown, 0u);
        EXPECT_TRUE(stored->MainWindow.has_value());
        EXPECT_FALSE(QFileInfo::exists(missing));
    }
}

TEST_F(SecondInstanceTest, ACopyStartsAfterItsTriesWhenTheMutexHolderShowsNoWindow) {
    CNamedMutex held("Carvelle");
    ASSERT_EQ(held.Create(), CNamedMutex::Created);

    // It gives up looking for a window after its tries and starts with the mutex still held
    // by someone else.
    QProcess copy;
    Start(copy);
    ASSERT_TRUE(WaitForWindow(copy));
    ShutDown(copy);
}

} // namespace
