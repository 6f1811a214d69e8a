#pragma once
// Writes a repaired copy of a damaged data file: every table is read row by row without its
// indexes, so a broken index hides no row; a row that cannot be read is skipped and counted, and a
// stretch of the table that cannot be read at all is stepped over. Where a table was damaged,
// SQLite's recovery code then pieces together what it can of the rows left out from the file's
// pages. The indexes are built anew from the rows. The damaged file is only read. Views and triggers, which
// the program never runs, are not copied.

#include "DorvaneExport.h"
#include "datastore/CDataLayer.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

class DORVANE_API CDataFileRepair {
public:
    enum Result {
        RepairOK,
        RepairSourceNotRead, // SourceStatus() says why; Problem() may add the engine's reason
        RepairWriteFailed,   // the copy could not be written; Problem() says why
    };

    struct TableCopy {
        std::string name;
        std::int64_t kept = 0;
        std::int64_t skipped = 0;          // rows whose values could not be read or stored, and rows the
                                           // table's indexes name that the damage hid
        std::int64_t damagedStretches = 0; // runs of rows lost where the table itself is broken
        std::string problem;               // why the table could not be made in the copy at all
        std::int64_t defaulted = 0;        // of the kept, rows with 0 or empty text where the damage left a
                                           // NULL the table forbids
        std::int64_t pieced = 0; // of the kept, rows pieced together from the file's pages where reading
                                 // the table failed: their values may be damaged too
    };
    struct IndexNotBuilt {
        std::string name;
        std::string problem;
    };

    // Writes the copy of source into target, a new or empty file that the caller removes when
    // this fails.
    Result Run(LPCWSTR source, LPCWSTR target);

    CDataLayer::ConnectStatus SourceStatus() const { return m_SourceStatus; }
    const std::string& Problem() const { return m_Problem; }
    const std::vector<TableCopy>& Tables() const { return m_Tables; }
    const std::vector<IndexNotBuilt>& IndexesNotBuilt() const { return m_Indexes; }
    // Rows left out in all tables.
    std::int64_t Skipped() const;
    std::int64_t DamagedStretches() const;

    int busyTimeoutMs = CDataLayer::BusyTimeoutMs;

private:
    struct SchemaItem {
        std::string type;
        std::string name;
        std::string sql;
    };

    // The rows SQLite's recovery code pieces together from the file's pages, made when a table
    // first needs them.
    class Recovery;

    bool ReadSchema(sqlite3* from, std::vector<SchemaItem>& items);
    bool Prepare(sqlite3* from, sqlite3* to);
    void CopyTable(sqlite3* from, sqlite3* to, TableCopy& table, Recovery& recovery);

    CDataLayer::ConnectStatus m_SourceStatus = CDataLayer::ConnectOK;
    std::string m_Problem;
    std::vector<TableCopy> m_Tables;
    std::vector<IndexNotBuilt> m_Indexes;
    int m_Stopped = 0; // the engine's code that ended the copy of a table other than damage
};
