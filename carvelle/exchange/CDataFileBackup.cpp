#include "exchange/CDataFileBackup.h"

#include "core/CStringTable.h"
#include "datastore/CDataLayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

Db OpenDb(const QString& path, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    Db owned(db);
    if (rc != SQLITE_OK)
        owned.reset();
    return owned;
}

} // namespace

QString CDataFileBackup::SuggestedPath(const QString& dataFile, const QDate& day) {
    const QDir folder = QFileInfo(dataFile).absoluteDir();
    return folder.filePath(
        QStringLiteral("%1 %2.dat")
            .arg(LoadStringResource(IDS_MY_VEHICLES), day.toString(QStringLiteral("yyyy-MM-dd"))));
}

CDataFileBackup::Result CDataFileBackup::Fail(Result result, const QString& destination,
                                              const QString& detail) {
    m_Problem = FormatStringResource(IDS_BACKUP_FAILED, {destination, detail});
    return result;
}

CDataFileBackup::Result CDataFileBackup::Backup(const QString& source, const QString& destination) {
    m_Problem.clear();
    m_Destination.clear();
    const QFileInfo from(source);
    QFileInfo to(destination);
    if (to.isDir())
        to.setFile(SuggestedPath(QDir(destination).filePath(QStringLiteral("x")), QDate::currentDate()));
    const QString target = to.absoluteFilePath();
    if (!from.isFile())
        return Fail(ResultSourceNotOpened, target, FormatStringResource(IDS_IMPORT_NOT_READ, {source}));
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath()) {
        m_Problem = LoadStringResource(IDS_BACKUP_SAME_FILE);
        return ResultSameFile;
    }

    // A unique temporary name in the destination's folder, so the rename cannot cross disks.
    QString temporary;
    {
        QTemporaryFile placeholder(to.absolutePath() + QStringLiteral("/.") + to.fileName() +
                                   QStringLiteral(".XXXXXX"));
        placeholder.setAutoRemove(false);
        if (!placeholder.open())
            return Fail(ResultWriteFailed, target, placeholder.errorString());
        temporary = placeholder.fileName();
    }
    struct Remover {
        QString path;
        ~Remover() {
            if (!path.isEmpty()) {
                QFile::remove(path);
                QFile::remove(path + QStringLiteral("-journal"));
            }
        }
    } cleanup{temporary};

    {
        Db from_db = OpenDb(source, SQLITE_OPEN_READONLY);
        Db to_db = OpenDb(temporary, SQLITE_OPEN_READWRITE);
        if (!from_db)
            return Fail(ResultSourceNotOpened, target, FormatStringResource(IDS_IMPORT_NOT_READ, {source}));
        if (!to_db)
            return Fail(ResultWriteFailed, target, QString());
        sqlite3_busy_timeout(from_db.get(), busyTimeoutMs);
        sqlite3_backup* backup = sqlite3_backup_init(to_db.get(), "main", from_db.get(), "main");
        if (!backup)
            return Fail(ResultWriteFailed, target, QString::fromUtf8(sqlite3_errmsg(to_db.get())));
        int rc = SQLITE_OK;
        // Every page in one step; a writer of the other program is waited for, a while.
        for (int waited = 0;; waited += 100) {
            rc = sqlite3_backup_step(backup, -1);
            if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || waited >= busyTimeoutMs)
                break;
            QThread::msleep(100);
        }
        sqlite3_backup_finish(backup);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            return Fail(ResultBusy, target, LoadStringResource(IDS_BACKUP_BUSY));
        if (rc != SQLITE_DONE || sqlite3_errcode(to_db.get()) != SQLITE_OK)
            return Fail(ResultWriteFailed, target, QString::fromUtf8(sqlite3_errstr(rc)));
    }

    {
        CDataLayer check;
        if (check.Connect(temporary.toStdU16String().c_str()) != CDataLayer::ConnectOK)
            return Fail(ResultNotVerified, target, LoadStringResource(IDS_BACKUP_NOT_VERIFIED));
        check.Disconnect();
    }
    // The copy may be read by whom the file may be read, no more.
    QFile::setPermissions(temporary, from.permissions());
    // A rename replaces an older copy of the same name in one step.
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0)
        return Fail(ResultWriteFailed, target, QString::fromLocal8Bit(std::strerror(errno)));
    cleanup.path.clear();
    m_Destination = target;
    return ResultOK;
}
