#include "datastore/CFillFlagTable.h"

#include "datastore/CDataLayer.h"
#include "datastore/CSqlStatement.h"
#include "datastore/CSqlText.h"

#include <sqlite3.h>

#include <vector>

namespace {

int Exec(sqlite3* db, const char* sql) {
    return sql ? sqlite3_exec(db, sql, nullptr, nullptr, nullptr) : SQLITE_NOMEM;
}

// The entry's reference ID is the row's key: one row per entry, found without an index.
constexpr CSideTable kTable("FillFlag", "SELECT EntryRefID, Flags FROM FillFlag LIMIT 0",
                            "CREATE TABLE FillFlag (EntryRefID INTEGER PRIMARY KEY, Flags INTEGER NOT NULL)");

// The lines of a note that an import wrote at its start: the flag it stands for and how much of
// the note it takes, with the line end after it.
std::size_t TakeLine(const std::string& notes, std::size_t from, const std::string& line) {
    if (line.empty() || notes.compare(from, line.size(), line) != 0)
        return 0;
    const std::size_t end = from + line.size();
    if (end == notes.size())
        return line.size();
    if (notes[end] == '\n')
        return line.size() + 1;
    if (notes[end] == '\r' && end + 1 < notes.size() && notes[end + 1] == '\n')
        return line.size() + 2;
    return 0;
}

} // namespace

CFillFlagTable::State CFillFlagTable::Probe(sqlite3* db) {
    return kTable.Probe(db);
}

bool CFillFlagTable::Make(sqlite3* db) {
    return kTable.Make(db);
}

bool CFillFlagTable::Write(sqlite3* db, ULONG entryRefID, DWORD flags) {
    if (entryRefID == 0)
        return false;
    const DWORD kept = flags & (CDataLayer::FillPartial | CDataLayer::FillMissed);
    if (kept == 0) {
        const State state = Probe(db);
        if (state == Missing)
            return true;
        if (state == Unusable)
            return false;
        CSqlText sql(sqlite3_mprintf("DELETE FROM FillFlag WHERE EntryRefID=%lld",
                                     static_cast<long long>(entryRefID)));
        return Exec(db, sql.Get()) == SQLITE_OK;
    }
    if (!Make(db))
        return false;
    CSqlText sql(sqlite3_mprintf("INSERT OR REPLACE INTO FillFlag (EntryRefID, Flags) VALUES (%lld, %u)",
                                 static_cast<long long>(entryRefID), static_cast<unsigned>(kept)));
    return Exec(db, sql.Get()) == SQLITE_OK;
}

bool CFillFlagTable::Read(sqlite3* db, ULONG entryRefID, DWORD* flags) {
    *flags = 0;
    if (Probe(db) != Usable)
        return true;
    CSqlText sql(sqlite3_mprintf("SELECT Flags FROM FillFlag WHERE EntryRefID=%lld",
                                 static_cast<long long>(entryRefID)));
    CSqlStatement statement;
    if (!sql || statement.Prepare(db, sql.Get()) != SQLITE_OK)
        return false;
    const int rc = statement.Step();
    if (rc == SQLITE_ROW)
        *flags = static_cast<DWORD>(sqlite3_column_int64(statement.Get(), 0)) &
                 (CDataLayer::FillPartial | CDataLayer::FillMissed);
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

bool CFillFlagTable::ReadAll(sqlite3* db, std::unordered_map<ULONG, DWORD>& flags) {
    flags.clear();
    if (Probe(db) != Usable)
        return true;
    CSqlStatement statement;
    if (statement.Prepare(db, "SELECT EntryRefID, Flags FROM FillFlag") != SQLITE_OK)
        return false;
    int rc;
    while ((rc = statement.Step()) == SQLITE_ROW) {
        const DWORD value = static_cast<DWORD>(sqlite3_column_int64(statement.Get(), 1)) &
                            (CDataLayer::FillPartial | CDataLayer::FillMissed);
        if (value != 0)
            flags[static_cast<ULONG>(sqlite3_column_int64(statement.Get(), 0))] = value;
    }
    if (rc != SQLITE_DONE) {
        flags.clear();
        return false;
    }
    return true;
}

std::string CFillFlagTable::RemoveForEntries(sqlite3* db, const std::string& entryWhere) {
    if (Probe(db) != Usable)
        return std::string();
    return "DELETE FROM FillFlag WHERE EntryRefID IN (SELECT RefID FROM Entry" +
           (entryWhere.empty() ? std::string() : " WHERE " + entryWhere) + ")";
}

bool CFillFlagTable::MakeAndConvertNotes(sqlite3* db, const std::string& partialNote,
                                         const std::string& missedNote) {
    if (Probe(db) != Missing)
        return true; // flags kept already: the notes were converted then, or a table of someone else's
    struct Change {
        std::int64_t id;
        std::int64_t refID;
        DWORD flags;
        std::string notes;
    };
    std::vector<Change> changes;
    {
        // Notes come early in a row: the scan reads little of the rows it passes over.
        CSqlText sql(sqlite3_mprintf("SELECT ID, RefID, Notes, Type FROM Entry WHERE (instr(Notes,%Q)=1 OR "
                                     "instr(Notes,%Q)=1) AND Type=%d",
                                     partialNote.c_str(), missedNote.c_str(),
                                     static_cast<int>(CEntry::EntryFuel)));
        CSqlStatement statement;
        if (!sql || statement.Prepare(db, sql.Get()) != SQLITE_OK)
            return false;
        int rc;
        while ((rc = statement.Step()) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.Get(), 2));
            const std::string notes = text ? text : "";
            DWORD flags = 0;
            std::size_t at = 0;
            if (const std::size_t taken = TakeLine(notes, at, partialNote)) {
                flags |= CDataLayer::FillPartial;
                at += taken;
            }
            if (const std::size_t taken = TakeLine(notes, at, missedNote)) {
                flags |= CDataLayer::FillMissed;
                at += taken;
            }
            if (flags != 0)
                changes.push_back({sqlite3_column_int64(statement.Get(), 0),
                                   sqlite3_column_int64(statement.Get(), 1), flags, notes.substr(at)});
        }
        if (rc != SQLITE_DONE)
            return false;
    }
    // A file without such notes is left as it is; the table is made with the first flag.
    if (changes.empty())
        return true;
    if (Exec(db, "SAVEPOINT FillFlagNotes") != SQLITE_OK)
        return false;
    auto undo = [db]() {
        Exec(db, "ROLLBACK TO FillFlagNotes");
        Exec(db, "RELEASE FillFlagNotes");
        return false;
    };
    if (!Make(db))
        return undo();
    for (const Change& change : changes) {
        CSqlText notes(sqlite3_mprintf("UPDATE Entry SET Notes=%Q WHERE ID=%lld", change.notes.c_str(),
                                       static_cast<long long>(change.id)));
        CSqlText flags(
            sqlite3_mprintf("INSERT OR REPLACE INTO FillFlag (EntryRefID, Flags) VALUES (%lld, %u)",
                            static_cast<long long>(change.refID), static_cast<unsigned>(change.flags)));
        if (Exec(db, notes.Get()) != SQLITE_OK || Exec(db, flags.Get()) != SQLITE_OK)
            return undo();
    }
    if (Exec(db, "RELEASE FillFlagNotes") != SQLITE_OK)
        return undo();
    return true;
}
