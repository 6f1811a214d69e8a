#pragma once
// A table of the library's own beside the five of the file format (fill flags, reminder
// intervals): made when first needed, so that a file without it is an earlier version's file. A
// table of that name without the expected columns is someone else's and is left alone.

struct sqlite3;

class CSideTable {
public:
    enum State { Missing, Usable, Unusable };

    // probe: a SELECT of the expected columns that reads no row; create: the CREATE TABLE.
    constexpr CSideTable(const char* name, const char* probe, const char* create)
        : m_Name(name), m_Probe(probe), m_Create(create) {}

    const char* Name() const { return m_Name; }
    State Probe(sqlite3* db) const;
    // Makes the table only when it is missing; true once it is there and usable.
    bool Make(sqlite3* db) const;

private:
    const char* m_Name;
    const char* m_Probe;
    const char* m_Create;
};
