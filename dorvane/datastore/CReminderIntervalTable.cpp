#include "datastore/CReminderIntervalTable.h"

#include "datastore/CSqlStatement.h"
#include "datastore/CSqlText.h"

#include <sqlite3.h>

namespace {

int Exec(sqlite3* db, const char* sql) {
    return sql ? sqlite3_exec(db, sql, nullptr, nullptr, nullptr) : SQLITE_NOMEM;
}

constexpr CSideTable kTable("ReminderInterval",
                            "SELECT ReminderRefID, EveryDistance, EveryMonths FROM ReminderInterval LIMIT 0",
                            "CREATE TABLE ReminderInterval (ReminderRefID INTEGER PRIMARY KEY, "
                            "EveryDistance INTEGER NOT NULL, EveryMonths INTEGER NOT NULL)");

// A stored figure as read back: what another program wrote out of range counts as none.
LONG Figure(sqlite3_stmt* row, int column, LONG most) {
    const sqlite3_int64 value = sqlite3_column_int64(row, column);
    return value > 0 && value <= most ? static_cast<LONG>(value) : 0;
}

constexpr LONG kMostDistance = 1000000;
constexpr LONG kMostMonths = 600;

} // namespace

CReminderIntervalTable::State CReminderIntervalTable::Probe(sqlite3* db) {
    return kTable.Probe(db);
}

bool CReminderIntervalTable::Make(sqlite3* db) {
    return kTable.Make(db);
}

bool CReminderIntervalTable::Write(sqlite3* db, ULONG reminderRefID, const Interval& interval) {
    if (reminderRefID == 0 || interval.distance < 0 || interval.months < 0 ||
        interval.distance > kMostDistance || interval.months > kMostMonths)
        return false;
    if (interval.distance == 0 && interval.months == 0) {
        const State state = Probe(db);
        if (state == Missing)
            return true;
        if (state == Unusable)
            return false;
        CSqlText sql(sqlite3_mprintf("DELETE FROM ReminderInterval WHERE ReminderRefID=%lld",
                                     static_cast<long long>(reminderRefID)));
        return Exec(db, sql.Get()) == SQLITE_OK;
    }
    if (!Make(db))
        return false;
    CSqlText sql(sqlite3_mprintf("INSERT OR REPLACE INTO ReminderInterval (ReminderRefID, EveryDistance, "
                                 "EveryMonths) VALUES (%lld, %ld, %ld)",
                                 static_cast<long long>(reminderRefID), static_cast<long>(interval.distance),
                                 static_cast<long>(interval.months)));
    return Exec(db, sql.Get()) == SQLITE_OK;
}

bool CReminderIntervalTable::Read(sqlite3* db, ULONG reminderRefID, Interval* interval) {
    *interval = Interval();
    if (Probe(db) != Usable)
        return true;
    CSqlText sql(
        sqlite3_mprintf("SELECT EveryDistance, EveryMonths FROM ReminderInterval WHERE ReminderRefID=%lld",
                        static_cast<long long>(reminderRefID)));
    CSqlStatement statement;
    if (!sql || statement.Prepare(db, sql.Get()) != SQLITE_OK)
        return false;
    const int rc = statement.Step();
    if (rc == SQLITE_ROW) {
        interval->distance = Figure(statement.Get(), 0, kMostDistance);
        interval->months = Figure(statement.Get(), 1, kMostMonths);
    }
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

bool CReminderIntervalTable::ReadAll(sqlite3* db, std::unordered_map<ULONG, Interval>& intervals) {
    intervals.clear();
    if (Probe(db) != Usable)
        return true;
    CSqlStatement statement;
    if (statement.Prepare(db, "SELECT ReminderRefID, EveryDistance, EveryMonths FROM ReminderInterval") !=
        SQLITE_OK)
        return false;
    int rc;
    while ((rc = statement.Step()) == SQLITE_ROW) {
        const Interval interval{Figure(statement.Get(), 1, kMostDistance),
                                Figure(statement.Get(), 2, kMostMonths)};
        if (interval.distance != 0 || interval.months != 0)
            intervals[static_cast<ULONG>(sqlite3_column_int64(statement.Get(), 0))] = interval;
    }
    if (rc != SQLITE_DONE) {
        intervals.clear();
        return false;
    }
    return true;
}

std::string CReminderIntervalTable::RemoveForReminders(sqlite3* db, const std::string& reminderWhere) {
    if (Probe(db) != Usable)
        return std::string();
    return "DELETE FROM ReminderInterval WHERE ReminderRefID IN (SELECT RefID FROM Notification" +
           (reminderWhere.empty() ? std::string() : " WHERE " + reminderWhere) + ")";
}
