#include "datastore/CDataFileRepair.h"

#include "datastore/CReadOnlyDatabase.h"
#include "datastore/CSqlStatement.h"
#include "datastore/CSqlText.h"
#include "datastore/HardenConnection.h"
#include "datastore/RecoverFromPages.h"
#include "datastore/WriteAheadLog.h"
#include "platform/TextConversion.h"
#include "platform/WideString.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_set>

namespace {

constexpr sqlite3_int64 kFirstRowID = std::numeric_limits<sqlite3_int64>::min();
constexpr sqlite3_int64 kLastRowID = std::numeric_limits<sqlite3_int64>::max();

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

std::string Text(sqlite3_stmt* row, int column) {
    const unsigned char* text = sqlite3_column_text(row, column);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::string Quoted(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

int Exec(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

// The first row ID from start on that the table yields, as a probe of where it can be read:
// SQLITE_ROW with the ID, SQLITE_DONE when none follows, or the engine's error.
int FirstRowFrom(sqlite3* db, const std::string& table, sqlite3_int64 start, sqlite3_int64& rowID) {
    CSqlStatement probe;
    const std::string sql =
        "SELECT rowid FROM " + table + " NOT INDEXED WHERE rowid >= ?1 ORDER BY rowid LIMIT 1";
    int rc = probe.Prepare(db, sql.c_str());
    if (rc != SQLITE_OK) {
        return rc;
    }
    sqlite3_bind_int64(probe.Get(), 1, start);
    rc = probe.Step();
    if (rc == SQLITE_ROW) {
        rowID = sqlite3_column_int64(probe.Get(), 0);
    }
    return rc;
}

// Runs one table or index description of the damaged file. The text is the file's, so it may
// carry more than the engine reads of it (a second statement, an ATTACH): only a single CREATE
// TABLE or CREATE [UNIQUE] INDEX runs.
int CreateFromSchema(sqlite3* db, const std::string& sql) {
    std::size_t start = sql.find_first_not_of(" \t\r\n");
    const std::string_view text =
        start == std::string::npos ? std::string_view() : std::string_view(sql).substr(start);
    auto startsWith = [text](std::string_view word) {
        return text.size() >= word.size() &&
               sqlite3_strnicmp(text.data(), word.data(), static_cast<int>(word.size())) == 0;
    };
    if (!startsWith("CREATE TABLE") && !startsWith("CREATE INDEX") && !startsWith("CREATE UNIQUE INDEX")) {
        return SQLITE_AUTH;
    }
    CSqlStatement statement;
    const char* tail = nullptr;
    int rc = statement.Prepare(db, sql.c_str(), &tail);
    if (rc != SQLITE_OK) {
        return rc;
    }
    if (tail && std::string_view(tail).find_first_not_of(" \t\r\n;") != std::string_view::npos) {
        return SQLITE_AUTH;
    }
    rc = statement.Step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// What a damaged page answers. Anything else (busy, locked, out of memory, interrupted) says
// nothing of the rows, so it ends the repair instead of counting them as lost.
bool IsDamage(int rc) {
    switch (rc & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_IOERR:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
    case SQLITE_RANGE:
    case SQLITE_ERROR:
    case SQLITE_TOOBIG:
    case SQLITE_MISMATCH:
        return true;
    default:
        return false;
    }
}

bool Readable(int rc) {
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

// The columns a row of the table is written with, quoted (generated ones are made by the copy
// itself), and whether it is a table without row IDs. False when they cannot be asked for.
bool WrittenColumns(sqlite3* db, const std::string& table, std::vector<std::string>& columns,
                    bool& withoutRowID) {
    CSqlText sql(sqlite3_mprintf("SELECT name, hidden FROM pragma_table_xinfo(%Q)", table.c_str()));
    CSqlStatement info;
    if (!sql || info.Prepare(db, sql.Get()) != SQLITE_OK) {
        return false;
    }
    while (info.Step() == SQLITE_ROW) {
        if (sqlite3_column_int(info.Get(), 1) == 0) {
            columns.push_back(Quoted(Text(info.Get(), 0)));
        }
    }
    CSqlText kind(sqlite3_mprintf("SELECT wr FROM pragma_table_list(%Q)", table.c_str()));
    CSqlStatement list;
    withoutRowID = kind && list.Prepare(db, kind.Get()) == SQLITE_OK && list.Step() == SQLITE_ROW &&
                   sqlite3_column_int(list.Get(), 0) != 0;
    return true;
}

// Past a stretch of the table that cannot be read at all from bad on: looks further and further
// ahead for where it can be read again, then narrows down to the first row ID from which it can.
// False when nothing after bad can be read.
bool ReadableAgainFrom(sqlite3* db, const std::string& table, sqlite3_int64 bad, sqlite3_int64& good) {
    sqlite3_int64 found = 0;
    // Below zero the probes halve the distance to zero: row IDs are almost always positive, and
    // probes ahead of the lowest possible one would never reach them past a stretch at the start.
    sqlite3_int64 step = 1;
    for (;;) {
        sqlite3_int64 probe = bad / 2;
        if (bad >= 0) {
            if (bad == kLastRowID) {
                return false; // nothing readable up to the last possible row ID
            }
            probe = bad > kLastRowID - step ? kLastRowID : bad + step;
            step = step > kLastRowID / 2 ? step : step * 2;
        }
        const int rc = FirstRowFrom(db, table, probe, found);
        if (rc == SQLITE_DONE) {
            return false;
        }
        if (Readable(rc)) {
            good = probe;
            break;
        }
        bad = probe;
    }
    while (good - bad > 1) {
        const sqlite3_int64 middle = bad + (good - bad) / 2;
        if (Readable(FirstRowFrom(db, table, middle, found))) {
            good = middle;
        } else {
            bad = middle;
        }
    }
    return true;
}

// The row IDs a statement yields; false when it cannot be read to its end.
bool RowIDs(sqlite3* db, const std::string& sql, std::unordered_set<sqlite3_int64>& rowIDs) {
    CSqlStatement statement;
    if (statement.Prepare(db, sql.c_str()) != SQLITE_OK) {
        return false;
    }
    int rc;
    while ((rc = statement.Step()) == SQLITE_ROW) {
        rowIDs.insert(sqlite3_column_int64(statement.Get(), 0));
    }
    return rc == SQLITE_DONE;
}

// Rows of the table that the damage hid without a trace in the table itself (a cell count made
// smaller, a stretch that could not be read): its indexes still name them. Each full index that
// can be read tells how many rows it names beyond those kept and those counted already, less the
// kept rows it does not know (a row ID the damage changed); an index may be damaged too, so the
// fewest is taken. 0 when no index can tell.
std::int64_t HiddenRows(sqlite3* from, sqlite3* to, const std::string& table, std::int64_t counted) {
    const std::string name = Quoted(table);
    std::unordered_set<sqlite3_int64> kept;
    if (!RowIDs(to, "SELECT rowid FROM " + name, kept)) {
        return 0;
    }
    std::vector<std::string> indexes;
    {
        CSqlText sql(
            sqlite3_mprintf("SELECT name FROM pragma_index_list(%Q) WHERE partial = 0", table.c_str()));
        CSqlStatement list;
        if (!sql || list.Prepare(from, sql.Get()) != SQLITE_OK) {
            return 0;
        }
        while (list.Step() == SQLITE_ROW) {
            indexes.push_back(Text(list.Get(), 0));
        }
    }
    std::optional<std::int64_t> fewest;
    for (const std::string& index : indexes) {
        std::unordered_set<sqlite3_int64> named;
        if (!RowIDs(from, "SELECT rowid FROM " + name + " INDEXED BY " + Quoted(index), named)) {
            continue;
        }
        std::int64_t missing = 0;
        for (const sqlite3_int64 rowID : named) {
            missing += kept.count(rowID) == 0 ? 1 : 0;
        }
        std::int64_t unknown = 0;
        for (const sqlite3_int64 rowID : kept) {
            unknown += named.count(rowID) == 0 ? 1 : 0;
        }
        const std::int64_t hidden = std::max<std::int64_t>(0, missing - unknown - counted);
        fewest = fewest ? std::min(*fewest, hidden) : hidden;
    }
    return fewest.value_or(0);
}

} // namespace

class CDataFileRepair::Recovery {
public:
    explicit Recovery(CReadOnlyDatabase& database) : m_Database(database) {}

    // The recovered rows, or nullptr when the recovery cannot run or failed.
    sqlite3* Rows() {
        if (!m_Tried) {
            m_Tried = true;
            Run();
        }
        return m_Rows.Get();
    }

private:
    void Run() {
        sqlite3* from = m_Database.Get();
        // The pages are read from the file as it lies.
        const char* file = sqlite3_db_filename(from, "main");
        const std::string& folder = m_Database.WorkFolder();
        if (MayHoldPagesInLog(from) || !file || !*file || folder.empty()) {
            return;
        }
        // A connection of its own, as the recovery opens a transaction of its own; the repair's
        // read keeps writers out until both are done. No wait: only a writer waiting for the
        // repair's read to end could keep this one out, and it would wait for this one in turn.
        CReadOnlyDatabase source;
        if (source.Open(Utf8ToWide(file).c_str(), 0) != CDataLayer::ConnectOK) {
            return;
        }
        // Opened for reading only, so nothing can be written: the recovery may then read table
        // descriptions the engine cannot parse, as the copy's own schema read does.
        sqlite3_db_config(source.Get(), SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
        const std::string output = folder + "/recovered";
        if (RecoverFromPages(source.Get(), output) != SQLITE_OK) {
            return;
        }
        source.Close();
        if (m_Rows.Open(Utf8ToWide(output).c_str(), 0) != CDataLayer::ConnectOK) {
            m_Rows.Close();
        }
    }

    CReadOnlyDatabase& m_Database;
    bool m_Tried = false;
    CReadOnlyDatabase m_Rows;
};

std::int64_t CDataFileRepair::Skipped() const {
    std::int64_t skipped = 0;
    for (const TableCopy& table : m_Tables) {
        skipped += table.skipped;
    }
    return skipped;
}

std::int64_t CDataFileRepair::DamagedStretches() const {
    std::int64_t stretches = 0;
    for (const TableCopy& table : m_Tables) {
        stretches += table.damagedStretches;
    }
    return stretches;
}

CDataFileRepair::Result CDataFileRepair::Run(LPCWSTR source, LPCWSTR target) {
    m_Problem.clear();
    m_Tables.clear();
    m_Indexes.clear();
    m_Stopped = SQLITE_OK;
    CReadOnlyDatabase database;
    m_SourceStatus = database.Open(source, busyTimeoutMs);
    if (m_SourceStatus != CDataLayer::ConnectOK) {
        return RepairSourceNotRead;
    }
    sqlite3* from = database.Get();
    Recovery recovery(database);
    // One read transaction: every table is read as of one moment, and once the first read holds
    // the file no writer can come between.
    Exec(from, "BEGIN");

    std::vector<SchemaItem> schema;
    if (!ReadSchema(from, schema)) {
        m_SourceStatus = CDataLayer::ConnectInvalidDatabase;
        m_Problem = sqlite3_errmsg(from);
        return RepairSourceNotRead;
    }

    sqlite3* opened = nullptr;
    const std::string targetPath = WideToUtf8(std::u16string_view(target, WideLength(target)));
    const int rc =
        sqlite3_open_v2(targetPath.c_str(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, DbCloser> to(opened);
    if (rc != SQLITE_OK || !to) {
        m_Problem = to ? sqlite3_errmsg(to.get()) : sqlite3_errstr(rc);
        return RepairWriteFailed;
    }
    // Nothing in the copied table descriptions may run but what builds the rows.
    sqlite3_limit(to.get(), SQLITE_LIMIT_ATTACHED, 0);
    if (!HardenConnection(to.get()) || !Prepare(from, to.get()) || Exec(to.get(), "BEGIN") != SQLITE_OK) {
        m_Problem = sqlite3_errmsg(to.get());
        return RepairWriteFailed;
    }

    for (const SchemaItem& item : schema) {
        // The engine's own tables come with the others; virtual tables would run a module.
        if (item.type != "table" || item.name.rfind("sqlite_", 0) == 0 ||
            item.sql.rfind("CREATE VIRTUAL", 0) == 0) {
            continue;
        }
        TableCopy table;
        table.name = item.name;
        if (const int made = CreateFromSchema(to.get(), item.sql); made != SQLITE_OK) {
            table.problem =
                made == SQLITE_AUTH ? "not a single CREATE TABLE statement" : sqlite3_errmsg(to.get());
        } else {
            CopyTable(from, to.get(), table, recovery);
            if (m_Stopped == SQLITE_OK && table.problem.empty()) {
                table.skipped += HiddenRows(from, to.get(), table.name, table.skipped);
            }
        }
        m_Tables.push_back(table);
        if (m_Stopped != SQLITE_OK) {
            // Busy or out of memory: a copy now would lack rows that are there.
            Exec(to.get(), "ROLLBACK");
            m_SourceStatus = CDataLayer::ConnectOpenFailed;
            return RepairSourceNotRead;
        }
    }
    for (const SchemaItem& item : schema) {
        // Indexes made by a table's own constraints have no statement and came with the table.
        if (item.type != "index" || item.sql.empty()) {
            continue;
        }
        if (const int made = CreateFromSchema(to.get(), item.sql); made != SQLITE_OK) {
            m_Indexes.push_back({item.name, made == SQLITE_AUTH ? "not a single CREATE INDEX statement"
                                                                : sqlite3_errmsg(to.get())});
        }
    }
    if (Exec(to.get(), "COMMIT") != SQLITE_OK) {
        m_Problem = sqlite3_errmsg(to.get());
        Exec(to.get(), "ROLLBACK");
        return RepairWriteFailed;
    }
    if (sqlite3_close(to.release()) != SQLITE_OK) {
        m_Problem = "close";
        return RepairWriteFailed;
    }
    return RepairOK;
}

bool CDataFileRepair::ReadSchema(sqlite3* from, std::vector<SchemaItem>& items) {
    const char* sql = "SELECT type, name, sql FROM sqlite_schema ORDER BY rowid";
    CSqlStatement statement;
    if (statement.Prepare(from, sql) != SQLITE_OK) {
        // A description that does not parse keeps the engine from reading any; read them as
        // plain rows instead. The file is open for reading only, so nothing can be written.
        sqlite3_db_config(from, SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
        sqlite3_exec(from, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
        if (statement.Prepare(from, sql) != SQLITE_OK) {
            return false;
        }
    }
    int rc;
    while ((rc = statement.Step()) == SQLITE_ROW) {
        items.push_back({Text(statement.Get(), 0), Text(statement.Get(), 1), Text(statement.Get(), 2)});
    }
    return rc == SQLITE_DONE;
}

bool CDataFileRepair::Prepare(sqlite3* from, sqlite3* to) {
    // What the file says of itself, before its first table: page size, text encoding, the
    // numbers an application keeps in the header.
    for (const char* pragma : {"page_size", "encoding", "auto_vacuum", "user_version", "application_id"}) {
        CSqlText read(sqlite3_mprintf("PRAGMA %s", pragma));
        CSqlStatement value;
        if (!read || value.Prepare(from, read.Get()) != SQLITE_OK || value.Step() != SQLITE_ROW) {
            continue; // the copy keeps the engine's default
        }
        const std::string text = Text(value.Get(), 0);
        CSqlText write(sqlite3_mprintf("PRAGMA %s=%Q", pragma, text.c_str()));
        if (!write || sqlite3_exec(to, write.Get(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

void CDataFileRepair::CopyTable(sqlite3* from, sqlite3* to, TableCopy& table, Recovery& recovery) {
    const std::string name = Quoted(table.name);
    std::vector<std::string> columns;
    bool withoutRowID = false;
    if (!WrittenColumns(from, table.name, columns, withoutRowID)) {
        table.problem = sqlite3_errmsg(from);
        return;
    }
    if (columns.empty()) {
        table.problem = "no columns";
        return;
    }
    std::string list;
    std::string marks;
    for (const std::string& column : columns) {
        list += (list.empty() ? "" : ",") + column;
        marks += marks.empty() ? "?" : ",?";
    }
    // Row IDs are kept: the program reads MetaData in table order, and a table without an ID
    // column has only its row IDs for that order.
    const std::string insertSql =
        withoutRowID ? "INSERT INTO " + name + "(" + list + ") VALUES(" + marks + ")"
                     : "INSERT INTO " + name + "(rowid," + list + ") VALUES(?," + marks + ")";
    CSqlStatement insert;
    if (insert.Prepare(to, insertSql.c_str()) != SQLITE_OK) {
        table.problem = sqlite3_errmsg(to);
        return;
    }
    const int count = static_cast<int>(columns.size());
    // The column that is the row ID under another name (INTEGER PRIMARY KEY), if any.
    int aliasColumn = -1;
    if (!withoutRowID) {
        CSqlText sql(sqlite3_mprintf("SELECT count(*), max(name), max(upper(type) = 'INTEGER') FROM "
                                     "pragma_table_info(%Q) WHERE pk > 0",
                                     table.name.c_str()));
        CSqlStatement keys;
        if (sql && keys.Prepare(from, sql.Get()) == SQLITE_OK && keys.Step() == SQLITE_ROW &&
            sqlite3_column_int(keys.Get(), 0) == 1 && sqlite3_column_int(keys.Get(), 2) == 1) {
            const auto found = std::find(columns.begin(), columns.end(), Quoted(Text(keys.Get(), 1)));
            aliasColumn = found == columns.end() ? -1 : static_cast<int>(found - columns.begin());
        }
    }
    // What a NOT NULL column gets when the damage left it NULL: 0, or empty text where the column
    // holds text. By position in columns; std::nullopt where NULL may stay.
    std::vector<std::optional<bool>> emptyText(columns.size());
    {
        CSqlText sql(sqlite3_mprintf("SELECT name, upper(type), \"notnull\" FROM pragma_table_info(%Q)",
                                     table.name.c_str()));
        CSqlStatement info;
        if (sql && info.Prepare(from, sql.Get()) == SQLITE_OK) {
            while (info.Step() == SQLITE_ROW) {
                const auto found = std::find(columns.begin(), columns.end(), Quoted(Text(info.Get(), 0)));
                if (found == columns.end() || sqlite3_column_int(info.Get(), 2) == 0) {
                    continue;
                }
                const std::string type = Text(info.Get(), 1);
                const bool text =
                    type.find("INT") == std::string::npos &&
                    (type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
                     type.find("TEXT") != std::string::npos || type.empty() ||
                     type.find("BLOB") != std::string::npos);
                emptyText[static_cast<std::size_t>(found - columns.begin())] = text;
            }
        }
    }
    // Binds the NULLs of NOT NULL columns anew; false when the row has none.
    auto fillNulls = [&](sqlite3_stmt* row, int first) {
        bool filled = false;
        for (std::size_t c = 0; c < emptyText.size(); ++c) {
            const int at = first + static_cast<int>(c);
            if (!emptyText[c] || sqlite3_column_type(row, at) != SQLITE_NULL) {
                continue;
            }
            if (*emptyText[c]) {
                sqlite3_bind_text(insert.Get(), at + 1, "", 0, SQLITE_STATIC);
            } else {
                sqlite3_bind_int(insert.Get(), at + 1, 0);
            }
            filled = true;
        }
        return filled;
    };
    // A row read a second time (by the second pass below) is already there, or already counted as
    // refused: each row is counted once.
    std::unordered_set<sqlite3_int64> refused;
    // True when the row is kept.
    auto store = [&](sqlite3_stmt* row, int first, bool again) {
        sqlite3_reset(insert.Get());
        for (int i = 0; i < first + count; ++i) {
            sqlite3_bind_value(insert.Get(), i + 1, sqlite3_column_value(row, i));
        }
        int rc = insert.Step();
        // A value the damage took where the table allows none: the row is kept with an empty one.
        bool filled = false;
        if (rc != SQLITE_DONE && sqlite3_extended_errcode(to) == SQLITE_CONSTRAINT_NOTNULL) {
            sqlite3_reset(insert.Get());
            if (fillNulls(row, first)) {
                rc = insert.Step();
                filled = true;
            }
        }
        if (rc == SQLITE_DONE) {
            ++table.kept;
            table.defaulted += filled ? 1 : 0;
            return true;
        }
        const bool taken = sqlite3_extended_errcode(to) == SQLITE_CONSTRAINT_PRIMARYKEY;
        if (again && taken) {
            return false;
        }
        // A row ID that damage made equal to another row's: the row is kept under a new one.
        if (taken && first == 1) {
            sqlite3_reset(insert.Get());
            sqlite3_bind_null(insert.Get(), 1);
            if (aliasColumn >= 0) {
                sqlite3_bind_null(insert.Get(), aliasColumn + 2);
            }
            if (insert.Step() == SQLITE_DONE) {
                ++table.kept;
                table.defaulted += filled ? 1 : 0;
                return true;
            }
        }
        // A constraint of the table refuses what the damage left.
        if (first == 0 || refused.insert(sqlite3_column_int64(row, 0)).second) {
            ++table.skipped;
        }
        return false;
    };

    if (withoutRowID) {
        // No row IDs to step over damage with: what can be read in order is kept.
        CSqlStatement scan;
        const std::string sql = "SELECT " + list + " FROM " + name;
        if (scan.Prepare(from, sql.c_str()) != SQLITE_OK) {
            table.problem = sqlite3_errmsg(from);
            return;
        }
        int rc;
        while ((rc = scan.Step()) == SQLITE_ROW) {
            store(scan.Get(), 0, false);
        }
        if (rc != SQLITE_DONE && !IsDamage(rc)) {
            m_Stopped = rc;
        } else if (rc != SQLITE_DONE) {
            ++table.damagedStretches;
        }
        return;
    }

    // First the table as it lies, page after page: a row ID that damage changed breaks no order
    // here. Only where a page cannot be read does the second pass seek past it by row ID.
    {
        const std::string plainSql = "SELECT rowid," + list + " FROM " + name + " NOT INDEXED";
        CSqlStatement plain;
        if (plain.Prepare(from, plainSql.c_str()) != SQLITE_OK) {
            table.problem = sqlite3_errmsg(from);
            return;
        }
        int rc;
        while ((rc = plain.Step()) == SQLITE_ROW) {
            store(plain.Get(), 1, false);
        }
        if (rc == SQLITE_DONE) {
            return;
        }
        if (!IsDamage(rc)) {
            m_Stopped = rc;
            return;
        }
    }

    // The rows whose ID could be read but not their values.
    std::unordered_set<sqlite3_int64> lost;
    const std::string scanSql =
        "SELECT rowid," + list + " FROM " + name + " NOT INDEXED WHERE rowid >= ?1 ORDER BY rowid";
    CSqlStatement scan;
    if (scan.Prepare(from, scanSql.c_str()) != SQLITE_OK) {
        table.problem = sqlite3_errmsg(from);
        return;
    }
    auto readPastDamage = [&] {
        sqlite3_int64 next = kFirstRowID;
        for (;;) {
            sqlite3_reset(scan.Get());
            sqlite3_bind_int64(scan.Get(), 1, next);
            int rc;
            bool atEnd = false;
            while ((rc = scan.Step()) == SQLITE_ROW) {
                const sqlite3_int64 rowID = sqlite3_column_int64(scan.Get(), 0);
                // Rows out of order (a row ID the damage changed) are kept too, once.
                store(scan.Get(), 1, true);
                if (rowID < next) {
                    continue;
                }
                if (rowID == kLastRowID) {
                    atEnd = true;
                    break;
                }
                next = rowID + 1;
            }
            if (atEnd || rc == SQLITE_DONE) {
                return;
            }
            if (!IsDamage(rc)) {
                m_Stopped = rc;
                return;
            }
            // Reading stopped at the row after next. When its ID can be read, only that row is lost.
            sqlite3_int64 found = 0;
            rc = FirstRowFrom(from, name, next, found);
            if (rc == SQLITE_DONE) {
                return;
            }
            if (rc != SQLITE_ROW && !IsDamage(rc)) {
                m_Stopped = rc;
                return;
            }
            if (rc == SQLITE_ROW && found >= next) {
                ++table.skipped;
                lost.insert(found);
                if (found == kLastRowID) {
                    return;
                }
                next = found + 1;
                continue;
            }
            ++table.damagedStretches;
            sqlite3_int64 good = 0;
            if (!ReadableAgainFrom(from, name, next, good)) {
                return;
            }
            next = good;
        }
    };
    readPastDamage();
    if (m_Stopped != SQLITE_OK || (lost.empty() && table.damagedStretches == 0)) {
        return;
    }

    // What the recovery pieced together of the rows that could not be read: those not kept yet.
    sqlite3* pieces = recovery.Rows();
    if (!pieces) {
        return;
    }
    const std::string piecesSql = "SELECT rowid," + list + " FROM " + name;
    const std::string keptSql = "SELECT 1 FROM " + name + " WHERE rowid = ?1";
    CSqlStatement rows;
    CSqlStatement kept;
    if (rows.Prepare(pieces, piecesSql.c_str()) != SQLITE_OK ||
        kept.Prepare(to, keptSql.c_str()) != SQLITE_OK) {
        return;
    }
    while (rows.Step() == SQLITE_ROW) {
        const sqlite3_int64 rowID = sqlite3_column_int64(rows.Get(), 0);
        sqlite3_reset(kept.Get());
        sqlite3_bind_int64(kept.Get(), 1, rowID);
        // A row whose values were read and refused stays out.
        if (kept.Step() == SQLITE_ROW || refused.count(rowID) > 0) {
            continue;
        }
        // A row already counted as left out is counted once, kept or not.
        const bool counted = lost.erase(rowID) > 0;
        if (counted) {
            refused.insert(rowID);
        }
        if (store(rows.Get(), 1, true)) {
            ++table.pieced;
            table.skipped -= counted ? 1 : 0;
        }
    }
}
