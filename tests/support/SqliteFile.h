#pragma once
// A plain SQLite connection for tests that look at a data file from outside the library.

#include <sqlite3.h>

#include <cstdint>
#include <string>

class SqliteFile {
public:
    explicit SqliteFile(const std::string& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    sqlite3* Get() const { return m_DB; }
    // Runs statements; fails the current test on an error.
    void Exec(const std::string& sql);
    // The first column of the first row, or the fallback when there is no row or it is NULL.
    std::int64_t Integer(const std::string& sql, std::int64_t fallback = -1);
    std::string Text(const std::string& sql);

private:
    sqlite3* m_DB = nullptr;
};
