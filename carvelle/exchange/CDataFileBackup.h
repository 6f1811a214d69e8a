#pragma once
// A copy of a data file taken with SQLite's online backup, safe while the program has the file
// open: it is written under a temporary name beside the destination, opened as a data file to
// verify it, and only then renamed, so the chosen name never holds a half-written copy.

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
        ResultNotVerified
    };

    // How long a copy waits for another program's write to end before it gives up.
    int busyTimeoutMs = 5000;

    Result Backup(const QString& source, const QString& destination);
    // The reason for the last failure, for the user.
    const QString& Problem() const { return m_Problem; }
    // Where the last copy went (a folder as destination gets the suggested name in it).
    const QString& Destination() const { return m_Destination; }

    // "My Vehicles 2024-03-05.dat" beside the data file.
    static QString SuggestedPath(const QString& dataFile, const QDate& day);

private:
    Result Fail(Result result, const QString& destination, const QString& detail);

    QString m_Problem;
    QString m_Destination;
};
