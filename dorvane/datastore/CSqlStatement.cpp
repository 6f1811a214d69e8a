#include "datastore/CSqlStatement.h"

#include <sqlite3.h>

CSqlStatement::~CSqlStatement() {
    Finalize();
}

int CSqlStatement::Prepare(sqlite3* db, const char* sql, const char** tail) {
    Finalize();
    if (!db || !sql) {
        return SQLITE_MISUSE;
    }
    const int rc = sqlite3_prepare_v2(db, sql, -1, &m_Statement, tail);
    if (rc != SQLITE_OK) {
        Finalize();
        return rc;
    }
    // A text of only blanks or comments compiles to nothing.
    return m_Statement ? SQLITE_OK : SQLITE_MISUSE;
}

int CSqlStatement::Step() {
    return m_Statement ? sqlite3_step(m_Statement) : SQLITE_MISUSE;
}

void CSqlStatement::Finalize() {
    if (m_Statement) {
        sqlite3_finalize(m_Statement);
        m_Statement = nullptr;
    }
}
