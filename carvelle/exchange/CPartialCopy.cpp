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
#include <unistd.h>

namespace {

// More copies of one day than anybody keeps; beyond, something is wrong.
constexpr int kMaxCopiesPerDay = 999;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The files the engine keeps beside a database while it writes.
void RemoveWithCompanions(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        ::unlink(Native(path + QLatin1String(suffix)).constData());
}

// Renames, replacing a file of that name only when asked to.
int Rename(const QByteArray& from, const QByteArray& to, bool replace) {
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
        if (!QFileInfo::exists(path))
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
    m_Verdict = VerdictSound;
    const QFileInfo target(destination);
    const bool folder = target.isDir() || destination.endsWith(u'/');
    const QString folderPath = folder ? target.absoluteFilePath() : target.absolutePath();
    if (!QFileInfo(folderPath).isDir()) {
        m_Detail = folderPath;
        return ResultNoFolder;
    }
    const QString sourcePath = QFileInfo(source).canonicalFilePath();

    if (!folder) {
        m_Final = target.absoluteFilePath();
        if (target.exists() && !sourcePath.isEmpty() && target.canonicalFilePath() == sourcePath)
            return ResultSameFile;
        if (target.exists() && !replace)
            return ResultExists;
        m_Replace = replace;
        const Result claimed = Claim(m_Final);
        if (claimed == ResultOK)
            RemoveLeftovers(folderPath, stem, target.fileName());
        return claimed;
    }

    const QDir dir(folderPath);
    for (int n = 1; n <= kMaxCopiesPerDay; ++n) {
        const QString path = dir.filePath(DatedName(stem, day, n));
        if (QFileInfo::exists(path))
            continue;
        const Result claimed = Claim(path);
        if (claimed == ResultBusy)
            continue; // another run is making this one
        if (claimed != ResultOK)
            return claimed;
        m_Final = path;
        RemoveLeftovers(folderPath, stem, QString());
        return ResultOK;
    }
    return ResultNoFreeName;
}

CPartialCopy::Result CPartialCopy::Claim(const QString& finalPath) {
    const QString partial = finalPath + QStringLiteral(".partial");
    const QByteArray native = Native(partial);
    // A leftover may be removed by a cleaning run between the open and the lock; then again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            m_Detail = ErrnoText();
            return ResultWriteFailed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            m_Detail = ErrnoText();
            ::close(fd);
            return busy ? ResultBusy : ResultWriteFailed;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) != 0 || ::stat(native.constData(), &named) != 0 ||
            held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
            ::close(fd);
            continue;
        }
        // What a killed run left is started afresh, its journal too: the engine would undo
        // that journal into the new copy.
        if (::ftruncate(fd, 0) != 0 || ::fchmod(fd, 0600) != 0) {
            m_Detail = ErrnoText();
            ::close(fd);
            return ResultWriteFailed;
        }
        for (const char* suffix : {"-journal", "-wal", "-shm"})
            ::unlink(Native(partial + QLatin1String(suffix)).constData());
        m_Fd = fd;
        m_Partial = partial;
        return ResultOK;
    }
    m_Detail = partial;
    return ResultBusy;
}

void CPartialCopy::RemoveLeftovers(const QString& folder, const QString& stem, const QString& finalName) {
    // This naming's partial files, and the hidden temporaries that earlier versions left.
    const QString dated =
        QRegularExpression::escape(stem) + QStringLiteral(" \\d{4}-\\d{2}-\\d{2}(-\\d+)?\\.dat");
    QString names = dated;
    if (!finalName.isEmpty())
        names = QStringLiteral("(%1|%2)").arg(dated, QRegularExpression::escape(finalName));
    const QRegularExpression partial(QStringLiteral("^%1\\.partial$").arg(names));
    const QRegularExpression hidden(QStringLiteral("^\\.%1\\.[A-Za-z0-9]{6}$").arg(names));
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dir.filePath(name);
        const bool ours = partial.match(name).hasMatch();
        if (path == m_Partial || (!ours && !hidden.match(name).hasMatch()))
            continue;
        const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        // A hidden name like that may be the user's own file: only a copy of a data file goes.
        char header[16] = {};
        const bool copy =
            ours || (::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
                     std::memcmp(header, "SQLite format 3", sizeof header) == 0);
        // A live run holds its partial file locked.
        if (copy && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            RemoveWithCompanions(path);
        ::close(fd);
    }
}

CPartialCopy::Result CPartialCopy::Finish(QFileDevice::Permissions permissions) {
    if (m_Fd < 0)
        return ResultWriteFailed;
    CDataFileCheck check;
    check.busyTimeoutMs = busyTimeoutMs;
    const CDataLayer::ConnectStatus status =
        check.Run(m_Partial.toStdU16String().c_str(), CDataFileCheck::ScopeStructure);
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
    // The copy may be read by whom the file may be read, no more.
    QFile::setPermissions(m_Partial, permissions);
    if (Rename(Native(m_Partial), Native(m_Final), m_Replace) != 0) {
        if (errno == EEXIST)
            return ResultExists; // made meanwhile by someone else
        m_Detail = ErrnoText();
        return ResultWriteFailed;
    }
    SyncFolder(QFileInfo(m_Final).absolutePath());
    m_Finished = true;
    Release();
    return ResultOK;
}

void CPartialCopy::Release() {
    if (!m_Finished && !m_Partial.isEmpty())
        RemoveWithCompanions(m_Partial);
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
