#include "datastore/CSideTable.h"

#include "datastore/CSqlStatement.h"

#include <sqlite3.h>

CSideTable::State CSideTable::Probe(sqlite3* db) const {
    CSqlStatement statement;
    if (statement.Prepare(db, m_Probe) == SQLITE_OK)
        return Usable;
    CSqlStatement exists;
    if (exists.Prepare(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?") != SQLITE_OK ||
        sqlite3_bind_text(exists.Get(), 1, m_Name, -1, SQLITE_STATIC) != SQLITE_OK)
        return Unusable;
    return exists.Step() == SQLITE_ROW ? Unusable : Missing;
}

bool CSideTable::Make(sqlite3* db) const {
    switch (Probe(db)) {
    case Usable:
        return true;
    case Unusable:
        return false;
    case Missing:
        break;
    }
    return sqlite3_exec(db, m_Create, nullptr, nullptr, nullptr) == SQLITE_OK && Probe(db) == Usable;
}
