#include "datastore/CReadOnlyDatabase.h"

#include "datastore/HardenConnection.h"
#include "platform/FileSystem.h"
#include "platform/TextConversion.h"
#include "platform/WideString.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

CDataLayer::ConnectStatus StatusOf(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
        return CDataLayer::ConnectOK;
    case SQLITE_NOTADB:
        return CDataLayer::ConnectNotDataFile;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return CDataLayer::ConnectNotReadable;
    default:
        return CDataLayer::ConnectOpenFailed;
    }
}

// sqlite3_interrupt reaches only a statement that runs; this stops every later one too.
int StopWhenInterrupted(void* database) {
    return static_cast<const CReadOnlyDatabase*>(database)->Interrupted() ? 1 : 0;
}

bool Configure(sqlite3* db, int busyTimeoutMs) {
    if (!HardenConnection(db)) {
        return false;
    }
    sqlite3_extended_result_codes(db, 1);
    return sqlite3_busy_timeout(db, busyTimeoutMs) == SQLITE_OK;
}

// The engine's answer to the first read of the file.
int FirstRead(sqlite3* db) {
    return sqlite3_exec(db, "PRAGMA schema_version", nullptr, nullptr, nullptr);
}

} // namespace

CReadOnlyDatabase::~CReadOnlyDatabase() {
    Close();
}

void CReadOnlyDatabase::Close() {
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        if (m_DB) {
            sqlite3_close_v2(m_DB);
            m_DB = nullptr;
        }
    }
    if (!m_Snapshot.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_Snapshot, ignored);
        m_Snapshot.clear();
    }
}

void CReadOnlyDatabase::Interrupt() {
    m_Interrupted = true;
    std::lock_guard<std::mutex> hold(m_Lock);
    if (m_DB) {
        sqlite3_interrupt(m_DB);
    }
}

CDataLayer::ConnectStatus CReadOnlyDatabase::ReadableStatus(LPCWSTR path) {
    switch (GetFileReadState(path)) {
    case FileMissing:
        return CDataLayer::ConnectFileNotFound;
    case FileAccessDenied:
        return CDataLayer::ConnectNotReadable;
    case FileReadable:
        break;
    }
    return GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY ? CDataLayer::ConnectNotDataFile
                                                               : CDataLayer::ConnectOK;
}

CDataLayer::ConnectStatus CReadOnlyDatabase::Open(LPCWSTR path, int busyTimeoutMs) {
    Close();
    if (const CDataLayer::ConnectStatus readable = ReadableStatus(path); readable != CDataLayer::ConnectOK) {
        return readable;
    }
    const std::string name = WideToUtf8(std::u16string_view(path, WideLength(path)));
    CDataLayer::ConnectStatus status = OpenHandle(name, busyTimeoutMs);
    if (status != CDataLayer::ConnectOK) {
        return status;
    }
    const int rc = FirstRead(m_DB);
    if (rc == SQLITE_READONLY_ROLLBACK) {
        return OpenSnapshot(name, busyTimeoutMs);
    }
    if (rc != SQLITE_OK) {
        Close();
        return StatusOf(rc);
    }
    return CDataLayer::ConnectOK;
}

CDataLayer::ConnectStatus CReadOnlyDatabase::OpenHandle(const std::string& path, int busyTimeoutMs) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        m_DB = db;
    }
    if (rc != SQLITE_OK || !db || !Configure(db, busyTimeoutMs)) {
        Close();
        return StatusOf(rc == SQLITE_OK ? SQLITE_CANTOPEN : rc);
    }
    sqlite3_progress_handler(db, 1000, StopWhenInterrupted, this);
    if (m_Interrupted) {
        sqlite3_interrupt(db);
    }
    return CDataLayer::ConnectOK;
}

CDataLayer::ConnectStatus CReadOnlyDatabase::OpenSnapshot(const std::string& path, int busyTimeoutMs) {
    Close();
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/carvelle-check-XXXXXX";
    if (!mkdtemp(folder.data())) {
        return CDataLayer::ConnectOpenFailed;
    }
    m_Snapshot = folder;
    const std::string copy = folder + "/data";
    std::error_code error;
    namespace fs = std::filesystem;
    fs::copy_file(path, copy, error);
    if (!error) {
        fs::copy_file(path + "-journal", copy + "-journal", error);
    }
    if (error) {
        Close();
        return CDataLayer::ConnectOpenFailed;
    }
    // The copy is ours to write: opened for writing, the engine undoes the journal in it.
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(copy.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        m_DB = db;
    }
    if (rc != SQLITE_OK || !db || !Configure(db, busyTimeoutMs)) {
        Close();
        return StatusOf(rc == SQLITE_OK ? SQLITE_CANTOPEN : rc);
    }
    rc = FirstRead(db);
    if (rc != SQLITE_OK) {
        Close();
        return StatusOf(rc);
    }
    sqlite3_progress_handler(db, 1000, StopWhenInterrupted, this);
    if (m_Interrupted) {
        sqlite3_interrupt(db);
    }
    return CDataLayer::ConnectOK;
}
