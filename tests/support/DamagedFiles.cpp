#include "support/DamagedFiles.h"

#include "support/SqliteFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
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

namespace {

// A leaf page of the table as the file holds it, and where the middle cell's row ID starts.
struct LeafCell {
    std::int64_t start = 0;
    std::string page;
    std::size_t rowID = 0;
    unsigned char Byte(std::size_t at) const { return static_cast<unsigned char>(page[at]); }
};

// The middle cell of the table's middle leaf page, or of the page a third of the way in.
void ReadMiddleCell(const std::string& path, const std::string& table, bool third, LeafCell& cell) {
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
    std::ifstream file(path, std::ios::binary);
    cell.start = (pages[third ? pages.size() / 3 : pages.size() / 2] - 1) * pageSize;
    cell.page.assign(static_cast<std::size_t>(pageSize), '\0');
    file.seekg(cell.start);
    file.read(cell.page.data(), static_cast<std::streamsize>(cell.page.size()));
    ASSERT_EQ(cell.Byte(0), 0x0D); // a table's leaf
    // The middle cell: its payload size, then its row ID, each a varint.
    const std::size_t cells = cell.Byte(3) << 8 | cell.Byte(4);
    const std::size_t pointer = 8 + 2 * (cells / 2);
    std::size_t at = static_cast<std::size_t>(cell.Byte(pointer) << 8 | cell.Byte(pointer + 1));
    while (cell.Byte(at) & 0x80)
        ++at;
    cell.rowID = at + 1;
}

void WriteCell(const std::string& path, const LeafCell& cell) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(cell.start);
    file.write(cell.page.data(), static_cast<std::streamsize>(cell.page.size()));
}

} // namespace

void FlipRowIDBit(const std::string& path, const std::string& table, bool duplicate) {
    LeafCell cell;
    ASSERT_NO_FATAL_FAILURE(ReadMiddleCell(path, table, duplicate, cell));
    const std::size_t at = cell.rowID;
    // A row ID of two bytes or more: its bit 13 set, or its lowest bit flipped.
    ASSERT_TRUE(cell.Byte(at) & 0x80);
    ASSERT_FALSE(cell.Byte(at) & 0x40);
    if (duplicate)
        cell.page[at + 1] = static_cast<char>(cell.Byte(at + 1) ^ 0x01);
    else
        cell.page[at] = static_cast<char>(cell.Byte(at) | 0x40);
    WriteCell(path, cell);
}

void LengthenLastValue(const std::string& path, const std::string& table) {
    LeafCell cell;
    ASSERT_NO_FATAL_FAILURE(ReadMiddleCell(path, table, false, cell));
    std::size_t at = cell.rowID;
    while (cell.Byte(at) & 0x80)
        ++at;
    // The record: its header's size, then a type a value, each a one-byte varint here.
    const std::size_t header = at + 1;
    ASSERT_LT(cell.Byte(header), 0x80);
    const std::size_t last = header + cell.Byte(header) - 1;
    const unsigned char type = cell.Byte(last);
    ASSERT_LT(type, 0x80);
    static constexpr int kSizes[] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
    const int size = type < 10 ? kSizes[type] : (type - 12) / 2;
    // A text one byte longer than the value was: it ends past the record.
    ASSERT_LT(13 + 2 * (size + 1), 0x80);
    cell.page[last] = static_cast<char>(13 + 2 * (size + 1));
    WriteCell(path, cell);
}

void DropLastCell(const std::string& path, const std::string& table) {
    LeafCell cell;
    ASSERT_NO_FATAL_FAILURE(ReadMiddleCell(path, table, false, cell));
    const int cells = cell.Byte(3) << 8 | cell.Byte(4);
    ASSERT_GT(cells, 1);
    cell.page[3] = static_cast<char>((cells - 1) >> 8);
    cell.page[4] = static_cast<char>((cells - 1) & 0xFF);
    WriteCell(path, cell);
}
