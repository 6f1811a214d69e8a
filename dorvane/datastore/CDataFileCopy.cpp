#include "datastore/CDataFileCopy.h"

#include "datastore/HardenConnection.h"
#include "platform/TextConversion.h"
#include "platform/WideString.h"

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

int OpenDb(const std::string& path, int flags, Db& owned) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    owned.reset(db);
    return rc == SQLITE_OK && db ? SQLITE_OK : (rc == SQLITE_OK ? SQLITE_CANTOPEN : rc);
}

std::string Utf8(LPCWSTR path) {
    return WideToUtf8(std::u16string_view(path, WideLength(path)));
}

} // namespace

CDataFileCopy::Result CDataFileCopy::Run(LPCWSTR source, LPCWSTR target) {
    m_SourceStatus = CDataLayer::ConnectOK;
    m_Problem.clear();
    if (!source || !target) {
        m_SourceStatus = CDataLayer::ConnectOpenFailed;
        return CopySourceNotRead;
    }
    // A normal connection, as any reader's: a journal that a killed write left is undone before
    // the first page is read. A file this user may only read is read as it is.
    const std::string from8 = Utf8(source);
    Db from;
    int rc = OpenDb(from8, SQLITE_OPEN_READWRITE, from);
    if (rc != SQLITE_OK)
        rc = OpenDb(from8, SQLITE_OPEN_READONLY, from);
    if (rc != SQLITE_OK || !HardenConnection(from.get()) ||
        sqlite3_busy_timeout(from.get(), busyTimeoutMs) != SQLITE_OK) {
        m_SourceStatus = CDataLayer::ConnectOpenFailed;
        return CopySourceNotRead;
    }
    Db to;
    if ((rc = OpenDb(Utf8(target), SQLITE_OPEN_READWRITE, to)) != SQLITE_OK) {
        m_Problem = sqlite3_errstr(rc);
        return CopyWriteFailed;
    }
    // The target is the caller's alone, thrown away unless it passes the check, and made durable
    // once before it is kept: no journal and no syncs of the engine's own. Set before the
    // safeguards, which refuse to turn the journal off.
    sqlite3_exec(to.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    if (!HardenConnection(to.get())) {
        m_Problem = sqlite3_errstr(SQLITE_MISUSE);
        return CopyWriteFailed;
    }
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) {
        m_Problem = sqlite3_errmsg(to.get());
        return CopyWriteFailed;
    }
    // Every page in one step; a writer of the other program is waited for, a while.
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        rc = sqlite3_backup_step(backup, -1);
        const auto waited = std::chrono::steady_clock::now() - start;
        if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || waited >= std::chrono::milliseconds(busyTimeoutMs))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    sqlite3_backup_finish(backup);
    switch (rc & 0xFF) {
    case SQLITE_DONE:
        if (sqlite3_errcode(to.get()) == SQLITE_OK)
            return CopyOK;
        m_Problem = sqlite3_errmsg(to.get());
        return CopyWriteFailed;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return CopyBusy;
    case SQLITE_NOTADB:
        m_SourceStatus = CDataLayer::ConnectNotDataFile;
        return CopySourceNotRead;
    case SQLITE_READONLY:
        // A journal to undo in a file this user may not write.
        m_SourceStatus = CDataLayer::ConnectReadOnly;
        return CopySourceNotRead;
    default:
        m_Problem = sqlite3_errstr(rc);
        return CopyWriteFailed;
    }
}
