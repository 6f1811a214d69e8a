#pragma once
// The table of fill flags beside Entry: one row per flagged fuel entry, keyed by the entry's
// reference ID. Files of earlier versions lack it and it is made when first needed; a file that
// has it still opens and saves in those versions, which never look at it. A table of that name
// without the two columns is left alone and read as holding no flags.

#include "datastore/CSideTable.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <unordered_map>

struct sqlite3;

class CFillFlagTable {
public:
    static constexpr const char* Name = "FillFlag";

    using State = CSideTable::State;
    static constexpr State Missing = CSideTable::Missing;
    static constexpr State Usable = CSideTable::Usable;
    static constexpr State Unusable = CSideTable::Unusable;
    static State Probe(sqlite3* db);

    // Makes the table when it is missing; true once it is there and usable.
    static bool Make(sqlite3* db);
    // Writes the entry's flags; 0 removes its row. The table is made when needed.
    static bool Write(sqlite3* db, ULONG entryRefID, DWORD flags);
    // The entry's flags, 0 when it has none or the table cannot be read; false on a failed read.
    static bool Read(sqlite3* db, ULONG entryRefID, DWORD* flags);
    // Every flagged entry's flags by reference ID; empty without a usable table.
    static bool ReadAll(sqlite3* db, std::unordered_map<ULONG, DWORD>& flags);

    // The statement that removes the flags of the entries that a WHERE clause over Entry selects;
    // empty when there is no usable table to clean.
    static std::string RemoveForEntries(sqlite3* db, const std::string& entryWhere);

    // Moves the notes that an earlier import wrote ("Partial fill-up", then "Missed fill-up before
    // this one", each a line of its own at the start) into flags, once: only while the file has no
    // flags table, which the first conversion makes. A file without such notes is not written.
    // The texts are UTF-8.
    static bool MakeAndConvertNotes(sqlite3* db, const std::string& partialNote,
                                    const std::string& missedNote);
};
