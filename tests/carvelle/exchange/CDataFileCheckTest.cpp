// The full check's own copies of the data file.

#include "carvelle/exchange/DataFileCheckTestSupport.h"
#include "support/DamagedFiles.h"

#include "datastore/CDataFileCheck.h"
#include "platform/TextConversion.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TEST_F(DataFileCheckTest, TheCopiesOfKilledChecksAreRemovedButNoOtherFolder) {
    AddLog(3);
    m_Layer.Disconnect();
    const std::string path = m_File.Path();
    LeaveHotJournal(path);
    const QString temporary = Folder() + QStringLiteral("/tmp");
    ASSERT_TRUE(QDir().mkpath(temporary));
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary));

    // A killed run's copy with its marker, a live run's (its marker held), and a folder of the
    // same shape without a marker, which is not ours.
    auto leave = [&](const QString& name, bool marker) {
        const QString folder = temporary + u'/' + name;
        EXPECT_TRUE(QDir().mkpath(folder));
        QFile data(folder + QStringLiteral("/data"));
        EXPECT_TRUE(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(4096, 'x'));
        if (marker)
            QFile(folder + QStringLiteral("/.carvelle-check")).open(QIODevice::WriteOnly);
        return folder;
    };
    const QString killed = leave(QStringLiteral("carvelle-check-Ab12Cd"), true);
    const QString live = leave(QStringLiteral("carvelle-check-Ef34Gh"), true);
    const QString foreign = leave(QStringLiteral("carvelle-check-Ij56Kl"), false);
    const int held =
        ::open(QFile::encodeName(live + QStringLiteral("/.carvelle-check")).constData(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    CDataFileCheck check;
    ASSERT_EQ(check.Run(Utf8ToWide(path).c_str()), CDataLayer::ConnectOK);
    EXPECT_TRUE(check.SawUndoneWrite());
    ::close(held);
    qputenv("TMPDIR", previous);
    if (previous.isNull())
        qunsetenv("TMPDIR");
    // The check's own copy went with it.
    EXPECT_EQ(
        QDir(temporary).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList({QStringLiteral("carvelle-check-Ef34Gh"), QStringLiteral("carvelle-check-Ij56Kl")}));
    EXPECT_FALSE(QFileInfo::exists(killed));
    EXPECT_TRUE(QFileInfo::exists(live + QStringLiteral("/data")));
    EXPECT_TRUE(QFileInfo::exists(foreign + QStringLiteral("/data")));
}
