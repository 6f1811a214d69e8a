#include "datastore/CReadOnlyDatabase.h"

#include "datastore/HardenConnection.h"
#include "platform/FileSystem.h"
#include "platform/TextConversion.h"
#include "platform/WideString.h"

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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

constexpr char kSnapshotPrefix[] = "carvelle-check-";
constexpr char kMarker[] = "/.carvelle-check";

std::string TemporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}

// The copies that killed checks left: folders of our name and owner whose marker no live run
// holds. Anything else of that name is somebody else's and stays.
void RemoveLeftovers(const std::string& base) {
    DIR* folder = ::opendir(base.c_str());
    if (!folder) {
        return;
    }
    const std::size_t prefix = std::strlen(kSnapshotPrefix);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix + 6 || name.compare(0, prefix, kSnapshotPrefix) != 0) {
            continue;
        }
        const std::string path = base + '/' + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
            continue;
        }
        const int marker = ::open((path + kMarker).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (marker < 0) {
            continue;
        }
        struct stat held {};
        if (::fstat(marker, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(marker, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        ::close(marker);
    }
    ::closedir(folder);
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
    if (!m_Folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_Folder, ignored);
        m_Folder.clear();
    }
    m_ReadsCopy = false;
    if (m_Marker >= 0) {
        ::close(m_Marker);
        m_Marker = -1;
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

const std::string& CReadOnlyDatabase::WorkFolder() {
    if (!m_Folder.empty()) {
        return m_Folder;
    }
    const std::string base = TemporaryFolder();
    RemoveLeftovers(base);
    std::string folder = base + '/' + kSnapshotPrefix + "XXXXXX";
    if (!mkdtemp(folder.data())) {
        return m_Folder;
    }
    m_Folder = folder;
    // Held for as long as the folder is used, so that another run leaves it alone.
    m_Marker = ::open((folder + kMarker).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_Marker < 0 || ::flock(m_Marker, LOCK_EX | LOCK_NB) != 0) {
        std::error_code ignored;
        std::filesystem::remove_all(m_Folder, ignored);
        m_Folder.clear();
        if (m_Marker >= 0) {
            ::close(m_Marker);
            m_Marker = -1;
        }
    }
    return m_Folder;
}

CDataLayer::ConnectStatus CReadOnlyDatabase::OpenSnapshot(const std::string& path, int busyTimeoutMs) {
    Close();
    const std::string folder = WorkFolder();
    if (folder.empty()) {
        return CDataLayer::ConnectOpenFailed;
    }
    m_ReadsCopy = true;
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
