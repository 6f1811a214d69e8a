#include "carvelle/support/CCarvelleTest.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "datastore/CDataLayer.h"

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
