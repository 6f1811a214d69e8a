#pragma once
// The library's single facade over the data file.

#include "DorvaneExport.h"
#include "platform/WinTypes.h"
#include "records/CDefaultStringHelperFactory.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

class DORVANE_API CDataLayer {
public:
    enum ConnectStatus {
        ConnectOK = 0,
        ConnectFileNotFound = 1,
        ConnectReadOnly = 2,
        ConnectInvalidDatabase = 3,
        ConnectOpenFailed = 4,
        // Finer reasons, given only by GetConnectReason() and the file checks; Connect itself
        // returns one of the five above.
        ConnectNotReadable = 5, // the file, or a folder on its path, may not be read
        ConnectNotDataFile = 6, // not a database at all: a folder, an empty file, or other content
    };

    enum CommitResult {
        CommitOK = 0,
        CommitBusy = 1,
        CommitFailed = 2,
    };

    // How long any statement waits for another process's lock before it gives up: the program
    // and the console tool share files, and a long import of the other holds its lock a while.
    static constexpr int BusyTimeoutMs = 30000;

    // Whom a statement that waits for a lock is waiting for.
    enum BusyWait {
        BusyWaitWriter = 1,  // another process is writing (or about to commit)
        BusyWaitReaders = 2, // this one is ready to commit and others are still reading
    };
    // Called once a statement has waited a noticeable while for another process's lock; the wait
    // then goes on, up to the busy timeout. Called on the thread that runs the statement.
    using BusyObserver = std::function<void(BusyWait wait)>;
    static constexpr int BusyNoticeMs = 250;

    CDataLayer();
    ~CDataLayer();
    CDataLayer(const CDataLayer&) = delete;
    CDataLayer& operator=(const CDataLayer&) = delete;

    // Connection (never throws; the status says what went wrong). Returns ConnectOK,
    // ConnectFileNotFound, ConnectReadOnly, ConnectInvalidDatabase or ConnectOpenFailed only.
    ConnectStatus Connect(LPCWSTR path);
    // Why the last Connect failed, as finely as the library can tell: what Connect returned, or
    // ConnectNotReadable (it returned ConnectOpenFailed) or ConnectNotDataFile (it returned
    // ConnectInvalidDatabase) where the file may not be read or is no database at all.
    ConnectStatus GetConnectReason() const { return m_ConnectReason; }
    void Disconnect();
    int IsConnected() const { return m_Connected; }
    LPCWSTR GetDBPath() const { return m_DBPath.c_str(); }
    LPCWSTR GetDBVersion() const { return m_DBVersion.c_str(); }
    ULONG GetStoreID() const { return m_StoreID; }
    // The linked engine's own version string.
    const char* GetDBLibVersion() const;

    int BeginTransaction();
    CommitResult Commit();
    int RollBack();
    // While held, a transaction keeps every change in memory until its commit rather than spill
    // pages into the file when the cache fills, which would lock out every reader for the rest of
    // the transaction. For a large batch; 1 on success.
    int HoldChangesUntilCommit(int hold);

    // Makes what runs on this connection on another thread (a Connect's checks, a load) stop soon
    // and fail, as a cancel does. Safe from any thread; does nothing when nothing runs.
    void Interrupt();

    void SetBusyObserver(BusyObserver observer) { m_BusyObserver = std::move(observer); }
    // How long statements wait for another process's lock; BusyTimeoutMs unless changed.
    void SetBusyTimeout(int milliseconds) { m_BusyTimeoutMs = milliseconds; }

    // The installed factory, else the built-in one; never null.
    CStringHelperFactory* GetStringHelperFactory();
    void SetStringHelperFactory(std::unique_ptr<CStringHelperFactory> factory);

    // Records: 1 on success, 0 on failure or when not connected.
    int Save(CVehicle* vehicle, int preserveDates);
    int Save(CEntry* entry, int preserveDates);
    int Save(CKeyword* keyword, int preserveDates);
    int Save(CNotification* reminder, int preserveDates);

    int Load(CVehicle* vehicle);
    int Load(CEntry* entry);
    int Load(CKeyword* keyword);
    int Load(CNotification* reminder);
    int LoadByRefID(CVehicle* vehicle);

    int Load(CObjectListT<CVehicle>& list);
    int Load(CObjectListT<CEntry>& list, CEntryFilter& filter);
    int Load(CObjectListT<CKeyword>& list, CKeyword::Type type);
    int Load(CObjectListT<CNotification>& list, ULONG vehicleRefID);

    int Delete(CVehicle* vehicle); // with the vehicle's entries and reminders, atomically
    int Delete(CEntry* entry);
    int Delete(CKeyword* keyword);
    int Delete(CNotification* reminder);
    int Delete(CBaseObject::ObjectType type, ULONG id); // id 0 empties the table

    ULONG GetID(CBaseObject::ObjectType type, ULONG refID);
    int GetMaxOdometer(ULONG vehicleRefID, LONG* odometer);
    int UpdateCurrentOdometer(CVehicle* vehicle, LONG odometer);

    // Fill flags of fuel entries, kept in a table of their own beside Entry and keyed by the
    // entry's reference ID, so that the file still opens and saves in versions without them. A
    // file without the table has no flags; the table is made when a flag is first stored.
    enum FillFlag : DWORD {
        FillPartial = 1, // the tank was not filled up
        FillMissed = 2,  // a fill-up before this one was not logged
    };
    // The stored entry's flags; 0 when it has none. 1 on success.
    int GetFillFlags(const CEntry* entry, DWORD* flags);
    // Stores the flags of a stored entry (0 removes them). 1 on success.
    int SetFillFlags(const CEntry* entry, DWORD flags);
    // Every entry's flags that are set, as pairs of the entry's reference ID and its flags.
    int LoadFillFlags(std::vector<std::pair<ULONG, DWORD>>& flags);
    // While the file has no flags table, moves the notes that an earlier import wrote at the start
    // of a fuel entry's notes (the two texts, each a line of its own, partial first) into flags,
    // removing them from the notes; the first such note makes the table, so it happens once. A
    // file without such notes is not written. 1 on success.
    int ConvertFillNotes(LPCWSTR partialNote, LPCWSTR missedNote);

    // Repeat intervals of reminders, kept in a table of their own beside Notification and keyed by
    // the reminder's reference ID, so that the file still opens and saves in versions without them,
    // which show a repeating reminder as a plain one. The table is made when first needed.
    struct ReminderInterval {
        LONG EveryDistance = 0; // distance units; 0: none
        LONG EveryMonths = 0;   // 0: none
    };
    static constexpr LONG MaxEveryDistance = 1000000;
    static constexpr LONG MaxEveryMonths = 600;
    // The stored reminder's interval; none when it does not repeat. 1 on success.
    int GetReminderInterval(const CNotification* reminder, ReminderInterval* interval);
    // Stores the interval of a stored reminder (none removes it). Refuses, with 0 and nothing
    // written, a negative figure or one over MaxEveryDistance or MaxEveryMonths. 1 on success.
    int SetReminderInterval(const CNotification* reminder, const ReminderInterval& interval);
    // Every repeating reminder's interval, as pairs of the reminder's reference ID and its interval.
    int LoadReminderIntervals(std::vector<std::pair<ULONG, ReminderInterval>>& intervals);

    // What the figures read of an entry: its numbers, without its texts.
    struct FigureRow {
        double Date = 0.0;
        LONG ID = 0;
        ULONG VehicleID = 0;
        LONG Odometer = 0;
        CEntry::Type Type = CEntry::EntryNone;
        float Amount = 0.0f;
        float Custom1 = 0.0f;
        float Custom2 = 0.0f;
        DWORD FillFlags = 0;
    };
    // The figure rows of the entries that the filter selects, in the order Load gives them.
    // A query that fails leaves the list empty. 1 on success.
    int LoadFigureRows(std::vector<FigureRow>& rows, CEntryFilter& filter);

private:
    void Reset();
    // Connect's work; the finer reason where it fails.
    ConnectStatus Open(LPCWSTR path);
    // Turns off what a hostile file could run and sets how long to wait for a lock; 0 on failure.
    int ConfigureConnection();
    // ConnectOK, or why the open file cannot be used; a file opened for the first time is given
    // its store ID.
    ConnectStatus VerifyDatabase();
    ULONG GenerateRefID();
    // A fresh reference ID that no row of the table holds yet; 0 when none could be issued.
    ULONG IssueUniqueRefID(const char* table);
    double GetSystemTimeAsOLEDate();
    void CloseDatabase();
    // The engine's busy handler: waits in short steps up to the busy timeout.
    static int OnBusy(void* self, int count);
    int WaitForLock(int count);
    int RunDeleteQuery(const char* table, int id);
    // Entries by row ID (0: every entry) with their fill flags, atomically.
    int DeleteEntries(int id);
    // Rows by row ID (0: all) with the rows a side table keeps for them (the statement that
    // removes those; empty when there is none), atomically.
    int DeleteWithSideRows(const char* table, int id, const std::string& sideDelete);
    // Reminders by row ID (0: every reminder) with their intervals, atomically.
    int DeleteReminders(int id);
    const char* GetTableName(CBaseObject::ObjectType type);

    // The record's row, written anew or added; the record's own row by its ID.
    template <class Record> int SaveRecord(Record* record, int preserveDates);
    template <class Record> int LoadRecord(Record* record);

    ULONG m_StoreID = 0;
    int m_Connected = 0;
    std::u16string m_DBPath;
    std::u16string m_DBVersion;
    sqlite3* m_DB = nullptr;
    CDefaultStringHelperFactory m_DefaultFactory;
    std::unique_ptr<CStringHelperFactory> m_Factory;

    // Tests replace the random draw behind GenerateRefID to provoke clashes; empty otherwise.
    friend class CDataLayerTestPeer;
    // Many rows at once go through one statement on this connection.
    template <class Record> friend class CBulkInsert;
    std::function<ULONG()> m_RefIDSource;
    int m_BusyTimeoutMs = BusyTimeoutMs;
    BusyObserver m_BusyObserver;
    std::int64_t m_BusySinceMs = 0; // when the current wait began, on the steady clock
    bool m_BusyNoticed = false;
    ConnectStatus m_ConnectReason = ConnectOK;
    std::mutex m_HandleMutex; // m_DB's opening and closing against Interrupt on another thread
};
