#include "app/CBackgroundCheck.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "datastore/CDataFileCheck.h"
#include "exchange/CheckText.h"

CBackgroundCheck::CBackgroundCheck(QObject* parent) : QObject(parent) {}

CBackgroundCheck::~CBackgroundCheck() {
    Cancel();
    Join();
}

QString CBackgroundCheck::Stamp(const QString& path) {
    return FullCheckStamp(path);
}

void CBackgroundCheck::RecordSound(const QString& stamp) {
    TheSettings().LastFullCheck = stamp.toStdU16String();
}

void CBackgroundCheck::Cancel() {
    if (m_Check)
        m_Check->Cancel();
}

void CBackgroundCheck::Join() {
    if (m_Thread.joinable())
        m_Thread.join();
    m_Check.reset();
}

bool CBackgroundCheck::StartIfChanged(const QString& path) {
    Cancel();
    Join();
    // Taken before the check: a file changed while it runs is checked again next time.
    const QString stamp = Stamp(path);
    if (stamp.isEmpty() || stamp.toStdU16String() == TheSettings().LastFullCheck)
        return false;
    m_Check = std::make_unique<CDataFileCheck>();
    CDataFileCheck* check = m_Check.get();
    const unsigned run = ++m_Run;
    m_Thread = std::thread([this, check, run, path, stamp] {
        const CDataLayer::ConnectStatus status = check->Run(path.toStdU16String().c_str());
        if (status != CDataLayer::ConnectOK)
            return; // cancelled, busy or gone: the next start tries again
        const QStringList findings = CheckSummaryLines(*check);
        const bool repair = check->NeedsRepair();
        // Back on the window's thread; dropped when this object is gone by then, or when a later
        // check has taken this one's place (joining that one would hold up the window).
        QMetaObject::invokeMethod(
            this,
            [this, run, path, stamp, findings, repair] {
                if (run != m_Run)
                    return;
                Join();
                if (findings.isEmpty())
                    RecordSound(stamp);
                emit Finished(path, findings, repair);
            },
            Qt::QueuedConnection);
    });
    return true;
}
