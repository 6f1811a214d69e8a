#include "datastore/CDataFileVerifier.h"

#include "datastore/CRecordTable.h"
#include "datastore/CSqlText.h"
#include "platform/DebugOutput.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// What a failed engine call on a file that did open tells the user. A lock held too long, a full
// disk or a failing device is no proof that the file is not ours; only what the engine read and
// found wrong is.
CDataLayer::ConnectStatus StatusFor(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
        return CDataLayer::ConnectOK;
    case SQLITE_NOTADB:
        return CDataLayer::ConnectNotDataFile;
    case SQLITE_READONLY:
        return CDataLayer::ConnectReadOnly;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_NOMEM:
    case SQLITE_CANTOPEN:
    case SQLITE_PROTOCOL:
    case SQLITE_NOLFS:
    case SQLITE_INTERRUPT:
        return CDataLayer::ConnectOpenFailed;
    default:
        return CDataLayer::ConnectInvalidDatabase;
    }
}

int Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// The engine's result code; the pragma's value in value when there is one.
int PragmaInteger(sqlite3* db, const char* sql, std::int64_t& value) {
    CSqlStatement statement;
    int rc = statement.Prepare(db, sql);
    if (rc == SQLITE_OK && (rc = statement.Step()) == SQLITE_ROW) {
        value = sqlite3_column_int64(statement.Get(), 0);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;
}

// A file cut short can still hold an intact MetaData page and pass every other check; the page
// count in its header then promises more than the file holds. SQLITE_OK when it holds them all.
int FileHoldsAllPages(sqlite3* db) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods) {
        return SQLITE_CANTOPEN;
    }
    sqlite3_int64 size = 0;
    int rc = file->pMethods->xFileSize(file, &size);
    if (rc != SQLITE_OK) {
        return rc;
    }
    std::int64_t pages = 0;
    std::int64_t pageSize = 0;
    if ((rc = PragmaInteger(db, "PRAGMA page_count", pages)) != SQLITE_OK ||
        (rc = PragmaInteger(db, "PRAGMA page_size", pageSize)) != SQLITE_OK) {
        return rc;
    }
    if (pages < 0 || pageSize <= 0) {
        return SQLITE_CORRUPT;
    }
    if (size >= pages * pageSize) {
        return SQLITE_OK;
    }
    // With a write-ahead log the newest pages live in the log, not yet in the file.
    CSqlStatement mode;
    if ((rc = mode.Prepare(db, "PRAGMA journal_mode")) != SQLITE_OK || (rc = mode.Step()) != SQLITE_ROW) {
        return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;
    }
    const unsigned char* text = sqlite3_column_text(mode.Get(), 0);
    return text && std::string_view(reinterpret_cast<const char*>(text)) == "wal" ? SQLITE_OK
                                                                                  : SQLITE_CORRUPT;
}

struct TableShape {
    const char* name;
    std::vector<const char*> columns;
    bool isRecordTable; // exactly these columns, ID the row ID; else at least these
};

template <class Record> TableShape RecordTableShape() {
    const CRecordTable<Record>& table = CRecordTable<Record>::Get();
    TableShape shape{table.Name(), {}, true};
    for (const auto& column : table.Columns()) {
        shape.columns.push_back(column.name);
    }
    return shape;
}

bool SameName(const unsigned char* a, const char* b) {
    return a && sqlite3_stricmp(reinterpret_cast<const char*>(a), b) == 0;
}

// The table exists as a plain table of the main file.
CDataLayer::ConnectStatus CheckTableKind(sqlite3* db, const TableShape& shape) {
    CSqlText sql(sqlite3_mprintf("PRAGMA main.table_list(%Q)", shape.name));
    if (!sql) {
        return CDataLayer::ConnectOpenFailed;
    }
    CSqlStatement list;
    int rc = list.Prepare(db, sql.Get());
    if (rc != SQLITE_OK) {
        return StatusFor(rc);
    }
    rc = list.Step();
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? CDataLayer::ConnectInvalidDatabase : StatusFor(rc);
    }
    // Views and virtual tables would run what the file brings; a table without row IDs
    // cannot take the NULL ID of an insert.
    const unsigned char* type = sqlite3_column_text(list.Get(), 2);
    if (!type || std::string_view(reinterpret_cast<const char*>(type)) != "table" ||
        sqlite3_column_int(list.Get(), 4) != 0) {
        return CDataLayer::ConnectInvalidDatabase;
    }
    return CDataLayer::ConnectOK;
}

// The table has the columns the file format names.
CDataLayer::ConnectStatus CheckColumns(sqlite3* db, const TableShape& shape) {
    CSqlText sql(sqlite3_mprintf("PRAGMA main.table_xinfo(%Q)", shape.name));
    if (!sql) {
        return CDataLayer::ConnectOpenFailed;
    }
    CSqlStatement columns;
    int rc = columns.Prepare(db, sql.Get());
    if (rc != SQLITE_OK) {
        return StatusFor(rc);
    }
    const std::size_t count = shape.columns.size();
    std::size_t position = 0;
    std::size_t found = 0;
    while ((rc = columns.Step()) == SQLITE_ROW) {
        sqlite3_stmt* row = columns.Get();
        const unsigned char* name = sqlite3_column_text(row, 1);
        // Generated and hidden columns change what SELECT * and a plain INSERT mean.
        if (sqlite3_column_int(row, 6) != 0) {
            return CDataLayer::ConnectInvalidDatabase;
        }
        if (shape.isRecordTable) {
            if (position >= count || !SameName(name, shape.columns[position])) {
                return CDataLayer::ConnectInvalidDatabase;
            }
            // ID must be the row ID, so that an insert of NULL issues it.
            const bool isID = position == 0;
            const unsigned char* declared = sqlite3_column_text(row, 2);
            if (isID != (sqlite3_column_int(row, 5) == 1) || (isID && !SameName(declared, "INTEGER"))) {
                return CDataLayer::ConnectInvalidDatabase;
            }
        } else {
            for (const char* column : shape.columns) {
                if (SameName(name, column)) {
                    ++found;
                }
            }
        }
        ++position;
    }
    if (rc != SQLITE_DONE) {
        return StatusFor(rc);
    }
    const bool complete = shape.isRecordTable ? position == count : found == count;
    return complete ? CDataLayer::ConnectOK : CDataLayer::ConnectInvalidDatabase;
}

// The engine's own check of every page and record (without the index cross-check of a full
// integrity check); the first problem is enough.
CDataLayer::ConnectStatus QuickCheck(sqlite3* db) {
    CSqlStatement check;
    int rc = check.Prepare(db, "PRAGMA quick_check(1)");
    if (rc != SQLITE_OK) {
        return StatusFor(rc);
    }
    rc = check.Step();
    if (rc != SQLITE_ROW) {
        return StatusFor(rc == SQLITE_DONE ? SQLITE_CORRUPT : rc);
    }
    const unsigned char* text = sqlite3_column_text(check.Get(), 0);
    if (!text || std::string_view(reinterpret_cast<const char*>(text)) != "ok") {
        return CDataLayer::ConnectInvalidDatabase;
    }
    return CDataLayer::ConnectOK;
}

// The version field holds at most four characters; a longer text is cut, never between the
// halves of a surrogate pair.
std::u16string VersionField(LPCWSTR version) {
    std::u16string text(version);
    if (text.size() > 4) {
        std::size_t keep = 4;
        if (text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) {
            --keep;
        }
        text.resize(keep);
    }
    return text;
}

} // namespace

CDataLayer::ConnectStatus CDataFileVerifier::Verify(bool quickCheck) {
    if (!m_DB) {
        return CDataLayer::ConnectOpenFailed;
    }
    // An empty file is a database to the engine, but nobody's data file.
    std::int64_t pages = 0;
    if (const int rc = PragmaInteger(m_DB, "PRAGMA page_count", pages); rc != SQLITE_OK) {
        return StatusFor(rc);
    }
    if (pages == 0) {
        return CDataLayer::ConnectNotDataFile;
    }
    // A file that is not a database at all fails here, before the slower checks.
    CSqlStatement rows;
    if (const int rc = rows.Prepare(m_DB, "SELECT Value FROM MetaData"); rc != SQLITE_OK) {
        if (rc == SQLITE_ERROR) {
            m_FailedTable = "MetaData";
        }
        return StatusFor(rc);
    }
    if (const int rc = FileHoldsAllPages(m_DB); rc != SQLITE_OK) {
        return StatusFor(rc);
    }
    if (const CDataLayer::ConnectStatus status = CheckSchema(); status != CDataLayer::ConnectOK) {
        return status;
    }
    if (quickCheck) {
        if (const CDataLayer::ConnectStatus status = QuickCheck(m_DB); status != CDataLayer::ConnectOK) {
            return status;
        }
    }
    return ReadMetaData(rows);
}

CDataLayer::ConnectStatus CDataFileVerifier::CheckSchema() {
    // The record tables are read by position, so they must hold exactly their columns; MetaData
    // needs only its two.
    const TableShape shapes[] = {RecordTableShape<CVehicle>(),
                                 RecordTableShape<CEntry>(),
                                 RecordTableShape<CKeyword>(),
                                 RecordTableShape<CNotification>(),
                                 {"MetaData", {"ID", "Value"}, false}};
    for (const TableShape& shape : shapes) {
        CDataLayer::ConnectStatus status = CheckTableKind(m_DB, shape);
        if (status == CDataLayer::ConnectOK) {
            status = CheckColumns(m_DB, shape);
        }
        if (status != CDataLayer::ConnectOK) {
            m_FailedTable = shape.name;
            return status;
        }
    }
    return CDataLayer::ConnectOK;
}

CDataLayer::ConnectStatus CDataFileVerifier::ReadMetaData(CSqlStatement& rows) {
    m_MetaDataRowsBad = true;
    auto missingRow = [](int rc) {
        return rc == SQLITE_DONE ? CDataLayer::ConnectInvalidDatabase : StatusFor(rc);
    };
    int rc = SQLITE_OK;
    if ((rc = rows.Step()) != SQLITE_ROW) {
        return missingRow(rc);
    }
    m_StoreID = static_cast<ULONG>(sqlite3_column_int64(rows.Get(), 0));

    if ((rc = rows.Step()) != SQLITE_ROW) {
        return missingRow(rc);
    }
    // The mark is the text itself: no blob, no trailing NUL, no other case.
    sqlite3_stmt* row = rows.Get();
    if (sqlite3_column_type(row, 0) != SQLITE_TEXT) {
        return CDataLayer::ConnectInvalidDatabase;
    }
    const unsigned char* mark = sqlite3_column_text(row, 0);
    if (!mark || sqlite3_column_bytes(row, 0) != 3 || std::memcmp(mark, "QDX", 3) != 0) {
        return CDataLayer::ConnectInvalidDatabase;
    }

    if ((rc = rows.Step()) != SQLITE_ROW) {
        return missingRow(rc);
    }
    const auto* version = static_cast<LPCWSTR>(sqlite3_column_text16(rows.Get(), 0));
    if (!version) {
        return CDataLayer::ConnectInvalidDatabase;
    }
    m_Version = VersionField(version);
    OutputDebugStringW(u"\nDBVersion=");
    OutputDebugStringW(m_Version.c_str());
    rows.Finalize(); // no reader stays open across the store ID's write
    m_MetaDataRowsBad = false;
    return CDataLayer::ConnectOK;
}

CDataLayer::ConnectStatus CDataFileVerifier::WriteStoreID(ULONG storeID) {
    // Only the one row is changed.
    CSqlText sql(
        sqlite3_mprintf("UPDATE MetaData SET Value=%lu WHERE ID=1", static_cast<unsigned long>(storeID)));
    if (!sql) {
        return CDataLayer::ConnectOpenFailed;
    }
    int rc = Exec(m_DB, "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) {
        return StatusFor(rc);
    }
    rc = Exec(m_DB, sql.Get());
    if (rc == SQLITE_OK && sqlite3_changes(m_DB) != 1) {
        rc = SQLITE_CORRUPT; // no row with ID 1 (or several): the ID would never be kept
    }
    if (rc == SQLITE_OK) {
        rc = Exec(m_DB, "COMMIT");
    }
    if (rc != SQLITE_OK) {
        Exec(m_DB, "ROLLBACK");
        return StatusFor(rc);
    }
    m_StoreID = storeID;
    return CDataLayer::ConnectOK;
}
