#include "datastore/CDataFileCopy.h"

#include "datastore/CSqlStatement.h"
#include "datastore/HardenConnection.h"
#include "datastore/WriteAheadLog.h"
#include "platform/TextConversion.h"
#include "platform/WideString.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Read and written a megabyte at a time.
constexpr std::int64_t kChunkBytes = std::int64_t{1} << 20;

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

CDataFileCopy::Bytes CDataFileCopy::CopyFileBytes(sqlite3* from, const std::string& target) {
    // Only a file in the usual journal mode holds all of itself in its own bytes; with a
    // write-ahead log the engine's page copy below reads the log too.
    if (MayHoldPagesInLog(from)) {
        return BytesNotTried;
    }
    // The read transaction holds the file as it is: a cut-short write is undone by its first read,
    // and no writer can change a byte before it ends.
    if (sqlite3_exec(from, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return BytesNotTried;
    }
    Bytes result = BytesNotTried;
    std::int64_t length = 0;
    sqlite3_file* file = nullptr;
    {
        CSqlStatement size;
        int rc = size.Prepare(from, "SELECT (SELECT count(*) FROM sqlite_schema), page_count * page_size "
                                    "FROM pragma_page_count(), pragma_page_size()");
        if (rc == SQLITE_OK && (rc = size.Step()) == SQLITE_ROW) {
            length = sqlite3_column_int64(size.Get(), 1);
        } else if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED) {
            // Waited for already: the page copy would only wait again.
            result = BytesBusy;
        }
    }
    // The engine's own handle of the file: a second descriptor of ours would, once closed, take
    // the engine's locks of the file with it.
    if (length > 0 && sqlite3_file_control(from, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK &&
        file && file->pMethods) {
        result = WriteBytes(file, length, target);
    }
    sqlite3_exec(from, "COMMIT", nullptr, nullptr, nullptr);
    return result;
}

CDataFileCopy::Bytes CDataFileCopy::WriteBytes(sqlite3_file* file, std::int64_t length,
                                               const std::string& target) {
    // The target is the empty file the caller made for the copy, never a link.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        m_Problem = std::strerror(errno);
        return BytesWriteFailed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != 0) {
        ::close(fd);
        return BytesNotTried;
    }
    std::vector<char> buffer(kChunkBytes);
    Bytes result = BytesCopied;
    for (std::int64_t at = 0; at < length && result == BytesCopied;) {
        const int chunk = static_cast<int>(std::min<std::int64_t>(kChunkBytes, length - at));
        const int rc = file->pMethods->xRead(file, buffer.data(), chunk, at);
        if (rc != SQLITE_OK) {
            // Short or failing: the engine's page copy says what it is.
            result = BytesNotTried;
            break;
        }
        for (int written = 0; written < chunk;) {
            const ssize_t n = ::pwrite(fd, buffer.data() + written, static_cast<std::size_t>(chunk - written),
                                       static_cast<off_t>(at + written));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                m_Problem = std::strerror(n < 0 ? errno : ENOSPC);
                result = BytesWriteFailed;
                break;
            }
            written += static_cast<int>(n);
        }
        at += chunk;
    }
    if (result == BytesNotTried && ::ftruncate(fd, 0) != 0) {
        m_Problem = std::strerror(errno);
        result = BytesWriteFailed;
    }
    if (::close(fd) != 0 && result == BytesCopied) {
        m_Problem = std::strerror(errno);
        result = BytesWriteFailed;
    }
    return result;
}

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
    const std::string to8 = Utf8(target);
    switch (CopyFileBytes(from.get(), to8)) {
    case BytesCopied:
        return CopyOK;
    case BytesWriteFailed:
        return CopyWriteFailed;
    case BytesBusy:
        return CopyBusy;
    case BytesNotTried:
        break;
    }
    Db to;
    if ((rc = OpenDb(to8, SQLITE_OPEN_READWRITE, to)) != SQLITE_OK) {
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
