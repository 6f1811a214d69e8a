#pragma once
// The full check of a data file, for the damage the check at connect cannot see: the engine's
// integrity check of every page, record and index, the tables and MetaData rows the file format
// needs, and the rules the data itself keeps (dates the program can show, every entry and reminder
// with its vehicle, a current odometer no lower than the vehicle's highest reading). The file is
// only read, never written. It tells what it found as kinds and figures; the program words them.

#include "DorvaneExport.h"
#include "datastore/CDataLayer.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CReadOnlyDatabase;
struct sqlite3_stmt;

class DORVANE_API CDataFileCheck {
public:
    struct Finding {
        enum Kind {
            Engine,              // text: a problem the engine's integrity check reports
            EngineMore,          // the engine stopped listing: there may be more
            CheckNotRun,         // text: a check that could not read the file (the engine's reason)
            Table,               // table: missing, or without the columns the file format names
            MetaData,            // the MetaData rows are not a store ID, the mark and a version
            DateOutOfRange,      // table, column, count, rowID (the first): no date from 100 to 9999
            EntryWithoutVehicle, // count, rowID (the first): no vehicle has its VehicleID
            ReminderWithoutVehicle,
            OdometerBelowReading, // rowID and text (the vehicle's name), value (current), highest
            FillFlagTable,        // table: a fill flags table without its columns; no flag is read
            FillFlagWithoutEntry, // table, count, rowID (the first entry reference ID): no entry has it
            FillFlagNotFuel,      // table, count, rowID (the first entry's): flags on an entry not a fill-up
            IntervalTable,        // table: a reminder intervals table without its columns; none is read
            IntervalWithoutReminder, // table, count, rowID (the first reminder reference ID): no reminder has
                                     // it
        };
        Kind kind = Engine;
        std::string table;
        std::string column;
        std::string text; // UTF-8
        std::int64_t rowID = 0;
        std::int64_t count = 0;
        std::int64_t value = 0;
        std::int64_t highest = 0;
    };

    enum Scope {
        ScopeStructure, // the engine's check, the tables and MetaData: what makes a sound copy
        ScopeEverything,
    };

    // The engine lists at most this many problems.
    static constexpr int MaxEngineProblems = 100;

    CDataFileCheck();
    ~CDataFileCheck();
    CDataFileCheck(const CDataFileCheck&) = delete;
    CDataFileCheck& operator=(const CDataFileCheck&) = delete;

    // Checks the file. ConnectOK once it was read (findings may still be there); else why it could
    // not be: missing, not readable, not a database at all, or ConnectOpenFailed (busy past the
    // wait, a failing disk, or cancelled).
    CDataLayer::ConnectStatus Run(LPCWSTR path, Scope scope = ScopeEverything);
    // From another thread: ends a running check soon; it then returns ConnectOpenFailed.
    void Cancel();
    bool WasCancelled() const;

    const std::vector<Finding>& Findings() const { return m_Findings; }
    bool IsSound() const { return m_Findings.empty(); }
    // A finding concerns the file's structure (the engine's, the tables', MetaData's), which a
    // repaired copy mends; the data's own rules travel with the rows into any copy.
    bool NeedsRepair() const;
    // The last write to the file had been cut short; the check saw the file as it is once that
    // write is undone, as the program's next open of the file will undo it.
    bool SawUndoneWrite() const { return m_SawUndoneWrite; }

    int busyTimeoutMs = CDataLayer::BusyTimeoutMs;

private:
    void CheckEngine();
    // The data's own rules, one pass over each table.
    void CheckRows();
    // Calls visit for each row of "SELECT ID, columns... FROM table"; false (with a finding)
    // when the table cannot be read to its end.
    bool ScanRows(const char* table, const std::vector<const char*>& columns,
                  const std::function<void(sqlite3_stmt* row)>& visit);
    // Adds a finding that the check could not run, with the engine's reason.
    void NotRun(const char* what);

    std::unique_ptr<CReadOnlyDatabase> m_Database;
    std::vector<Finding> m_Findings;
    bool m_SawUndoneWrite = false;
};
