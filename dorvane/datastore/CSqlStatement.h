#pragma once
// Owns one prepared statement; finalizes it on every path out.

struct sqlite3;
struct sqlite3_stmt;

class CSqlStatement {
public:
    CSqlStatement() = default;
    ~CSqlStatement();
    CSqlStatement(const CSqlStatement&) = delete;
    CSqlStatement& operator=(const CSqlStatement&) = delete;

    // Finalizes any earlier statement first. Returns the engine's result code; on failure no
    // statement is held. tail, when given, receives where the first statement of sql ends.
    int Prepare(sqlite3* db, const char* sql, const char** tail = nullptr);
    // The engine's result code (SQLITE_ROW, SQLITE_DONE or an error).
    int Step();
    void Finalize();

    sqlite3_stmt* Get() const { return m_Statement; }
    explicit operator bool() const { return m_Statement != nullptr; }

private:
    sqlite3_stmt* m_Statement = nullptr;
};
