#include "exchange/CPartialCopy.h"

#include "core/CStringTable.h"
#include "datastore/CDataFileCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

// More copies of one day than anybody keeps; beyond, something is wrong.
constexpr int kMaxCopiesPerDay = 999;
// New names tried when the engine's companion names of a fresh one are taken.
constexpr int kNameAttempts = 16;

const char* const kCompanions[] = {"-journal", "-wal", "-shm"};

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool Exists(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

// Renames, replacing a file of that name only when asked to.
int RenameFile(const QByteArray& from, const QByteArray& to, bool replace) {
    if (replace)
        return ::rename(from.constData(), to.constData());
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // A file system without the flag: a link fails as well when the name is taken.
    if (::link(from.constData(), to.constData()) != 0)
        return -1;
    ::unlink(from.constData());
    return 0;
}

void SyncFolder(const QString& folder) {
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

CPartialCopy::~CPartialCopy() {
    Release();
}

QString CPartialCopy::DatedName(const QString& stem, const QDate& day, int n) {
    QString name = stem + u' ' + day.toString(QStringLiteral("yyyy-MM-dd"));
    if (n > 1)
        name += u'-' + QString::number(n);
    return name + QStringLiteral(".dat");
}

QString CPartialCopy::FreeDatedPath(const QString& folder, const QString& stem, const QDate& day) {
    const QDir dir(folder);
    for (int n = 1; n <= kMaxCopiesPerDay; ++n) {
        const QString path = dir.filePath(DatedName(stem, day, n));
        if (!Exists(Native(path)))
            return path;
    }
    return dir.filePath(DatedName(stem, day, 1));
}

CPartialCopy::Result CPartialCopy::Open(const QString& source, const QString& destination,
                                        const QString& stem, const QDate& day, bool replace) {
    Release();
    m_Finished = false;
    m_Replace = false;
    m_Detail.clear();
    m_Folder.clear();
    m_Verdict = VerdictSound;
    m_Stem = stem;
    m_Day = day;
    m_SourceMode = 0600;
    struct stat sourceInfo {};
    m_HaveSource = ::stat(Native(source).constData(), &sourceInfo) == 0;
    if (m_HaveSource) {
        m_SourceDevice = sourceInfo.st_dev;
        m_SourceInode = sourceInfo.st_ino;
        m_SourceMode = sourceInfo.st_mode & 0777;
    }

    const QFileInfo target(destination);
    const bool folder = target.isDir() || destination.endsWith(u'/');
    const QString folderPath = folder ? target.absoluteFilePath() : target.absolutePath();
    if (!QFileInfo(folderPath).isDir()) {
        m_Detail = folderPath;
        return ResultNoFolder;
    }

    if (!folder) {
        m_Final = target.absoluteFilePath();
        const Result checked = CheckDestination(m_Final);
        if (checked == ResultExists && replace) {
            m_Replace = true;
        } else if (checked != ResultOK) {
            return checked;
        }
        const Result created = Create(m_Final);
        if (created == ResultOK)
            RemoveLeftovers(folderPath, stem, target.fileName());
        return created;
    }

    m_Folder = folderPath;
    const QString path = FreeDatedPath(folderPath, stem, day);
    if (Exists(Native(path)))
        return ResultNoFreeName;
    const Result created = Create(path);
    if (created != ResultOK)
        return created;
    m_Final = path;
    RemoveLeftovers(folderPath, stem, QString());
    return ResultOK;
}

CPartialCopy::Result CPartialCopy::CheckDestination(const QString& path) {
    const QByteArray native = Native(path);
    struct stat named {};
    if (::lstat(native.constData(), &named) != 0) {
        if (errno == ENOENT)
            return ResultOK;
        m_Detail = ErrnoText();
        return ResultWriteFailed;
    }
    struct stat reached = named;
    const bool link = S_ISLNK(named.st_mode);
    if (link && ::stat(native.constData(), &reached) != 0)
        reached = named;
    if (m_HaveSource && reached.st_dev == m_SourceDevice && reached.st_ino == m_SourceInode)
        return ResultSameFile;
    if (link) {
        m_Detail = FormatStringResource(IDS_COPY_IS_LINK, {path});
        return ResultNotFile;
    }
    if (!S_ISREG(named.st_mode)) {
        m_Detail = FormatStringResource(IDS_COPY_NOT_FILE, {path});
        return ResultNotFile;
    }
    return ResultExists;
}

CPartialCopy::Result CPartialCopy::Create(const QString& finalPath) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        QByteArray name = Native(finalPath) + ".XXXXXX.partial";
        // O_EXCL: a fresh file of our own, mode 0600 less what the umask takes away.
        const int fd = ::mkostemps(name.data(), static_cast<int>(std::strlen(".partial")), O_CLOEXEC);
        if (fd < 0) {
            m_Detail = ErrnoText();
            return ResultWriteFailed;
        }
        struct stat held {};
        if (::fstat(fd, &held) != 0 ||
            (m_HaveSource && held.st_dev == m_SourceDevice && held.st_ino == m_SourceInode)) {
            // Cannot be, as the name is new; never write into the source all the same.
            ::close(fd);
            return ResultSameFile;
        }
        // The engine would take a journal found beside it as its own.
        bool companion = false;
        for (const char* suffix : kCompanions)
            companion = companion || Exists(name + suffix);
        if (companion) {
            ::unlink(name.constData());
            ::close(fd);
            continue;
        }
        // Held while this run writes, so that a cleaning run leaves it alone.
        ::flock(fd, LOCK_EX | LOCK_NB);
        m_Fd = fd;
        m_Partial = QFile::decodeName(name);
        return ResultOK;
    }
    m_Detail = finalPath;
    return ResultBusy;
}

void CPartialCopy::RemoveLeftovers(const QString& folder, const QString& stem, const QString& finalName) {
    // This naming's partial files, with or without the unique part, their companions, and the
    // hidden temporaries that earlier versions left.
    const QString dated =
        QRegularExpression::escape(stem) + QStringLiteral(" \\d{4}-\\d{2}-\\d{2}(-\\d+)?\\.dat");
    QString names = dated;
    if (!finalName.isEmpty())
        names = QStringLiteral("(%1|%2)").arg(dated, QRegularExpression::escape(finalName));
    const QRegularExpression partial(
        QStringLiteral("^%1(\\.[A-Za-z0-9]{6})?\\.partial(-journal|-wal|-shm)?$").arg(names));
    const QRegularExpression hidden(QStringLiteral("^\\.%1\\.[A-Za-z0-9]{6}$").arg(names));
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    // The copies first, then the companions whose copy is gone: a live run's journal stays.
    for (const bool companions : {false, true}) {
        for (const QString& name : entries) {
            const QRegularExpressionMatch match = partial.match(name);
            const bool isHidden = !match.hasMatch() && hidden.match(name).hasMatch();
            const bool isCompanion = match.hasMatch() && !name.endsWith(QLatin1String(".partial"));
            if (companions != isCompanion || (!match.hasMatch() && !isHidden))
                continue;
            const QString path = dir.filePath(name);
            if (path == m_Partial || path.startsWith(m_Partial + u'-'))
                continue;
            const QByteArray native = Native(path);
            if (isCompanion) {
                const QString copy = path.left(path.lastIndexOf(u'-'));
                if (Exists(Native(copy)))
                    continue;
            }
            const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
            if (fd < 0)
                continue;
            // Only ours: a regular file of this user with no other name, never the data file.
            struct stat held {};
            bool ours = ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
                        held.st_nlink == 1 &&
                        !(m_HaveSource && held.st_dev == m_SourceDevice && held.st_ino == m_SourceInode);
            if (ours && !isCompanion) {
                // A copy of a data file, or a run killed before its first page (a hidden name of
                // that shape may be the user's own file).
                char header[16] = {};
                ours = (held.st_size == 0 && !isHidden) ||
                       (::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
                        std::memcmp(header, "SQLite format 3", sizeof header) == 0);
            }
            // A live run holds its partial file locked; the name must still be the file looked at.
            struct stat named {};
            if (ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(native.constData(), &named) == 0 &&
                named.st_dev == held.st_dev && named.st_ino == held.st_ino)
                ::unlink(native.constData());
            ::close(fd);
        }
    }
}

CPartialCopy::Result CPartialCopy::Finish() {
    if (m_Fd < 0)
        return ResultWriteFailed;
    // The disk writes the copy while it is checked: the check reads it from memory, the sync
    // waits for the disk. The copy gets its name only once both are done.
    int synced = -1;
    int syncError = 0;
    const auto syncCopy = [fd = m_Fd, &synced, &syncError] {
        synced = ::fsync(fd);
        syncError = errno;
    };
    std::thread sync;
    try {
        sync = std::thread(syncCopy);
    } catch (const std::system_error&) {
        syncCopy(); // no thread to spare: one after the other
    }
    CDataFileCheck check;
    check.busyTimeoutMs = busyTimeoutMs;
    const CDataLayer::ConnectStatus status =
        check.Run(m_Partial.toStdU16String().c_str(), CDataFileCheck::ScopeStructure);
    if (sync.joinable())
        sync.join();
    if (status == CDataLayer::ConnectNotDataFile) {
        m_Verdict = VerdictNotDataFile;
        return ResultNotVerified;
    }
    if (status != CDataLayer::ConnectOK) {
        m_Verdict = VerdictDamaged;
        return ResultNotVerified;
    }
    if (!check.IsSound()) {
        m_Verdict = VerdictOtherTables;
        for (const CDataFileCheck::Finding& finding : check.Findings()) {
            if (finding.kind != CDataFileCheck::Finding::Table &&
                finding.kind != CDataFileCheck::Finding::MetaData)
                m_Verdict = VerdictDamaged;
        }
        return ResultNotVerified;
    }
    // On the disk before it has the name; the copy may be read by whom the file may be read, no
    // more.
    if (synced != 0) {
        errno = syncError;
        m_Detail = ErrnoText();
        return ResultWriteFailed;
    }
    if (::fchmod(m_Fd, m_SourceMode) != 0) {
        m_Detail = ErrnoText();
        return ResultWriteFailed;
    }
    const Result renamed = Rename();
    if (renamed != ResultOK)
        return renamed;
    SyncFolder(QFileInfo(m_Final).absolutePath());
    m_Finished = true;
    Release();
    return ResultOK;
}

CPartialCopy::Result CPartialCopy::Rename() {
    const QByteArray partial = Native(m_Partial);
    if (m_Folder.isEmpty()) {
        // What is at the name now, not what was there when the copy began.
        const Result checked = CheckDestination(m_Final);
        if (checked != ResultOK && !(checked == ResultExists && m_Replace))
            return checked;
        if (RenameFile(partial, Native(m_Final), m_Replace) == 0)
            return ResultOK;
        if (errno == EEXIST)
            return ResultExists; // made meanwhile by someone else
        m_Detail = ErrnoText();
        return ResultWriteFailed;
    }
    // A dated name taken meanwhile, by another run into the same folder: the next one.
    for (int attempt = 0; attempt < kMaxCopiesPerDay; ++attempt) {
        if (RenameFile(partial, Native(m_Final), false) == 0)
            return ResultOK;
        if (errno != EEXIST) {
            m_Detail = ErrnoText();
            return ResultWriteFailed;
        }
        const QString next = FreeDatedPath(m_Folder, m_Stem, m_Day);
        if (Exists(Native(next)))
            return ResultNoFreeName;
        m_Final = next;
    }
    return ResultNoFreeName;
}

void CPartialCopy::Release() {
    if (!m_Finished && !m_Partial.isEmpty()) {
        // Our own name: made by this run, so nobody else's file.
        const QByteArray partial = Native(m_Partial);
        ::unlink(partial.constData());
        for (const char* suffix : kCompanions)
            ::unlink((partial + suffix).constData());
    }
    if (m_Fd >= 0) {
        ::close(m_Fd);
        m_Fd = -1;
    }
    m_Partial.clear();
}

QString CPartialCopy::ProblemText(Result result) const {
    switch (result) {
    case ResultSameFile:
        return LoadStringResource(IDS_BACKUP_SAME_FILE);
    case ResultExists:
        return FormatStringResource(IDS_BACKUP_EXISTS, {m_Final});
    case ResultNoFolder:
        return FormatStringResource(IDS_BACKUP_NO_FOLDER, {m_Detail});
    case ResultNoFreeName:
        return LoadStringResource(IDS_BACKUP_NO_FREE_NAME);
    case ResultBusy:
        return LoadStringResource(IDS_BACKUP_IN_PROGRESS);
    default:
        return m_Detail;
    }
}
