#pragma once
// Where a copy of a data file (a backup, a repaired copy) is written: under a new name of its own
// beside its final name, "<final name>.XXXXXX.partial", made with O_EXCL so that no existing file is
// ever opened, truncated, chmod-ed or removed; checked with the engine's full integrity check; then
// given its name in one step. Leftovers of earlier killed runs are removed only when they are ours:
// a regular file of this user, not a link, a copy of a data file, not held by a live run, and never
// the data file itself.
//
// A folder as destination gets "<stem> YYYY-MM-DD.dat", or "<stem> YYYY-MM-DD-2.dat" and so on
// when that name is taken. A file as destination that exists is left alone unless replacing it
// was asked for; the data file itself (by device and inode, so a hard link too) is never replaced,
// and a link, folder or device at the destination is refused.

#include "datastore/CDataLayer.h"

#include <QDate>
#include <QString>

#include <sys/types.h>

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
        ResultNotFile,     // the destination is a link, a folder or a device: Detail() says which
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

    // Checks the written copy and gives it its final name, with the source's permissions (never
    // more than the source has).
    Result Finish();
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
    // Refuses a destination that exists as anything but a regular file other than the source.
    Result CheckDestination(const QString& path);
    // Creates the partial file for the final name under a new name, locked for this run.
    Result Create(const QString& finalPath);
    void RemoveLeftovers(const QString& folder, const QString& stem, const QString& finalName);
    // Gives the partial file its final name; in a folder the next free dated name when it is taken.
    Result Rename();
    void Release();

    QString m_Final;
    QString m_Partial;
    QString m_Folder; // the destination folder when the name is a dated one
    QString m_Stem;
    QDate m_Day;
    int m_Fd = -1;
    bool m_Finished = false;
    bool m_Replace = false;
    bool m_HaveSource = false;
    dev_t m_SourceDevice = 0;
    ino_t m_SourceInode = 0;
    mode_t m_SourceMode = 0600;
    Verdict m_Verdict = VerdictSound;
    QString m_Detail;
};
