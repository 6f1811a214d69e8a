// Connecting to data files good and bad, the store ID, transactions and the helper factory.

#include "dorvane/datastore/CDataLayer.h"
#include "platform/TextConversion.h"
#include "support/CDataLayerTestPeer.h"
#include "support/OpenFiles.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class ConnectTest : public ::testing::Test {
protected:
    // A further file in the test's folder.
    std::string PathOf(const std::string& name) const { return m_File.Folder() + "/" + name; }

    // A copy of the template with some SQL applied to it.
    std::string MakeVariant(const std::string& name, const std::string& sql) {
        const std::string path = PathOf(name);
        fs::copy_file(m_File.Path(), path);
        SqliteFile(path).Exec(sql);
        return path;
    }

    // A valid SQLite file that is not ours.
    std::string MakeForeign(const std::string& name, const std::string& sql) {
        const std::string path = PathOf(name);
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr));
        sqlite3_close(db);
        return path;
    }

    // Connecting fails with the status (and the finer reason, where one is given), leaves nothing
    // open and writes nothing to the file.
    void ExpectRefused(const std::string& path, CDataLayer::ConnectStatus status,
                       CDataLayer::ConnectStatus reason = CDataLayer::ConnectOK) {
        const bool existed = fs::exists(path);
        const std::string before = existed ? ReadAll(path) : std::string();
        EXPECT_EQ(status, m_Layer.Connect(Utf8ToWide(path).c_str())) << path;
        EXPECT_EQ(reason == CDataLayer::ConnectOK ? status : reason, m_Layer.GetConnectReason()) << path;
        EXPECT_FALSE(m_Layer.IsConnected());
        EXPECT_EQ(std::u16string(), m_Layer.GetDBPath());
        EXPECT_EQ(0u, m_Layer.GetStoreID());
        EXPECT_EQ(0, CountOpenDescriptors(path)) << path;
        EXPECT_EQ(existed, fs::exists(path)) << path;
        if (existed && fs::is_regular_file(path)) {
            EXPECT_EQ(before, ReadAll(path)) << path;
        }
    }

    TempDataFile m_File;
    CDataLayer m_Layer;
};

TEST_F(ConnectTest, ConnectsToTheTemplateAndIssuesAStoreIDThatLasts) {
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    EXPECT_TRUE(m_Layer.IsConnected());
    EXPECT_EQ(m_File.WidePath(), m_Layer.GetDBPath());
    EXPECT_EQ(std::u16string(u"1.0"), m_Layer.GetDBVersion());
    const ULONG storeID = m_Layer.GetStoreID();
    EXPECT_NE(0u, storeID);
    EXPECT_EQ(1, CountOpenDescriptors(m_File.Path()));

    m_Layer.Disconnect();
    EXPECT_FALSE(m_Layer.IsConnected());
    EXPECT_EQ(0, CountOpenDescriptors(m_File.Path()));
    // Path and version stay until the next connect.
    EXPECT_EQ(m_File.WidePath(), m_Layer.GetDBPath());
    EXPECT_EQ(static_cast<std::int64_t>(storeID),
              SqliteFile(m_File.Path()).Integer("SELECT Value FROM MetaData WHERE ID=1"));

    CDataLayer again;
    ASSERT_EQ(CDataLayer::ConnectOK, again.Connect(m_File.WidePath().c_str()));
    EXPECT_EQ(storeID, again.GetStoreID());
}

TEST_F(ConnectTest, StoreIDsFromTwoToThe31OnAreReadUnsigned) {
    SqliteFile(m_File.Path()).Exec("UPDATE MetaData SET Value=4000000000 WHERE ID=1");
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    EXPECT_EQ(4000000000u, m_Layer.GetStoreID());
}

TEST_F(ConnectTest, VersionTextIsCutToFourCharactersWithoutSplittingAPair) {
    const std::string longVersion =
        MakeVariant("long.dat", "UPDATE MetaData SET Value='12345678' WHERE ID=3");
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(Utf8ToWide(longVersion).c_str()));
    EXPECT_EQ(std::u16string(u"1234"), m_Layer.GetDBVersion());

    const std::string pair =
        MakeVariant("pair.dat", "UPDATE MetaData SET Value='abc\xF0\x9F\x9A\x97' WHERE ID=3");
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(Utf8ToWide(pair).c_str()));
    EXPECT_EQ(std::u16string(u"abc"), m_Layer.GetDBVersion());
}

TEST_F(ConnectTest, MissingOrEmptyPathsAreNotFoundAndNothingIsCreated) {
    EXPECT_EQ(CDataLayer::ConnectFileNotFound, m_Layer.Connect(u""));
    EXPECT_EQ(CDataLayer::ConnectFileNotFound, m_Layer.Connect(nullptr));
    ExpectRefused(PathOf("missing.dat"), CDataLayer::ConnectFileNotFound);
    ExpectRefused(PathOf("no such folder/missing.dat"), CDataLayer::ConnectFileNotFound);
}

TEST_F(ConnectTest, ReadOnlyFileIsRefusedEvenWhenValid) {
    fs::permissions(m_File.Path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ExpectRefused(m_File.Path(), CDataLayer::ConnectReadOnly);
    EXPECT_EQ(0, SqliteFile(m_File.Path()).Integer("SELECT Value FROM MetaData WHERE ID=1"));
    // Without the read bit it cannot be read at all, which is what the user must hear; Connect
    // itself keeps to its five statuses.
    fs::permissions(m_File.Path(), fs::perms::owner_read, fs::perm_options::remove);
    ExpectRefused(m_File.Path(), CDataLayer::ConnectOpenFailed, CDataLayer::ConnectNotReadable);
}

TEST_F(ConnectTest, BrokenFilesAreInvalidAndLeftUntouched) {
    // An empty file and a text file are no database at all, not a data file of another version.
    const std::string empty = PathOf("empty.dat");
    WriteAll(empty, "");
    ExpectRefused(empty, CDataLayer::ConnectInvalidDatabase, CDataLayer::ConnectNotDataFile);
    EXPECT_EQ(0u, fs::file_size(empty));

    const std::string text = PathOf("text.dat");
    WriteAll(text, std::string(3000, 'x') + "\nnot a database\n");
    ExpectRefused(text, CDataLayer::ConnectInvalidDatabase, CDataLayer::ConnectNotDataFile);

    // Cut inside the first page, and after the pages that hold MetaData.
    const std::string whole = ReadAll(m_File.Path());
    ASSERT_GT(whole.size(), 4096u);
    const std::string header = PathOf("header.dat");
    WriteAll(header, whole.substr(0, 100));
    ExpectRefused(header, CDataLayer::ConnectInvalidDatabase);
    const std::string half = PathOf("half.dat");
    WriteAll(half, whole.substr(0, whole.size() - 1024));
    ExpectRefused(half, CDataLayer::ConnectInvalidDatabase);

    // Valid SQLite files that are not ours.
    ExpectRefused(MakeForeign("foreign.dat", "CREATE TABLE Foo(a, b); INSERT INTO Foo VALUES(1, 2);"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeForeign("nomark.dat", "CREATE TABLE MetaData(ID INTEGER PRIMARY KEY, Value);"
                                            "INSERT INTO MetaData VALUES(1, 0);"
                                            "INSERT INTO MetaData VALUES(2, 'qdx');"
                                            "INSERT INTO MetaData VALUES(3, '1.0');"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeForeign("novalue.dat", "CREATE TABLE MetaData(ID INTEGER PRIMARY KEY, Other);"
                                             "INSERT INTO MetaData VALUES(1, 0);"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("tworows.dat", "DELETE FROM MetaData WHERE ID=3"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("nullversion.dat", "UPDATE MetaData SET Value=NULL WHERE ID=3"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("norows.dat", "DELETE FROM MetaData"), CDataLayer::ConnectInvalidDatabase);

    // A folder is no data file either.
    const std::string folder = PathOf("folder.dat");
    fs::create_directory(folder);
    EXPECT_EQ(CDataLayer::ConnectInvalidDatabase, m_Layer.Connect(Utf8ToWide(folder).c_str()));
    EXPECT_EQ(CDataLayer::ConnectNotDataFile, m_Layer.GetConnectReason());
    EXPECT_FALSE(m_Layer.IsConnected());
    EXPECT_EQ(0, CountOpenDescriptors(folder));

    // Nothing stayed open: every broken file can go, and a good file still connects.
    for (const char* name : {"empty.dat", "text.dat", "header.dat", "half.dat", "foreign.dat"}) {
        EXPECT_TRUE(fs::remove(PathOf(name))) << name;
    }
    EXPECT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    EXPECT_EQ(CDataLayer::ConnectOK, m_Layer.GetConnectReason());
}

TEST_F(ConnectTest, MarkIsCheckedBeforeTheStoreIDIsWritten) {
    const std::string path = MakeVariant("wrongmark.dat", "UPDATE MetaData SET Value='QDY' WHERE ID=2");
    ExpectRefused(path, CDataLayer::ConnectInvalidDatabase);
    EXPECT_EQ(0, SqliteFile(path).Integer("SELECT Value FROM MetaData WHERE ID=1"));
}

// Code stored in a file -------------------------------------------------------------------------

TEST_F(ConnectTest, TriggersInTheFileNeverFire) {
    SqliteFile(m_File.Path())
        .Exec("CREATE TRIGGER Wipe AFTER INSERT ON Entry BEGIN DELETE FROM Vehicle; DELETE FROM Keyword; END;"
              "CREATE TRIGGER Mark AFTER UPDATE ON MetaData BEGIN UPDATE MetaData SET Value='gone' WHERE "
              "ID=2; END;"
              "INSERT INTO Vehicle(RefID, Name) VALUES(7, 'Van');");
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    CEntry entry;
    entry.SetVehicleID(7);
    ASSERT_EQ(1, m_Layer.Save(&entry, 0));
    m_Layer.Disconnect();

    SqliteFile plain(m_File.Path());
    EXPECT_EQ(1, plain.Integer("SELECT COUNT(*) FROM Vehicle"));
    EXPECT_EQ(18, plain.Integer("SELECT COUNT(*) FROM Keyword"));
    EXPECT_EQ("QDX", plain.Text("SELECT Value FROM MetaData WHERE ID=2"));
}

TEST_F(ConnectTest, TablesThatAreViewsAreRefusedAtOnce) {
    // Views that count without end: reading MetaData would never finish, and a list load of
    // Entry would grow until memory ran out.
    const std::string endless = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) ";
    ExpectRefused(MakeVariant("metaview.dat", "DROP TABLE MetaData; CREATE VIEW MetaData AS " + endless +
                                                  "SELECT i AS ID, i AS Value FROM n WHERE i = 0;"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(
        MakeVariant("entryview.dat", "DROP TABLE Entry; CREATE VIEW Entry AS " + endless +
                                         "SELECT i AS ID, i AS RefID, zeroblob(1000000) AS Name FROM n;"),
        CDataLayer::ConnectInvalidDatabase);
}

// Damaged and incomplete files -------------------------------------------------------------------

TEST_F(ConnectTest, DamagedOrIncompleteFilesAreRefusedUntouched) {
    // A zeroed page in the middle of the entries.
    const std::string zeroed =
        MakeVariant("zeroed.dat", "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                  "FROM n WHERE i < 500) INSERT INTO Entry(RefID, Name, "
                                  "Notes) SELECT i, 'Fill-up', hex(randomblob(40)) FROM n;");
    std::int64_t page = 0;
    std::int64_t pageSize = 0;
    {
        SqliteFile plain(zeroed);
        page = plain.Integer("SELECT MAX(pageno) FROM dbstat WHERE name='Entry' AND pagetype='leaf'");
        pageSize = plain.Integer("PRAGMA page_size");
    }
    ASSERT_GT(page, 1);
    std::string bytes = ReadAll(zeroed);
    bytes.replace(static_cast<std::size_t>((page - 1) * pageSize), static_cast<std::size_t>(pageSize),
                  static_cast<std::size_t>(pageSize), '\0');
    WriteAll(zeroed, bytes);
    ExpectRefused(zeroed, CDataLayer::ConnectInvalidDatabase);

    // A file that holds only MetaData, and files whose tables do not have the columns of ours.
    ExpectRefused(MakeForeign("metaonly.dat", "CREATE TABLE MetaData(ID INTEGER PRIMARY KEY, Value);"
                                              "INSERT INTO MetaData VALUES(1, 0);"
                                              "INSERT INTO MetaData VALUES(2, 'QDX');"
                                              "INSERT INTO MetaData VALUES(3, '1.0');"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("nocolumn.dat", "ALTER TABLE Keyword DROP COLUMN Modified"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("swapped.dat", "ALTER TABLE Keyword RENAME COLUMN Type TO Tmp;"
                                             "ALTER TABLE Keyword RENAME COLUMN Created TO Type;"
                                             "ALTER TABLE Keyword RENAME COLUMN Tmp TO Created;"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("extra.dat", "ALTER TABLE Entry ADD COLUMN Extra TEXT"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("norowid.dat",
                              "DROP TABLE Vehicle; CREATE TABLE Vehicle(ID INT PRIMARY KEY, RefID, "
                              "Name, Notes, Created, Modified, LicensePlate, VIN, DealerName, "
                              "DealerPhone, DealerAddress, InsurancePolicyNumber, "
                              "InsuranceAgentName, InsuranceAgentPhone, InsuranceCoverage, "
                              "InsuranceExpirationDate, CurrentOdometer, Year, ImagePath);"),
                  CDataLayer::ConnectInvalidDatabase);

    // Names are matched as the engine matches them, and MetaData may carry further columns.
    const std::string spelled = MakeVariant("spelled.dat", "ALTER TABLE Entry RENAME COLUMN Vendor TO VENDOR;"
                                                           "ALTER TABLE MetaData ADD COLUMN Note TEXT;");
    EXPECT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(Utf8ToWide(spelled).c_str()));
}

// The store ID and the mark -------------------------------------------------------------------------

TEST_F(ConnectTest, StoreIDIsWrittenToRowOneOrTheFileIsRefused) {
    ExpectRefused(MakeVariant("norowone.dat", "UPDATE MetaData SET ID=ID+10"),
                  CDataLayer::ConnectInvalidDatabase);

    // The mark is the text "QDX" and nothing like it.
    ExpectRefused(MakeVariant("blobmark.dat", "UPDATE MetaData SET Value=CAST('QDX' AS BLOB) WHERE ID=2"),
                  CDataLayer::ConnectInvalidDatabase);
    ExpectRefused(MakeVariant("nulmark.dat", "UPDATE MetaData SET Value='QDX' || char(0) WHERE ID=2"),
                  CDataLayer::ConnectInvalidDatabase);
}

// Locks held by another process -------------------------------------------------------------------

// A second process that takes a lock of the file and holds it for a while; returns once the lock
// is held. "BEGIN EXCLUSIVE" keeps readers out too, "BEGIN IMMEDIATE" only other writers.
class LockHolder {
public:
    LockHolder(const std::string& path, int milliseconds, const char* begin = "BEGIN EXCLUSIVE") {
        int ready[2];
        if (pipe(ready) != 0) {
            ADD_FAILURE() << "pipe";
            return;
        }
        m_Child = fork();
        if (m_Child == 0) {
            close(ready[0]);
            sqlite3* db = nullptr;
            char held = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
                                sqlite3_exec(db, begin, nullptr, nullptr, nullptr) == SQLITE_OK
                            ? 1
                            : 0;
            static_cast<void>(write(ready[1], &held, 1));
            usleep(static_cast<useconds_t>(milliseconds) * 1000);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            _exit(held ? 0 : 1);
        }
        close(ready[1]);
        char held = 0;
        EXPECT_EQ(1, read(ready[0], &held, 1));
        EXPECT_EQ(1, held) << "the second process took no lock";
        close(ready[0]);
    }
    ~LockHolder() {
        int status = 0;
        if (m_Child > 0) {
            waitpid(m_Child, &status, 0);
        }
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    pid_t m_Child = -1;
};

TEST_F(ConnectTest, ABriefLockOfAnotherProcessIsWaitedFor) {
    {
        LockHolder other(m_File.Path(), 1000);
        EXPECT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    }
    LockHolder other(m_File.Path(), 1000);
    CKeyword keyword;
    keyword.SetName(u"Waited");
    EXPECT_EQ(1, m_Layer.Save(&keyword, 0));
}

TEST_F(ConnectTest, FileStillLockedAfterTheWaitCouldNotBeOpened) {
    CDataLayerTestPeer::SetBusyTimeout(m_Layer, 100);
    {
        // Readers are kept out.
        LockHolder other(m_File.Path(), 1000);
        ExpectRefused(m_File.Path(), CDataLayer::ConnectOpenFailed);
    }
    {
        // Readers may read, but the new store ID cannot be written.
        LockHolder other(m_File.Path(), 1000, "BEGIN IMMEDIATE");
        ExpectRefused(m_File.Path(), CDataLayer::ConnectOpenFailed);
    }
    EXPECT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
}

// Full disks and failing devices ----------------------------------------------------------------

// Makes every write of the engine's own file layer fail with one error number while it lives.
class FailingWrites {
public:
    explicit FailingWrites(int error) : m_Vfs(sqlite3_vfs_find(nullptr)) {
        s_Error = error;
        EXPECT_STREQ("unix", m_Vfs->zName);
        for (const char* call : {"write", "pwrite", "pwrite64"}) {
            if (m_Vfs->xGetSystemCall(m_Vfs, call)) {
                EXPECT_EQ(SQLITE_OK, m_Vfs->xSetSystemCall(m_Vfs, call, Replacement(call)));
            }
        }
    }
    ~FailingWrites() { m_Vfs->xSetSystemCall(m_Vfs, nullptr, nullptr); }
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

private:
    static ssize_t Write(int, const void*, size_t) {
        errno = s_Error;
        return -1;
    }
    static ssize_t PWrite(int, const void*, size_t, off_t) {
        errno = s_Error;
        return -1;
    }
    static sqlite3_syscall_ptr Replacement(const char* call) {
        return std::strcmp(call, "write") == 0 ? reinterpret_cast<sqlite3_syscall_ptr>(Write)
                                               : reinterpret_cast<sqlite3_syscall_ptr>(PWrite);
    }

    static inline int s_Error = 0;
    sqlite3_vfs* m_Vfs;
};

TEST_F(ConnectTest, StoreIDThatCannotBeWrittenIsNoInvalidFile) {
    for (const int error : {ENOSPC, EIO}) {
        FailingWrites failing(error);
        ExpectRefused(m_File.Path(), CDataLayer::ConnectOpenFailed);
    }
    EXPECT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    EXPECT_NE(0u, m_Layer.GetStoreID());
}

TEST_F(ConnectTest, ReconnectClosesTheEarlierFile) {
    const std::string second = PathOf("second.dat");
    fs::copy_file(m_File.Path(), second);

    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(Utf8ToWide(second).c_str()));
    EXPECT_EQ(Utf8ToWide(second), m_Layer.GetDBPath());
    EXPECT_EQ(0, CountOpenDescriptors(m_File.Path()));
    EXPECT_EQ(1, CountOpenDescriptors(second));

    // A failed connect after a good one leaves the object disconnected with nothing open.
    EXPECT_EQ(CDataLayer::ConnectFileNotFound, m_Layer.Connect(Utf8ToWide(PathOf("gone.dat")).c_str()));
    EXPECT_FALSE(m_Layer.IsConnected());
    EXPECT_EQ(std::u16string(), m_Layer.GetDBPath());
    EXPECT_EQ(0, CountOpenDescriptors(second));
}

TEST_F(ConnectTest, DestructorClosesTheFile) {
    {
        CDataLayer layer;
        ASSERT_EQ(CDataLayer::ConnectOK, layer.Connect(m_File.WidePath().c_str()));
        EXPECT_EQ(1, CountOpenDescriptors(m_File.Path()));
    }
    EXPECT_EQ(0, CountOpenDescriptors(m_File.Path()));
}

TEST_F(ConnectTest, NonLatinPathsConnect) {
    const std::string path = PathOf("Fahrzeuge \xC3\x9C \xF0\x9F\x9A\x97.dat");
    fs::copy_file(m_File.Path(), path);
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(Utf8ToWide(path).c_str()));
    EXPECT_EQ(Utf8ToWide(path), m_Layer.GetDBPath());
}

TEST_F(ConnectTest, DebugTracesNameWhatHappened) {
    setenv("CARVELLE_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    m_Layer.Connect(Utf8ToWide(PathOf("missing.dat")).c_str());
    const std::string missing = testing::internal::GetCapturedStderr();

    testing::internal::CaptureStderr();
    m_Layer.Connect(m_File.WidePath().c_str());
    m_Layer.Disconnect();
    const std::string connected = testing::internal::GetCapturedStderr();

    fs::permissions(m_File.Path(), fs::perms::owner_write, fs::perm_options::remove);
    testing::internal::CaptureStderr();
    m_Layer.Connect(m_File.WidePath().c_str());
    const std::string readOnly = testing::internal::GetCapturedStderr();
    unsetenv("CARVELLE_DEBUG");

    EXPECT_EQ("\nDatabase file not found\n", missing);
    EXPECT_EQ("\nDBVersion=1.0\nDatabase Connected\n" + m_File.Path() + "\nDatabase Disconnected", connected);
    EXPECT_EQ("\nDatabase is marked read-only\n", readOnly);
}

TEST_F(ConnectTest, LibraryVersionIsTheEngines) {
    EXPECT_STREQ(sqlite3_libversion(), m_Layer.GetDBLibVersion());
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    EXPECT_STREQ(sqlite3_libversion(), m_Layer.GetDBLibVersion());
}

TEST_F(ConnectTest, GeneratedRefIDsAreNeverZero) {
    int calls = 0;
    CDataLayerTestPeer::SetRefIDSource(m_Layer, [&calls] { return ++calls < 3 ? 0u : 77u; });
    EXPECT_EQ(77u, CDataLayerTestPeer::GenerateRefID(m_Layer));
    EXPECT_EQ(3, calls);

    // The real draw: varied and non-zero.
    CDataLayerTestPeer::SetRefIDSource(m_Layer, {});
    const ULONG first = CDataLayerTestPeer::GenerateRefID(m_Layer);
    const ULONG second = CDataLayerTestPeer::GenerateRefID(m_Layer);
    EXPECT_NE(0u, first);
    EXPECT_NE(first, second);
}

// Transactions --------------------------------------------------------------------------------

TEST_F(ConnectTest, TransactionsNeedAConnection) {
    EXPECT_EQ(0, m_Layer.BeginTransaction());
    EXPECT_EQ(CDataLayer::CommitFailed, m_Layer.Commit());
    EXPECT_EQ(0, m_Layer.RollBack());
}

TEST_F(ConnectTest, CommitKeepsAndRollBackUndoes) {
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    SqliteFile plain(m_File.Path());

    ASSERT_EQ(1, m_Layer.BeginTransaction());
    EXPECT_EQ(0, m_Layer.BeginTransaction()); // no nesting
    CKeyword dropped;
    dropped.SetName(u"Dropped");
    ASSERT_EQ(1, m_Layer.Save(&dropped, 0));
    EXPECT_EQ(1, m_Layer.RollBack());
    EXPECT_EQ(0, plain.Integer("SELECT COUNT(*) FROM Keyword WHERE Name='Dropped'"));

    ASSERT_EQ(1, m_Layer.BeginTransaction());
    CKeyword kept;
    kept.SetName(u"Kept");
    ASSERT_EQ(1, m_Layer.Save(&kept, 0));
    EXPECT_EQ(CDataLayer::CommitOK, m_Layer.Commit());
    EXPECT_EQ(1, plain.Integer("SELECT COUNT(*) FROM Keyword WHERE Name='Kept'"));

    // Nothing open: nothing to commit or roll back.
    EXPECT_EQ(CDataLayer::CommitFailed, m_Layer.Commit());
    EXPECT_EQ(0, m_Layer.RollBack());
}

TEST_F(ConnectTest, CommitIsBusyWhileAnotherConnectionReads) {
    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    CDataLayerTestPeer::SetBusyTimeout(m_Layer, 50);
    SqliteFile reader(m_File.Path());
    reader.Exec("BEGIN");
    EXPECT_EQ(18, reader.Integer("SELECT COUNT(*) FROM Keyword")); // holds a shared lock

    ASSERT_EQ(1, m_Layer.BeginTransaction());
    CKeyword keyword;
    keyword.SetName(u"Waiting");
    ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
    EXPECT_EQ(CDataLayer::CommitBusy, m_Layer.Commit());

    // Still open: once the reader is gone the same transaction commits.
    reader.Exec("COMMIT");
    EXPECT_EQ(CDataLayer::CommitOK, m_Layer.Commit());
    EXPECT_EQ(1, reader.Integer("SELECT COUNT(*) FROM Keyword WHERE Name='Waiting'"));
}

// String helper factory -----------------------------------------------------------------------

class CountingFactory : public CStringHelperFactory {
public:
    CountingFactory(int* created, bool* destroyed) : m_Created(created), m_Destroyed(destroyed) {}
    ~CountingFactory() override { *m_Destroyed = true; }
    std::unique_ptr<CStringHelper> Create() override {
        ++*m_Created;
        return m_Inner.Create();
    }

private:
    CDefaultStringHelperFactory m_Inner;
    int* m_Created;
    bool* m_Destroyed;
};

TEST_F(ConnectTest, InstalledFactoryIsUsedOwnedAndReplaced) {
    CStringHelperFactory* builtIn = m_Layer.GetStringHelperFactory();
    ASSERT_NE(nullptr, builtIn);

    int created = 0;
    bool destroyed = false;
    auto owned = std::make_unique<CountingFactory>(&created, &destroyed);
    CStringHelperFactory* installed = owned.get();
    m_Layer.SetStringHelperFactory(std::move(owned));
    EXPECT_EQ(installed, m_Layer.GetStringHelperFactory());

    ASSERT_EQ(CDataLayer::ConnectOK, m_Layer.Connect(m_File.WidePath().c_str()));
    CKeyword keyword;
    keyword.SetName(u"Counted");
    ASSERT_EQ(1, m_Layer.Save(&keyword, 0));
    EXPECT_GE(created, 1);

    m_Layer.SetStringHelperFactory(nullptr);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(builtIn, m_Layer.GetStringHelperFactory());
}

TEST_F(ConnectTest, InstalledFactoryDiesWithTheLayer) {
    int created = 0;
    bool destroyed = false;
    {
        CDataLayer layer;
        layer.SetStringHelperFactory(std::make_unique<CountingFactory>(&created, &destroyed));
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

} // namespace
