#pragma once
// A repaired copy of a damaged data file where the user wants it: the rows are read without the
// indexes and written to "<name>.partial" (CDataFileRepair), the copy must pass the full
// integrity check and open as a data file, and only then gets its name. The damaged file is only
// read. A folder as destination gets "<data file's base name> repaired YYYY-MM-DD.dat" in it.

#include "datastore/CDataFileRepair.h"

#include <QDate>
#include <QString>
#include <QStringList>

class CRepairedCopy {
public:
    enum Result { ResultOK, ResultSourceNotRead, ResultExists, ResultFailed };

    // An existing destination file is replaced (in one step) rather than left alone.
    bool replace = false;
    int busyTimeoutMs = CDataLayer::BusyTimeoutMs;

    Result Write(const QString& source, const QString& destination);
    // Why it failed, for the user.
    const QString& Problem() const { return m_Problem; }
    // Where the copy went.
    const QString& Destination() const { return m_Destination; }
    // What the repair kept and left out, table by table.
    QStringList Summary() const;

    // "My Vehicles repaired 2024-03-05.dat" beside the data file (or "-2", "-3"... when taken).
    static QString SuggestedPath(const QString& dataFile, const QDate& day);

private:
    static QString Stem(const QString& dataFile);

    CDataFileRepair m_Repair;
    QString m_Problem;
    QString m_Destination;
};
