#include "datastore/RawPageTable.h"

#include "datastore/CSqlStatement.h"
#include "datastore/CSqlText.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

namespace {

enum Column { ColumnPage, ColumnData, ColumnSchema };
enum Given { GivenSchema = 1, GivenPage = 2 };

struct PageTable {
    sqlite3_vtab base{}; // first: the engine sees only this
    sqlite3* db = nullptr;
};

struct PageCursor {
    sqlite3_vtab_cursor base{}; // first: the engine sees only this
    sqlite3* db = nullptr;
    std::string schema;
    sqlite3_file* file = nullptr;
    sqlite3_int64 page = 1;
    sqlite3_int64 last = 0;
    int pageSize = 0;
    std::vector<unsigned char> data;
};

PageCursor* CursorOf(sqlite3_vtab_cursor* cursor) {
    return reinterpret_cast<PageCursor*>(cursor);
}

int Connect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** table, char**) {
    int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(pgno INTEGER PRIMARY KEY, data BLOB, schema HIDDEN)");
    if (rc != SQLITE_OK) {
        return rc;
    }
    // Raw pages are for the recovery's own statements, never for a view or trigger a file brings.
    sqlite3_vtab_config(db, SQLITE_VTAB_DIRECTONLY);
    auto made = std::make_unique<PageTable>();
    made->db = db;
    *table = &made.release()->base;
    return SQLITE_OK;
}

int Disconnect(sqlite3_vtab* table) {
    std::unique_ptr<PageTable> owned(reinterpret_cast<PageTable*>(table));
    return SQLITE_OK;
}

int BestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
    int schemaAt = -1;
    int pageAt = -1;
    bool schemaUnusable = false;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& constraint = info->aConstraint[i];
        if (constraint.op != SQLITE_INDEX_CONSTRAINT_EQ) {
            continue;
        }
        if (constraint.iColumn == ColumnSchema) {
            if (constraint.usable) {
                schemaAt = i;
            } else {
                schemaUnusable = true;
            }
        } else if ((constraint.iColumn == ColumnPage || constraint.iColumn < 0) && constraint.usable) {
            pageAt = i;
        }
    }
    // A plan that cannot name the schema must not be chosen over one that can.
    if (schemaUnusable && schemaAt < 0) {
        return SQLITE_CONSTRAINT;
    }
    int argument = 1;
    info->idxNum = 0;
    if (schemaAt >= 0) {
        info->aConstraintUsage[schemaAt].argvIndex = argument++;
        info->aConstraintUsage[schemaAt].omit = 1;
        info->idxNum |= GivenSchema;
    }
    if (pageAt >= 0) {
        info->aConstraintUsage[pageAt].argvIndex = argument;
        info->aConstraintUsage[pageAt].omit = 1;
        info->idxNum |= GivenPage;
        info->estimatedCost = 1.0;
        info->estimatedRows = 1;
        info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
    } else {
        info->estimatedCost = 1.0e6;
    }
    if (info->nOrderBy == 1 && info->aOrderBy[0].iColumn <= ColumnPage && !info->aOrderBy[0].desc) {
        info->orderByConsumed = 1;
    }
    return SQLITE_OK;
}

int Open(sqlite3_vtab* table, sqlite3_vtab_cursor** cursor) {
    auto made = std::make_unique<PageCursor>();
    made->db = reinterpret_cast<PageTable*>(table)->db;
    *cursor = &made.release()->base;
    return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* cursor) {
    std::unique_ptr<PageCursor> owned(CursorOf(cursor));
    return SQLITE_OK;
}

// The engine's answer to a pragma of the schema that gives one number; -1 when it gives none.
sqlite3_int64 PragmaNumber(sqlite3* db, const std::string& schema, const char* pragma) {
    CSqlText sql(sqlite3_mprintf("PRAGMA \"%w\".%s", schema.c_str(), pragma));
    CSqlStatement statement;
    if (!sql || statement.Prepare(db, sql.Get()) != SQLITE_OK || statement.Step() != SQLITE_ROW) {
        return -1;
    }
    return sqlite3_column_int64(statement.Get(), 0);
}

int Fail(sqlite3_vtab_cursor* cursor, const char* why) {
    sqlite3_free(cursor->pVtab->zErrMsg);
    cursor->pVtab->zErrMsg = sqlite3_mprintf("%s", why);
    return SQLITE_ERROR;
}

int Filter(sqlite3_vtab_cursor* cursor, int given, const char*, int argc, sqlite3_value** argv) {
    PageCursor* at = CursorOf(cursor);
    int argument = 0;
    at->schema = "main";
    if ((given & GivenSchema) && argument < argc) {
        const unsigned char* name = sqlite3_value_text(argv[argument++]);
        if (name) {
            at->schema = reinterpret_cast<const char*>(name);
        }
    }
    at->file = nullptr;
    if (sqlite3_file_control(at->db, at->schema.c_str(), SQLITE_FCNTL_FILE_POINTER, &at->file) != SQLITE_OK ||
        !at->file || !at->file->pMethods) {
        return Fail(cursor, "no such schema");
    }
    const sqlite3_int64 pageSize = PragmaNumber(at->db, at->schema, "page_size");
    const sqlite3_int64 pages = PragmaNumber(at->db, at->schema, "page_count");
    if (pageSize < 512 || pageSize > 65536 || pages < 0) {
        return Fail(cursor, "the page size or count cannot be read");
    }
    at->pageSize = static_cast<int>(pageSize);
    at->page = 1;
    at->last = pages;
    if ((given & GivenPage) && argument < argc) {
        const sqlite3_int64 page = sqlite3_value_int64(argv[argument]);
        if (page < 1 || page > pages) {
            at->last = 0;
        } else {
            at->page = page;
            at->last = page;
        }
    }
    return SQLITE_OK;
}

int Next(sqlite3_vtab_cursor* cursor) {
    ++CursorOf(cursor)->page;
    return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor* cursor) {
    const PageCursor* at = CursorOf(cursor);
    return at->page > at->last;
}

int ColumnValue(sqlite3_vtab_cursor* cursor, sqlite3_context* context, int column) {
    PageCursor* at = CursorOf(cursor);
    switch (column) {
    case ColumnPage:
        sqlite3_result_int64(context, at->page);
        return SQLITE_OK;
    case ColumnSchema:
        sqlite3_result_text(context, at->schema.c_str(), -1, SQLITE_TRANSIENT);
        return SQLITE_OK;
    default:
        break;
    }
    at->data.assign(static_cast<std::size_t>(at->pageSize), 0);
    const int rc = at->file->pMethods->xRead(at->file, at->data.data(), at->pageSize,
                                             (at->page - 1) * static_cast<sqlite3_int64>(at->pageSize));
    // Past the end of the file a page reads as zeros, as the engine reads it.
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ) {
        return rc;
    }
    sqlite3_result_blob(context, at->data.data(), at->pageSize, SQLITE_TRANSIENT);
    return SQLITE_OK;
}

int RowID(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowID) {
    *rowID = CursorOf(cursor)->page;
    return SQLITE_OK;
}

sqlite3_module MakeModule() {
    sqlite3_module module{};
    module.xConnect = Connect; // no xCreate: the table exists on every connection, by its name alone
    module.xBestIndex = BestIndex;
    module.xDisconnect = Disconnect;
    module.xDestroy = Disconnect;
    module.xOpen = Open;
    module.xClose = Close;
    module.xFilter = Filter;
    module.xNext = Next;
    module.xEof = Eof;
    module.xColumn = ColumnValue;
    module.xRowid = RowID;
    return module;
}

const sqlite3_module kModule = MakeModule();

} // namespace

int RegisterRawPageTable(sqlite3* db) {
    return sqlite3_create_module_v2(db, "sqlite_dbpage", &kModule, nullptr, nullptr);
}
