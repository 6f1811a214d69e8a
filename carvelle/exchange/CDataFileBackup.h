#pragma once
// A copy of a data file taken under a read transaction (CDataFileCopy), safe while the program has
// the file open. The file is opened as any reader opens it, so a write that a crash cut short is undone
// first. The copy is written as "<name>.partial" beside its final name, passes the full integrity
// check, and only then gets its name (CPartialCopy), so the name never holds a half-written copy.
// A folder as destination gets "<data file's base name> YYYY-MM-DD.dat" in it, "-2", "-3" when
// taken; a destination file that exists is left alone unless it is to be replaced.

#include "datastore/CDataLayer.h"

#include <QDate>
#include <QString>

class CDataFileBackup {
public:
    enum Result {
        ResultOK,
        ResultSameFile,
        ResultSourceNotOpened,
        ResultBusy,
        ResultWriteFailed,
        ResultNotVerified,
        ResultExists,
    };

    // How long a copy waits for another program's write to end before it gives up.
    int busyTimeoutMs = CDataLayer::BusyTimeoutMs;
    // An existing destination file is replaced (in one step) rather than left alone.
    bool replace = false;

    Result Backup(const QString& source, const QString& destination);
    // The reason for the last failure, for the user.
    const QString& Problem() const { return m_Problem; }
    // Where the last copy went (a folder as destination gets the dated name in it).
    const QString& Destination() const { return m_Destination; }

    // "My Vehicles 2024-03-05.dat" beside the data file, or the first of "-2", "-3"... not taken.
    static QString SuggestedPath(const QString& dataFile, const QDate& day);
    // The name a folder's copies start with: the data file's name without its extension.
    static QString Stem(const QString& dataFile);

private:
    Result Fail(Result result, const QString& destination, const QString& detail);
    // Copies every page of source into the empty database at target.
    Result Copy(const QString& source, const QString& target);

    QString m_Problem;
    QString m_Destination;
};
