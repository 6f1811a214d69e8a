#pragma once
// Where a copy of a data file (a backup, a repaired copy) is written: under "<final name>.partial"
// beside its final name, one fixed name, so that a rerun replaces what a killed run left; checked
// with the engine's full integrity check; then given its name in one step. Leftovers of earlier
// killed runs of the same naming are removed, unless a live run is still writing them.
//
// A folder as destination gets "<stem> YYYY-MM-DD.dat", or "<stem> YYYY-MM-DD-2.dat" and so on
// when that name is taken. A file as destination that exists is left alone unless replacing it
// was asked for; the data file itself is never replaced.

#include "datastore/CDataLayer.h"

#include <QDate>
#include <QFileDevice>
#include <QString>

class CPartialCopy {
public:
    enum Result {
        ResultOK,
        ResultExists,      // the file exists and was not to be replaced
        ResultSameFile,    // the destination is the data file itself
        ResultNoFolder,    // the destination's folder does not exist
        ResultNoFreeName,  // every dated name is taken
        ResultBusy,        // another run writes the same name right now
        ResultWriteFailed, // Detail() says why
        ResultNotVerified, // the copy did not pass the check; Verdict() says how
    };
    // How the copy failed its check.
    enum Verdict { VerdictSound, VerdictNotDataFile, VerdictOtherTables, VerdictDamaged };

    CPartialCopy() = default;
    ~CPartialCopy(); // removes the partial file unless the copy was finished
    CPartialCopy(const CPartialCopy&) = delete;
    CPartialCopy& operator=(const CPartialCopy&) = delete;

    // Picks the final name and creates the partial file, empty and held for this run.
    Result Open(const QString& source, const QString& destination, const QString& stem, const QDate& day,
                bool replace);
    // Where the copy is written now, and the name it gets.
    const QString& PartialPath() const { return m_Partial; }
    const QString& FinalPath() const { return m_Final; }

    // Checks the written copy and gives it its final name, with the given permissions.
    Result Finish(QFileDevice::Permissions permissions);
    Verdict GetVerdict() const { return m_Verdict; }
    const QString& Detail() const { return m_Detail; }
    // What went wrong, in words, for a result other than ResultOK and ResultNotVerified (whose
    // words depend on what was copied).
    QString ProblemText(Result result) const;

    // The dated name in the folder: "<stem> 2024-03-05.dat", or with "-n" when n > 1.
    static QString DatedName(const QString& stem, const QDate& day, int n);
    // The first dated name in the folder that no file has yet.
    static QString FreeDatedPath(const QString& folder, const QString& stem, const QDate& day);

    // Busy waits of the check on the copy; tests shorten it.
    int busyTimeoutMs = CDataLayer::BusyTimeoutMs;

private:
    // Creates and locks the partial file for the final name; ResultBusy when a live run has it.
    Result Claim(const QString& finalPath);
    void RemoveLeftovers(const QString& folder, const QString& stem, const QString& finalName);
    void Release();

    QString m_Final;
    QString m_Partial;
    int m_Fd = -1;
    bool m_Finished = false;
    bool m_Replace = false;
    Verdict m_Verdict = VerdictSound;
    QString m_Detail;
};
