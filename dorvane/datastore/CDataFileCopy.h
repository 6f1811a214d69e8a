#pragma once
// A page-for-page copy of a data file into a new, empty file, safe while another connection has the
// file open: its bytes as they are under a read transaction, or the engine's online backup where
// the file has a write-ahead log. The data file is opened as any reader opens
// it, with the safeguards of every connection of the library, so a write that a crash cut short
// is undone before the first page is read; a file this user may only read is read as it is. The
// copy is only written, never checked: its caller checks it (CDataFileCheck) before it keeps it.

#include "DorvaneExport.h"
#include "datastore/CDataLayer.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_file;

class DORVANE_API CDataFileCopy {
public:
    enum Result {
        CopyOK,
        CopySourceNotRead, // SourceStatus() says why
        CopyBusy,          // another program's write did not end within the wait
        CopyWriteFailed,   // Problem() gives the engine's reason
    };

    // Copies every page of source into target, an existing empty file that the caller removes
    // when this fails. target is written without a journal and without syncs: it is the caller's
    // alone until it has been checked and made durable.
    Result Run(LPCWSTR source, LPCWSTR target);

    // Why the source could not be read: ConnectOpenFailed (not opened), ConnectNotDataFile or
    // ConnectReadOnly (an interrupted write to undo in a file this user may not write).
    CDataLayer::ConnectStatus SourceStatus() const { return m_SourceStatus; }
    // The engine's reason for a failed write, UTF-8.
    const std::string& Problem() const { return m_Problem; }

    // How long the copy waits for another program's write to end before it gives up.
    int busyTimeoutMs = CDataLayer::BusyTimeoutMs;

private:
    enum Bytes { BytesCopied, BytesNotTried, BytesWriteFailed, BytesBusy };
    // The file's bytes as they are under a read transaction, read through the engine's own handle
    // and written into the empty target: a copy at the speed of the disk. BytesNotTried where the
    // engine's page copy has to do it (a write-ahead log, a read that fails); the target is then
    // still empty.
    Bytes CopyFileBytes(sqlite3* from, const std::string& target);
    Bytes WriteBytes(sqlite3_file* file, std::int64_t length, const std::string& target);

    CDataLayer::ConnectStatus m_SourceStatus = CDataLayer::ConnectOK;
    std::string m_Problem;
};
