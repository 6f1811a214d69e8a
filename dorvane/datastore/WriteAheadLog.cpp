#include "datastore/WriteAheadLog.h"

#include "datastore/CSqlStatement.h"

#include <sqlite3.h>

bool MayHoldPagesInLog(sqlite3* db) {
    CSqlStatement mode;
    return mode.Prepare(db, "PRAGMA journal_mode") != SQLITE_OK || mode.Step() != SQLITE_ROW ||
           sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(mode.Get(), 0)), "wal") == 0;
}
