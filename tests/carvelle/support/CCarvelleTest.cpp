#include "carvelle/support/CCarvelleTest.h"

#include "app/CCarvelleApp.h"
#include "app/CMainFrame.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/ResourceIds.h"
#include "datastore/CDataLayer.h"
#include "widgets/CMenuResource.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

CCarvelleTest::CCarvelleTest() {
    TheDataLayer().Disconnect();
    ResetSettings();
}

CCarvelleTest::~CCarvelleTest() {
    TheDataLayer().Disconnect();
    ResetSettings();
}

void CCarvelleTest::SeedSettings(const std::function<void(CAppSettings&)>& edit) const {
    CAppSettings settings;
    edit(settings);
    settings.SaveSettings();
}

std::unique_ptr<CAppSettings> CCarvelleTest::StoredSettings() const {
    auto settings = std::make_unique<CAppSettings>();
    settings->LoadSettings();
    settings->DiscardOnExit();
    return settings;
}

int CCarvelleTest::RunProgram(const std::function<void(CMainFrame&)>& user, const QString& templatePath) {
    CCarvelleApp app([&user](CMainFrame& frame) {
        QCoreApplication::processEvents();
        if (user && !frame.IsClosed())
            user(frame);
        if (!frame.IsClosed()) {
            // Menu > Exit, as the user ends the program.
            if (QAction* exit = FindCommand(frame.SoftKeyMenu(), ID_APP_EXIT))
                exit->trigger();
        }
        EXPECT_TRUE(WaitFor([&frame] { return frame.IsClosed(); })) << "the frame did not close";
        return 0;
    });
    app.SetTemplatePath(templatePath);
    return app.Run();
}

bool CCarvelleTest::WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

QByteArray CCarvelleTest::ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void CCarvelleTest::WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
