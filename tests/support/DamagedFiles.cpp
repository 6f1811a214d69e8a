#include "support/DamagedFiles.h"

#include "support/SqliteFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

void LeaveHotJournal(const std::string& path) {
    // A working copy takes the transaction, so that the file itself is never locked; its state
    // half-way is then copied over the file, journal and all.
    const std::string work = path + ".work";
    fs::copy_file(path, work, fs::copy_options::overwrite_existing);
    {
        SqliteFile file(work);
        file.Exec("PRAGMA cache_size=2; BEGIN");
        file.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2000) "
                  "INSERT INTO Keyword SELECT NULL, 900000+i, printf('%0200d', i), 1, 0, 0 FROM n");
        ASSERT_TRUE(fs::exists(work + "-journal"));
        fs::copy_file(work, path, fs::copy_options::overwrite_existing);
        fs::copy_file(work + "-journal", path + "-journal", fs::copy_options::overwrite_existing);
        file.Exec("ROLLBACK");
    }
    fs::remove(work);
}

void AddRowsBehindIndex(const std::string& path, const std::string& index, const std::string& sql) {
    std::string definition;
    {
        SqliteFile file(path);
        definition = file.Text("SELECT sql FROM sqlite_schema WHERE name='" + index + "'");
        ASSERT_FALSE(definition.empty());
        // As a partial index of no rows, the index is left as it is by the inserts.
        file.Exec("PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql='" + definition +
                  " WHERE 0' WHERE name='" + index + "'");
    }
    {
        SqliteFile file(path);
        file.Exec(sql);
    }
    SqliteFile file(path);
    file.Exec("PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql='" + definition + "' WHERE name='" +
              index + "'");
}

void BreakTablePage(const std::string& path, const std::string& table, bool first) {
    std::vector<std::int64_t> pages;
    std::int64_t pageSize = 0;
    {
        SqliteFile file(path);
        pageSize = file.Integer("PRAGMA page_size");
        sqlite3_stmt* statement = nullptr;
        const std::string sql =
            "SELECT pageno FROM dbstat WHERE name='" + table + "' AND pagetype='leaf' ORDER BY pageno";
        ASSERT_EQ(sqlite3_prepare_v2(file.Get(), sql.c_str(), -1, &statement, nullptr), SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW)
            pages.push_back(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
    }
    ASSERT_GE(pages.size(), 3u);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(((first ? pages.front() : pages[pages.size() / 2]) - 1) * pageSize);
    const std::string garbage(static_cast<std::size_t>(pageSize), '\xA5');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

void FlipRowIDBit(const std::string& path, const std::string& table, bool duplicate) {
    std::vector<std::int64_t> pages;
    std::int64_t pageSize = 0;
    {
        SqliteFile file(path);
        pageSize = file.Integer("PRAGMA page_size");
        sqlite3_stmt* statement = nullptr;
        const std::string sql =
            "SELECT pageno FROM dbstat WHERE name='" + table + "' AND pagetype='leaf' ORDER BY pageno";
        ASSERT_EQ(sqlite3_prepare_v2(file.Get(), sql.c_str(), -1, &statement, nullptr), SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW)
            pages.push_back(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
    }
    ASSERT_GE(pages.size(), 3u);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    const std::int64_t start = (pages[duplicate ? pages.size() / 3 : pages.size() / 2] - 1) * pageSize;
    std::string page(static_cast<std::size_t>(pageSize), '\0');
    file.seekg(start);
    file.read(page.data(), static_cast<std::streamsize>(page.size()));
    auto byte = [&page](std::size_t at) { return static_cast<unsigned char>(page[at]); };
    ASSERT_EQ(byte(0), 0x0D); // a table's leaf
    // The middle cell: its payload size, then its row ID, each a varint.
    const std::size_t cells = byte(3) << 8 | byte(4);
    const std::size_t pointer = 8 + 2 * (cells / 2);
    std::size_t at = static_cast<std::size_t>(byte(pointer) << 8 | byte(pointer + 1));
    while (byte(at) & 0x80)
        ++at;
    ++at;
    // A row ID of two bytes or more: its bit 13 set, or its lowest bit flipped.
    ASSERT_TRUE(byte(at) & 0x80);
    ASSERT_FALSE(byte(at) & 0x40);
    if (duplicate)
        page[at + 1] = static_cast<char>(byte(at + 1) ^ 0x01);
    else
        page[at] = static_cast<char>(byte(at) | 0x40);
    file.seekp(start);
    file.write(page.data(), static_cast<std::streamsize>(page.size()));
}
