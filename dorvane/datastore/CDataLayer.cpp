#include "datastore/CDataLayer.h"

#include "datastore/CDataFileVerifier.h"
#include "datastore/CFillFlagTable.h"
#include "datastore/CRecordTable.h"
#include "datastore/CReminderIntervalTable.h"
#include "datastore/CSqlStatement.h"
#include "datastore/CSqlText.h"
#include "datastore/HardenConnection.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"
#include "platform/SystemTime.h"
#include "platform/TextConversion.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <thread>
#include <unordered_map>

namespace {

// The vehicle cascade runs under this savepoint, so it is atomic inside a caller's transaction too.
constexpr const char* kCascadeSavepoint = "VehicleCascade";

// A bounded number of draws before a save gives up on finding an unused reference ID; a clash
// is already rare, several in a row mean the source is broken.
constexpr int kRefIDAttempts = 64;

int Exec(sqlite3* db, const char* sql) {
    if (!sql) {
        return SQLITE_NOMEM;
    }
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

int ExecOK(sqlite3* db, const char* sql) {
    return Exec(db, sql) == SQLITE_OK ? 1 : 0;
}

// sqlite3_mprintf's %lu takes the host's unsigned long and %d an int; these keep the 32-bit
// values of the records in the right shape for the formats.
unsigned long AsLu(ULONG value) {
    return static_cast<unsigned long>(value);
}
unsigned long AsLu(LONG value) {
    return static_cast<unsigned long>(static_cast<ULONG>(value));
}
int AsD(LONG value) {
    return static_cast<int>(value);
}

template <class Record> const char* TableName() {
    return CRecordTable<Record>::Get().Name();
}

template <class Record>
typename CRecordTable<Record>::Stamp ChooseDates(const Record* record, int preserveDates, double now) {
    if (preserveDates) {
        return {0, record->GetDateCreated(), record->GetDateModified()};
    }
    return {0, now, now};
}

// Runs a built INSERT or UPDATE and, on success, stamps the record as stored.
template <class Record>
int FinishSave(sqlite3* db, Record* record, const std::string& sql,
               const typename CRecordTable<Record>::Stamp& stamp) {
    if (sql.empty() || Exec(db, sql.c_str()) != SQLITE_OK) {
        return 0;
    }
    if (record->GetID() == 0) {
        record->SetID(static_cast<LONG>(sqlite3_last_insert_rowid(db)));
        record->SetRefID(stamp.refID);
        record->SetDateCreated(stamp.created);
    }
    record->SetDirty(0);
    record->SetDateModified(stamp.modified);
    return 1;
}

template <class Record> void Fill(CStringHelperFactory& factory, Record* record, sqlite3_stmt* row) {
    // The engine delivers UTF-16, so nothing is decoded; the helper still lives for the fill, as
    // for a save, so that an installed factory sees every row.
    std::unique_ptr<CStringHelper> helper = factory.Create();
    CRecordTable<Record>::Get().Fill(*record, row);
}

// Loads one record: the statement is expected to yield the row, or nothing.
template <class Record>
int LoadOne(sqlite3* db, CStringHelperFactory& factory, Record* record, const CSqlText& sql) {
    if (!sql) {
        return 0;
    }
    CSqlStatement statement;
    if (statement.Prepare(db, sql.Get()) != SQLITE_OK) {
        return 0;
    }
    if (statement.Step() != SQLITE_ROW) {
        return 0;
    }
    Fill(factory, record, statement.Get());
    return 1;
}

// Loads every row of the statement into new records owned by the list. A query that fails,
// at the start or part way through, leaves the list empty.
template <class Record>
int LoadList(sqlite3* db, CStringHelperFactory& factory, CObjectListT<Record>& list, const char* sql) {
    if (!sql) {
        return 0;
    }
    CSqlStatement statement;
    if (statement.Prepare(db, sql) != SQLITE_OK) {
        return 0;
    }
    int rc;
    while ((rc = statement.Step()) == SQLITE_ROW) {
        std::unique_ptr<Record> record(new Record);
        Fill(factory, record.get(), statement.Get());
        list.Add(record.get());
        record.release();
    }
    if (rc != SQLITE_DONE) {
        list.Clear();
        return 0;
    }
    return 1;
}

} // namespace

CDataLayer::CDataLayer() {
    Reset();
}

CDataLayer::~CDataLayer() {
    if (m_Connected) {
        Disconnect();
    }
    CloseDatabase();
}

const char* CDataLayer::GetDBLibVersion() const {
    return sqlite3_libversion();
}

void CDataLayer::Reset() {
    Disconnect();
    CloseDatabase();
    m_StoreID = 0;
    m_Connected = 0;
    m_DBPath.clear();
    m_DBVersion.clear();
}

CDataLayer::ConnectStatus CDataLayer::Connect(LPCWSTR path) {
    m_ConnectReason = Open(path);
    // Callers were promised the five statuses; the finer ones stay behind GetConnectReason.
    switch (m_ConnectReason) {
    case ConnectNotReadable:
        return ConnectOpenFailed;
    case ConnectNotDataFile:
        return ConnectInvalidDatabase;
    default:
        return m_ConnectReason;
    }
}

CDataLayer::ConnectStatus CDataLayer::Open(LPCWSTR path) {
    Reset();
    if (!path || !*path) {
        return ConnectFileNotFound;
    }

    const FileReadState readable = GetFileReadState(path);
    if (readable == FileAccessDenied) {
        OutputDebugStringW(u"\nDatabase may not be read\n");
        return ConnectNotReadable;
    }
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || readable == FileMissing) {
        OutputDebugStringW(u"\nDatabase file not found\n");
        return ConnectFileNotFound;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return ConnectNotDataFile;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        OutputDebugStringW(u"\nDatabase is marked read-only\n");
        return ConnectReadOnly;
    }

    ConnectStatus status = ConnectOpenFailed;
    {
        const std::lock_guard<std::mutex> lock(m_HandleMutex);
        sqlite3* db = nullptr;
        if (sqlite3_open16(path, &db) != SQLITE_OK || !db) {
            sqlite3_close_v2(db);
            db = nullptr;
            // The 8-bit fallback never creates a file: the path was seen a moment ago, and a file
            // that has vanished since must not come back as an empty database.
            const std::string path8 = WideToUtf8(path);
            if (sqlite3_open_v2(path8.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK || !db) {
                sqlite3_close_v2(db);
                db = nullptr;
            }
        }
        m_DB = db;
    }

    if (m_DB) {
        status = ConfigureConnection() ? VerifyDatabase() : ConnectOpenFailed;
        if (status == ConnectOK) {
            m_DBPath = path;
            m_Connected = 1;
            OutputDebugStringW(u"\nDatabase Connected\n");
            OutputDebugStringW(path);
        }
    }

    if (!m_Connected) {
        CloseDatabase();
        m_StoreID = 0;
        m_DBVersion.clear();
    }
    return status;
}

int CDataLayer::ConfigureConnection() {
    if (!HardenConnection(m_DB)) {
        return 0; // an engine that cannot do this does not open files
    }
    return sqlite3_busy_handler(m_DB, &CDataLayer::OnBusy, this) == SQLITE_OK ? 1 : 0;
}

int CDataLayer::OnBusy(void* self, int count) {
    return static_cast<CDataLayer*>(self)->WaitForLock(count);
}

int CDataLayer::WaitForLock(int count) {
    // The engine's own steps: short at first, for the commit of another that ends in a moment.
    static constexpr int kStepsMs[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    if (count == 0) {
        m_BusySinceMs = now;
        m_BusyNoticed = false;
    }
    const std::int64_t waited = now - m_BusySinceMs;
    if (waited >= m_BusyTimeoutMs) {
        return 0;
    }
    if (!m_BusyNoticed && waited >= BusyNoticeMs && m_BusyObserver) {
        m_BusyNoticed = true;
        // A connection that holds the write lock waits for readers to let go; any other waits for
        // a writer.
        m_BusyObserver(sqlite3_txn_state(m_DB, "main") == SQLITE_TXN_WRITE ? BusyWaitReaders
                                                                           : BusyWaitWriter);
    }
    const int step =
        kStepsMs[std::min<std::size_t>(static_cast<std::size_t>(count), std::size(kStepsMs) - 1)];
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::min<std::int64_t>(step, m_BusyTimeoutMs - waited)));
    return 1;
}

CDataLayer::ConnectStatus CDataLayer::VerifyDatabase() {
    CDataFileVerifier verifier(m_DB);
    ConnectStatus status = verifier.Verify();
    // A file opened for the first time gets its store ID, only now that it passed.
    if (status == ConnectOK && verifier.GetStoreID() == 0) {
        status = verifier.WriteStoreID(GenerateRefID());
    }
    m_StoreID = verifier.GetStoreID();
    m_DBVersion = verifier.GetVersion();
    return status;
}

ULONG CDataLayer::GenerateRefID() {
    for (;;) {
        ULONG value;
        if (m_RefIDSource) {
            value = m_RefIDSource();
        } else {
            SYSTEMTIME now{};
            GetSystemTime(&now);
            FILETIME fileTime{};
            SystemTimeToFileTime(&now, &fileTime);
            Sleep(10);
            const ULONG first = static_cast<ULONG>(std::rand());
            const ULONG second = static_cast<ULONG>(std::rand());
            const ULONG ticks = GetTickCount();
            value = ticks + second + first + fileTime.dwHighDateTime + fileTime.dwLowDateTime;
        }
        // 0 means "none issued" to every caller, so it is never handed out.
        if (value != 0) {
            return value;
        }
    }
}

ULONG CDataLayer::IssueUniqueRefID(const char* table) {
    for (int attempt = 0; attempt < kRefIDAttempts; ++attempt) {
        const ULONG refID = GenerateRefID();
        CSqlText sql(sqlite3_mprintf("SELECT 1 FROM %s WHERE RefID=%lu LIMIT 1", table, AsLu(refID)));
        if (!sql) {
            return 0;
        }
        CSqlStatement statement;
        if (statement.Prepare(m_DB, sql.Get()) != SQLITE_OK) {
            return 0;
        }
        const int rc = statement.Step();
        if (rc == SQLITE_DONE) {
            return refID;
        }
        if (rc != SQLITE_ROW) {
            return 0;
        }
    }
    return 0;
}

double CDataLayer::GetSystemTimeAsOLEDate() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    double date = 0.0;
    SystemTimeToVariantTime(&now, &date);
    return date;
}

void CDataLayer::CloseDatabase() {
    const std::lock_guard<std::mutex> lock(m_HandleMutex);
    if (m_DB) {
        sqlite3_close_v2(m_DB);
        m_DB = nullptr;
    }
}

void CDataLayer::Interrupt() {
    const std::lock_guard<std::mutex> lock(m_HandleMutex);
    if (m_DB)
        sqlite3_interrupt(m_DB);
}

void CDataLayer::Disconnect() {
    if (!m_Connected) {
        return;
    }
    CloseDatabase();
    m_Connected = 0;
    OutputDebugStringW(u"\nDatabase Disconnected");
}

int CDataLayer::BeginTransaction() {
    if (!m_Connected) {
        return 0;
    }
    return ExecOK(m_DB, "BEGIN IMMEDIATE");
}

CDataLayer::CommitResult CDataLayer::Commit() {
    if (!m_Connected) {
        return CommitFailed;
    }
    switch (Exec(m_DB, "COMMIT")) {
    case SQLITE_OK:
        return CommitOK;
    case SQLITE_BUSY:
        return CommitBusy;
    default:
        return CommitFailed;
    }
}

int CDataLayer::RollBack() {
    if (!m_Connected) {
        return 0;
    }
    return ExecOK(m_DB, "ROLLBACK");
}

int CDataLayer::HoldChangesUntilCommit(int hold) {
    if (!m_Connected) {
        return 0;
    }
    return ExecOK(m_DB, hold ? "PRAGMA cache_spill=OFF" : "PRAGMA cache_spill=ON");
}

CStringHelperFactory* CDataLayer::GetStringHelperFactory() {
    if (m_Factory) {
        return m_Factory.get();
    }
    return &m_DefaultFactory;
}

void CDataLayer::SetStringHelperFactory(std::unique_ptr<CStringHelperFactory> factory) {
    if (factory && factory.get() == m_Factory.get()) {
        // Already ours: two owners of one factory must not both delete it.
        static_cast<void>(factory.release());
        return;
    }
    m_Factory = std::move(factory);
}

// ---------------------------------------------------------------------------------------------
// Saving and loading

template <class Record> int CDataLayer::SaveRecord(Record* record, int preserveDates) {
    if (!m_Connected || !record) {
        return 0;
    }
    std::unique_ptr<CStringHelper> helper = GetStringHelperFactory()->Create();
    if (!helper) {
        return 0;
    }
    const CRecordTable<Record>& table = CRecordTable<Record>::Get();
    auto stamp = ChooseDates(record, preserveDates, GetSystemTimeAsOLEDate());
    std::string text;
    if (record->GetID() != 0) {
        text = table.UpdateText(*record, stamp, *helper);
    } else {
        stamp.refID = record->GetRefID() ? record->GetRefID() : IssueUniqueRefID(table.Name());
        if (!stamp.refID) {
            return 0;
        }
        text = table.InsertText(*record, stamp, *helper);
    }
    return FinishSave(m_DB, record, text, stamp);
}

int CDataLayer::Save(CVehicle* vehicle, int preserveDates) {
    return SaveRecord(vehicle, preserveDates);
}

int CDataLayer::Save(CEntry* entry, int preserveDates) {
    return SaveRecord(entry, preserveDates);
}

int CDataLayer::Save(CKeyword* keyword, int preserveDates) {
    return SaveRecord(keyword, preserveDates);
}

int CDataLayer::Save(CNotification* reminder, int preserveDates) {
    return SaveRecord(reminder, preserveDates);
}

template <class Record> int CDataLayer::LoadRecord(Record* record) {
    if (!m_Connected || !record || record->GetID() == 0) {
        return 0;
    }
    CSqlText sql(sqlite3_mprintf("SELECT * FROM %s WHERE ID=%d", TableName<Record>(), AsD(record->GetID())));
    return LoadOne(m_DB, *GetStringHelperFactory(), record, sql);
}

int CDataLayer::Load(CVehicle* vehicle) {
    return LoadRecord(vehicle);
}

int CDataLayer::Load(CEntry* entry) {
    return LoadRecord(entry);
}

int CDataLayer::Load(CKeyword* keyword) {
    return LoadRecord(keyword);
}

int CDataLayer::Load(CNotification* reminder) {
    return LoadRecord(reminder);
}

int CDataLayer::LoadByRefID(CVehicle* vehicle) {
    if (!m_Connected || !vehicle || vehicle->GetRefID() == 0) {
        return 0;
    }
    CSqlText sql(sqlite3_mprintf("SELECT * FROM Vehicle WHERE RefID=%lu", AsLu(vehicle->GetRefID())));
    return LoadOne(m_DB, *GetStringHelperFactory(), vehicle, sql);
}

int CDataLayer::Load(CObjectListT<CVehicle>& list) {
    if (!m_Connected) {
        return 0;
    }
    list.Clear();
    return LoadList(m_DB, *GetStringHelperFactory(), list, "SELECT * FROM Vehicle");
}

int CDataLayer::Load(CObjectListT<CEntry>& list, CEntryFilter& filter) {
    if (!m_Connected) {
        return 0;
    }
    list.Clear();
    const std::string sql = filter.BuildSelectStatement();
    return LoadList(m_DB, *GetStringHelperFactory(), list, sql.c_str());
}

int CDataLayer::Load(CObjectListT<CKeyword>& list, CKeyword::Type type) {
    if (!m_Connected) {
        return 0;
    }
    list.Clear();
    CSqlText sql(type != CKeyword::KeywordAll
                     ? sqlite3_mprintf("SELECT * FROM Keyword WHERE Type=%d", static_cast<int>(type))
                     : sqlite3_mprintf("SELECT * FROM Keyword"));
    return LoadList(m_DB, *GetStringHelperFactory(), list, sql.Get());
}

int CDataLayer::Load(CObjectListT<CNotification>& list, ULONG vehicleRefID) {
    if (!m_Connected) {
        return 0;
    }
    list.Clear();
    CSqlText sql(vehicleRefID != 0
                     ? sqlite3_mprintf("SELECT * FROM Notification WHERE VehicleID=%lu", AsLu(vehicleRefID))
                     : sqlite3_mprintf("SELECT * FROM Notification"));
    return LoadList(m_DB, *GetStringHelperFactory(), list, sql.Get());
}

// ---------------------------------------------------------------------------------------------
// Deleting and queries

const char* CDataLayer::GetTableName(CBaseObject::ObjectType type) {
    switch (type) {
    case CBaseObject::ObjectTypeVehicle:
        return TableName<CVehicle>();
    case CBaseObject::ObjectTypeEntry:
        return TableName<CEntry>();
    case CBaseObject::ObjectTypeNotification:
        return TableName<CNotification>();
    case CBaseObject::ObjectTypeKeyword:
        return TableName<CKeyword>();
    default:
        return "";
    }
}

int CDataLayer::RunDeleteQuery(const char* table, int id) {
    if (!m_Connected || id < 0 || !table || !*table) {
        return 0;
    }
    CSqlText sql(id != 0 ? sqlite3_mprintf("DELETE FROM %s WHERE ID=%d", table, id)
                         : sqlite3_mprintf("DELETE FROM %s", table));
    return ExecOK(m_DB, sql.Get());
}

int CDataLayer::Delete(CVehicle* vehicle) {
    // A record never stored has no row; ID 0 would empty the table.
    if (!m_Connected || !vehicle || vehicle->GetID() == 0) {
        return 0;
    }
    // The vehicle goes with its entries and reminders or not at all. When no transaction is
    // open the savepoint is the transaction, and releasing it commits.
    const bool outermost = sqlite3_get_autocommit(m_DB) != 0;
    CSqlText begin(sqlite3_mprintf("SAVEPOINT %s", kCascadeSavepoint));
    if (!ExecOK(m_DB, begin.Get())) {
        return 0;
    }
    const unsigned long refID = AsLu(vehicle->GetRefID());
    CSqlText entries(sqlite3_mprintf("DELETE FROM Entry WHERE VehicleID=%lu", refID));
    CSqlText reminders(sqlite3_mprintf("DELETE FROM Notification WHERE VehicleID=%lu", refID));
    CSqlText release(sqlite3_mprintf("RELEASE %s", kCascadeSavepoint));
    const std::string flags = CFillFlagTable::RemoveForEntries(m_DB, "VehicleID=" + std::to_string(refID));
    const std::string intervals =
        CReminderIntervalTable::RemoveForReminders(m_DB, "VehicleID=" + std::to_string(refID));
    if (RunDeleteQuery(TableName<CVehicle>(), AsD(vehicle->GetID())) &&
        (flags.empty() || ExecOK(m_DB, flags.c_str())) &&
        (intervals.empty() || ExecOK(m_DB, intervals.c_str())) && ExecOK(m_DB, entries.Get()) &&
        ExecOK(m_DB, reminders.Get()) && ExecOK(m_DB, release.Get())) {
        return 1;
    }
    if (outermost) {
        // Also ends a savepoint whose release (the commit) failed, for example on a busy file.
        Exec(m_DB, "ROLLBACK");
    } else {
        CSqlText undo(sqlite3_mprintf("ROLLBACK TO %s", kCascadeSavepoint));
        Exec(m_DB, undo.Get());
        Exec(m_DB, release.Get());
    }
    return 0;
}

int CDataLayer::Delete(CEntry* entry) {
    if (!entry || entry->GetID() == 0) {
        return 0;
    }
    return DeleteEntries(AsD(entry->GetID()));
}

int CDataLayer::DeleteEntries(int id) {
    if (!m_Connected || id < 0) {
        return 0;
    }
    return DeleteWithSideRows(
        TableName<CEntry>(), id,
        CFillFlagTable::RemoveForEntries(m_DB, id != 0 ? "ID=" + std::to_string(id) : std::string()));
}

int CDataLayer::DeleteWithSideRows(const char* table, int id, const std::string& sideDelete) {
    if (sideDelete.empty()) {
        return RunDeleteQuery(table, id);
    }
    // The rows and those kept beside them go together or not at all.
    const bool outermost = sqlite3_get_autocommit(m_DB) != 0;
    if (!ExecOK(m_DB, "SAVEPOINT SideRows")) {
        return 0;
    }
    if (ExecOK(m_DB, sideDelete.c_str()) && RunDeleteQuery(table, id) && ExecOK(m_DB, "RELEASE SideRows")) {
        return 1;
    }
    if (outermost) {
        Exec(m_DB, "ROLLBACK");
    } else {
        Exec(m_DB, "ROLLBACK TO SideRows");
        Exec(m_DB, "RELEASE SideRows");
    }
    return 0;
}

int CDataLayer::Delete(CKeyword* keyword) {
    if (!keyword || keyword->GetID() == 0) {
        return 0;
    }
    return RunDeleteQuery(TableName<CKeyword>(), AsD(keyword->GetID()));
}

int CDataLayer::Delete(CNotification* reminder) {
    if (!reminder || reminder->GetID() == 0) {
        return 0;
    }
    return DeleteReminders(AsD(reminder->GetID()));
}

int CDataLayer::DeleteReminders(int id) {
    if (!m_Connected || id < 0) {
        return 0;
    }
    return DeleteWithSideRows(TableName<CNotification>(), id,
                              CReminderIntervalTable::RemoveForReminders(
                                  m_DB, id != 0 ? "ID=" + std::to_string(id) : std::string()));
}

int CDataLayer::Delete(CBaseObject::ObjectType type, ULONG id) {
    // Row IDs are signed 32-bit: anything from 2^31 on is refused, not wrapped.
    if (id > 0x7FFFFFFFu) {
        return 0;
    }
    if (type == CBaseObject::ObjectTypeEntry) {
        return DeleteEntries(static_cast<int>(id));
    }
    if (type == CBaseObject::ObjectTypeNotification) {
        return DeleteReminders(static_cast<int>(id));
    }
    return RunDeleteQuery(GetTableName(type), static_cast<int>(id));
}

ULONG CDataLayer::GetID(CBaseObject::ObjectType type, ULONG refID) {
    if (!m_Connected) {
        return 0;
    }
    const char* table = GetTableName(type);
    if (!*table) {
        return 0;
    }
    CSqlText sql(sqlite3_mprintf("SELECT ID FROM %s WHERE RefID=%lu", table, AsLu(refID)));
    if (!sql) {
        return 0;
    }
    CSqlStatement statement;
    if (statement.Prepare(m_DB, sql.Get()) != SQLITE_OK || statement.Step() != SQLITE_ROW) {
        return 0;
    }
    return static_cast<ULONG>(sqlite3_column_int(statement.Get(), 0));
}

int CDataLayer::GetMaxOdometer(ULONG vehicleRefID, LONG* odometer) {
    if (!m_Connected || !odometer) {
        return 0;
    }
    CSqlText sql(sqlite3_mprintf("SELECT MAX(Odometer) FROM Entry WHERE VehicleID = %u",
                                 static_cast<unsigned>(vehicleRefID)));
    if (!sql) {
        return 0;
    }
    CSqlStatement statement;
    if (statement.Prepare(m_DB, sql.Get()) != SQLITE_OK || statement.Step() != SQLITE_ROW) {
        return 0;
    }
    *odometer = static_cast<LONG>(sqlite3_column_int(statement.Get(), 0));
    return 1;
}

int CDataLayer::UpdateCurrentOdometer(CVehicle* vehicle, LONG odometer) {
    if (!m_Connected || !vehicle || vehicle->GetID() == 0) {
        return 0;
    }
    const double now = GetSystemTimeAsOLEDate();
    CSqlText sql(sqlite3_mprintf("UPDATE Vehicle SET Modified=%f,CurrentOdometer=%lu WHERE ID=%d", now,
                                 AsLu(odometer), AsD(vehicle->GetID())));
    if (!ExecOK(m_DB, sql.Get())) {
        return 0;
    }
    vehicle->SetCurrentOdometer(odometer);
    vehicle->SetDateModified(now);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Fill flags and figure rows

int CDataLayer::GetFillFlags(const CEntry* entry, DWORD* flags) {
    if (!m_Connected || !entry || !flags || entry->GetRefID() == 0) {
        return 0;
    }
    return CFillFlagTable::Read(m_DB, entry->GetRefID(), flags) ? 1 : 0;
}

int CDataLayer::SetFillFlags(const CEntry* entry, DWORD flags) {
    if (!m_Connected || !entry || entry->GetID() == 0 || entry->GetRefID() == 0) {
        return 0;
    }
    return CFillFlagTable::Write(m_DB, entry->GetRefID(), flags) ? 1 : 0;
}

int CDataLayer::LoadFillFlags(std::vector<std::pair<ULONG, DWORD>>& flags) {
    flags.clear();
    if (!m_Connected) {
        return 0;
    }
    std::unordered_map<ULONG, DWORD> read;
    if (!CFillFlagTable::ReadAll(m_DB, read)) {
        return 0;
    }
    flags.assign(read.begin(), read.end());
    return 1;
}

int CDataLayer::ConvertFillNotes(LPCWSTR partialNote, LPCWSTR missedNote) {
    if (!m_Connected || !partialNote || !missedNote) {
        return 0;
    }
    return CFillFlagTable::MakeAndConvertNotes(m_DB, WideToUtf8(partialNote), WideToUtf8(missedNote)) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Reminder intervals

int CDataLayer::GetReminderInterval(const CNotification* reminder, ReminderInterval* interval) {
    if (!m_Connected || !reminder || !interval || reminder->GetRefID() == 0) {
        return 0;
    }
    CReminderIntervalTable::Interval read;
    if (!CReminderIntervalTable::Read(m_DB, reminder->GetRefID(), &read)) {
        *interval = ReminderInterval();
        return 0;
    }
    *interval = ReminderInterval{read.distance, read.months};
    return 1;
}

int CDataLayer::SetReminderInterval(const CNotification* reminder, const ReminderInterval& interval) {
    if (!m_Connected || !reminder || reminder->GetID() == 0 || reminder->GetRefID() == 0 ||
        interval.EveryDistance < 0 || interval.EveryMonths < 0 || interval.EveryDistance > MaxEveryDistance ||
        interval.EveryMonths > MaxEveryMonths) {
        return 0;
    }
    return CReminderIntervalTable::Write(m_DB, reminder->GetRefID(),
                                         {interval.EveryDistance, interval.EveryMonths})
               ? 1
               : 0;
}

int CDataLayer::LoadReminderIntervals(std::vector<std::pair<ULONG, ReminderInterval>>& intervals) {
    intervals.clear();
    if (!m_Connected) {
        return 0;
    }
    std::unordered_map<ULONG, CReminderIntervalTable::Interval> read;
    if (!CReminderIntervalTable::ReadAll(m_DB, read)) {
        return 0;
    }
    for (const auto& [refID, interval] : read) {
        intervals.emplace_back(refID, ReminderInterval{interval.distance, interval.months});
    }
    return 1;
}

int CDataLayer::LoadFigureRows(std::vector<FigureRow>& rows, CEntryFilter& filter) {
    rows.clear();
    if (!m_Connected) {
        return 0;
    }
    std::unordered_map<ULONG, DWORD> flags;
    if (!CFillFlagTable::ReadAll(m_DB, flags)) {
        return 0;
    }
    // The filter's own statement, with the columns the figures read in place of every column.
    static constexpr std::string_view kAll = "SELECT * FROM Entry ";
    std::string sql = filter.BuildSelectStatement();
    if (sql.compare(0, kAll.size(), kAll) != 0) {
        return 0;
    }
    // A column less is a good part of the cost: the vehicle is the filter's when it names one, and
    // the reference ID matters only where there are flags to find.
    const ULONG vehicle = filter.GetVehicleID();
    sql.replace(0, kAll.size(),
                std::string("SELECT Date, ID, ") + (vehicle != 0 ? "0" : "VehicleID") +
                    ", Odometer, Type, Amount, Custom1, Custom2, " + (flags.empty() ? "0" : "RefID") +
                    " FROM Entry ");
    CSqlStatement statement;
    if (statement.Prepare(m_DB, sql.c_str()) != SQLITE_OK) {
        return 0;
    }
    sqlite3_stmt* row = statement.Get();
    int rc;
    while ((rc = statement.Step()) == SQLITE_ROW) {
        FigureRow figures;
        figures.Date = sqlite3_column_double(row, 0);
        figures.ID = static_cast<LONG>(sqlite3_column_int(row, 1));
        figures.VehicleID = vehicle != 0 ? vehicle : static_cast<ULONG>(sqlite3_column_int64(row, 2));
        figures.Odometer = static_cast<LONG>(sqlite3_column_int(row, 3));
        figures.Type = static_cast<CEntry::Type>(sqlite3_column_int(row, 4));
        figures.Amount = static_cast<float>(sqlite3_column_double(row, 5));
        figures.Custom1 = static_cast<float>(sqlite3_column_double(row, 6));
        figures.Custom2 = static_cast<float>(sqlite3_column_double(row, 7));
        if (!flags.empty()) {
            const auto found = flags.find(static_cast<ULONG>(sqlite3_column_int64(row, 8)));
            if (found != flags.end()) {
                figures.FillFlags = found->second;
            }
        }
        rows.push_back(figures);
    }
    if (rc != SQLITE_DONE) {
        rows.clear();
        return 0;
    }
    return 1;
}
