#pragma once
// A data file opened for reading only, as the full check and the repair read it: nothing the file
// brings may run, and nothing is ever written to it. When the last write to the file was cut
// short, its journal holds the pages as they were; undoing that in place would write to the file,
// so the file is then read from a private copy in which the journal is undone. The copy, and what
// else a reader keeps aside, is kept in a folder of the temporary folder, "carvelle-check-XXXXXX",
// marked by a file held locked while it is in use; a run removes such folders that a killed run
// left.

#include "datastore/CDataLayer.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <mutex>
#include <string>

struct sqlite3;

class CReadOnlyDatabase {
public:
    CReadOnlyDatabase() = default;
    ~CReadOnlyDatabase();
    CReadOnlyDatabase(const CReadOnlyDatabase&) = delete;
    CReadOnlyDatabase& operator=(const CReadOnlyDatabase&) = delete;

    // ConnectOK, or why the file cannot be read: missing, not readable, not a database at all,
    // or ConnectOpenFailed (busy past the timeout, a failing disk, out of memory).
    CDataLayer::ConnectStatus Open(LPCWSTR path, int busyTimeoutMs);
    // Why the file cannot be read at all: missing, not readable, a folder; ConnectOK when it can
    // be tried.
    static CDataLayer::ConnectStatus ReadableStatus(LPCWSTR path);
    void Close();
    sqlite3* Get() const { return m_DB; }
    // True when the file is read from a copy with its interrupted write undone.
    bool ReadsUndoneCopy() const { return m_ReadsCopy; }
    // A private folder in the temporary folder, made on first use and removed with the rest on
    // close (empty when it cannot be made).
    const std::string& WorkFolder();

    // From any thread: makes the running statement, and every later one, fail soon.
    void Interrupt();
    bool Interrupted() const { return m_Interrupted; }

private:
    CDataLayer::ConnectStatus OpenHandle(const std::string& path, int busyTimeoutMs);
    CDataLayer::ConnectStatus OpenSnapshot(const std::string& path, int busyTimeoutMs);

    sqlite3* m_DB = nullptr;
    std::string m_Folder; // the private folder, removed on close
    bool m_ReadsCopy = false;
    int m_Marker = -1; // the marker file in it, locked while the folder is used
    std::mutex m_Lock; // guards m_DB against an interrupt from another thread
    std::atomic<bool> m_Interrupted{false};
};
