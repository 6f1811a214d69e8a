#include "exchange/CDataFileBackup.h"

#include "core/CStringTable.h"
#include "core/ConnectStatusMessage.h"
#include "datastore/CReadOnlyDatabase.h"
#include "exchange/CPartialCopy.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <memory>

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

int OpenDb(const QString& path, int flags, Db& owned) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    owned.reset(db);
    return rc == SQLITE_OK && db ? SQLITE_OK : (rc == SQLITE_OK ? SQLITE_CANTOPEN : rc);
}

// Why the source cannot be read at all; ConnectOK when it can be tried.
CDataLayer::ConnectStatus SourceStatus(const QString& source) {
    const CDataLayer::ConnectStatus status =
        CReadOnlyDatabase::ReadableStatus(source.toStdU16String().c_str());
    return status == CDataLayer::ConnectOK && QFileInfo(source).size() == 0 ? CDataLayer::ConnectNotDataFile
                                                                            : status;
}

} // namespace

QString CDataFileBackup::Stem(const QString& dataFile) {
    return QFileInfo(dataFile).completeBaseName();
}

QString CDataFileBackup::SuggestedPath(const QString& dataFile, const QDate& day) {
    return CPartialCopy::FreeDatedPath(QFileInfo(dataFile).absolutePath(), Stem(dataFile), day);
}

CDataFileBackup::Result CDataFileBackup::Fail(Result result, const QString& destination,
                                              const QString& detail) {
    m_Problem = FormatStringResource(IDS_BACKUP_FAILED, {destination, detail});
    return result;
}

CDataFileBackup::Result CDataFileBackup::Backup(const QString& source, const QString& destination) {
    m_Problem.clear();
    m_Destination.clear();
    if (const CDataLayer::ConnectStatus status = SourceStatus(source); status != CDataLayer::ConnectOK) {
        m_Problem = ConnectStatusMessage(status, source);
        return ResultSourceNotOpened;
    }

    CPartialCopy copy;
    copy.busyTimeoutMs = busyTimeoutMs;
    const CPartialCopy::Result opened =
        copy.Open(source, destination, Stem(source), QDate::currentDate(), replace);
    switch (opened) {
    case CPartialCopy::ResultOK:
        break;
    case CPartialCopy::ResultSameFile:
        m_Problem = copy.ProblemText(opened);
        return ResultSameFile;
    case CPartialCopy::ResultExists:
        m_Problem = copy.ProblemText(opened);
        return ResultExists;
    default:
        return Fail(opened == CPartialCopy::ResultBusy ? ResultBusy : ResultWriteFailed, destination,
                    copy.ProblemText(opened));
    }

    const QString target = copy.FinalPath();
    if (const Result copied = Copy(source, copy.PartialPath()); copied != ResultOK)
        return copied == ResultSourceNotOpened ? copied : Fail(copied, target, m_Problem);

    const CPartialCopy::Result finished = copy.Finish();
    switch (finished) {
    case CPartialCopy::ResultOK:
        m_Destination = target;
        return ResultOK;
    case CPartialCopy::ResultExists:
        m_Problem = copy.ProblemText(finished);
        return ResultExists;
    case CPartialCopy::ResultNotVerified:
        switch (copy.GetVerdict()) {
        case CPartialCopy::VerdictNotDataFile:
            m_Problem = ConnectStatusMessage(CDataLayer::ConnectNotDataFile, source);
            return ResultSourceNotOpened;
        case CPartialCopy::VerdictOtherTables:
            m_Problem = ConnectStatusMessage(CDataLayer::ConnectInvalidDatabase, source);
            return ResultSourceNotOpened;
        default:
            return Fail(ResultNotVerified, target, LoadStringResource(IDS_BACKUP_NOT_VERIFIED));
        }
    default:
        return Fail(ResultWriteFailed, target, copy.ProblemText(finished));
    }
}

CDataFileBackup::Result CDataFileBackup::Copy(const QString& source, const QString& target) {
    // A normal connection, as any reader's: a journal that a killed write left is undone before
    // the first page is read. A file this user may only read is read as it is.
    Db from;
    int rc = OpenDb(source, SQLITE_OPEN_READWRITE, from);
    if (rc != SQLITE_OK)
        rc = OpenDb(source, SQLITE_OPEN_READONLY, from);
    Db to;
    if (rc != SQLITE_OK) {
        m_Problem = ConnectStatusMessage(CDataLayer::ConnectOpenFailed, source);
        return ResultSourceNotOpened;
    }
    sqlite3_db_config(from.get(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(from.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_busy_timeout(from.get(), busyTimeoutMs);
    if ((rc = OpenDb(target, SQLITE_OPEN_READWRITE, to)) != SQLITE_OK) {
        m_Problem = QString::fromUtf8(sqlite3_errstr(rc));
        return ResultWriteFailed;
    }
    // The partial file is this run's alone, thrown away unless it passes the check, and made
    // durable once before its rename: no journal and no syncs of the engine's own.
    sqlite3_exec(to.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) {
        m_Problem = QString::fromUtf8(sqlite3_errmsg(to.get()));
        return ResultWriteFailed;
    }
    // Every page in one step; a writer of the other program is waited for, a while.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        rc = sqlite3_backup_step(backup, -1);
        if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || waited.elapsed() >= busyTimeoutMs)
            break;
        QThread::msleep(50);
    }
    sqlite3_backup_finish(backup);
    switch (rc & 0xFF) {
    case SQLITE_DONE:
        if (sqlite3_errcode(to.get()) == SQLITE_OK)
            return ResultOK;
        m_Problem = QString::fromUtf8(sqlite3_errmsg(to.get()));
        return ResultWriteFailed;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        m_Problem = LoadStringResource(IDS_BACKUP_BUSY);
        return ResultBusy;
    case SQLITE_NOTADB:
        m_Problem = ConnectStatusMessage(CDataLayer::ConnectNotDataFile, source);
        return ResultSourceNotOpened;
    case SQLITE_READONLY:
        // A journal to undo in a file this user may not write.
        m_Problem = ConnectStatusMessage(CDataLayer::ConnectReadOnly, source);
        return ResultSourceNotOpened;
    default:
        m_Problem = QString::fromUtf8(sqlite3_errstr(rc));
        return ResultWriteFailed;
    }
}
