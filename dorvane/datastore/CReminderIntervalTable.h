#pragma once
// The table of repeat intervals beside Notification: one row per repeating reminder, keyed by the
// reminder's reference ID. Files of earlier versions lack it and it is made when first needed; a
// file that has it still opens and saves in those versions, which show such a reminder as a plain
// one. A table of that name without its columns is left alone and read as holding no intervals.

#include "datastore/CSideTable.h"
#include "platform/WinTypes.h"

#include <string>
#include <unordered_map>

struct sqlite3;

class CReminderIntervalTable {
public:
    static constexpr const char* Name = "ReminderInterval";

    struct Interval {
        LONG distance = 0;
        LONG months = 0;
    };

    using State = CSideTable::State;
    static constexpr State Missing = CSideTable::Missing;
    static constexpr State Usable = CSideTable::Usable;
    static constexpr State Unusable = CSideTable::Unusable;
    static State Probe(sqlite3* db);

    // Makes the table when it is missing; true once it is there and usable.
    static bool Make(sqlite3* db);
    // Writes the reminder's interval; none (both 0) removes its row. The table is made when needed.
    static bool Write(sqlite3* db, ULONG reminderRefID, const Interval& interval);
    // The reminder's interval, none when it has none or the table cannot be read; false on a
    // failed read.
    static bool Read(sqlite3* db, ULONG reminderRefID, Interval* interval);
    // Every repeating reminder's interval by reference ID; empty without a usable table.
    static bool ReadAll(sqlite3* db, std::unordered_map<ULONG, Interval>& intervals);

    // The statement that removes the intervals of the reminders that a WHERE clause over
    // Notification selects; empty when there is no usable table to clean.
    static std::string RemoveForReminders(sqlite3* db, const std::string& reminderWhere);
};
