#include "support/SqliteFile.h"

#include <gtest/gtest.h>

SqliteFile::SqliteFile(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &m_DB, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path;
    }
}

SqliteFile::~SqliteFile() {
    sqlite3_close_v2(m_DB);
}

void SqliteFile::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(m_DB, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << (error ? error : "error");
    }
    sqlite3_free(error);
}

std::int64_t SqliteFile::Integer(const std::string& sql, std::int64_t fallback) {
    sqlite3_stmt* statement = nullptr;
    std::int64_t result = fallback;
    if (sqlite3_prepare_v2(m_DB, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(m_DB);
    } else if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL) {
        result = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return result;
}

std::string SqliteFile::Text(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    std::string result;
    if (sqlite3_prepare_v2(m_DB, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(m_DB);
    } else if (sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        result = text ? reinterpret_cast<const char*>(text) : "";
    }
    sqlite3_finalize(statement);
    return result;
}
