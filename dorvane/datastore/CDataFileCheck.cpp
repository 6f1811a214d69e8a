#include "datastore/CDataFileCheck.h"

#include "datastore/CDataFileVerifier.h"
#include "datastore/CFillFlagTable.h"
#include "datastore/CReadOnlyDatabase.h"
#include "datastore/CRecordTable.h"
#include "datastore/CReminderIntervalTable.h"
#include "datastore/CSqlStatement.h"
#include "datastore/CSqlText.h"

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace {

// 1 January 100 and the end of 31 December 9999 as OLE dates, both outside. NULL reads as 0, a
// day the calendar has.
bool IsDate(sqlite3_stmt* row, int column) {
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL:
        return true;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        const double value = sqlite3_column_double(row, column);
        return value > -657435.0 && value < 2958466.0;
    }
    default:
        return false;
    }
}

// The most the integrity check's page cache may hold.
constexpr std::int64_t kMaxCheckCacheBytes = std::int64_t{256} << 20;

// The first problem row of a kind and how many there are.
struct Tally {
    std::int64_t count = 0;
    std::int64_t first = 0;
    void Add(std::int64_t id) {
        if (count++ == 0 || id < first) {
            first = id;
        }
    }
};

std::string Text(sqlite3_stmt* row, int column) {
    const unsigned char* text = sqlite3_column_text(row, column);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

} // namespace

CDataFileCheck::CDataFileCheck() : m_Database(std::make_unique<CReadOnlyDatabase>()) {}

CDataFileCheck::~CDataFileCheck() = default;

bool CDataFileCheck::NeedsRepair() const {
    return std::any_of(m_Findings.begin(), m_Findings.end(), [](const Finding& finding) {
        return finding.kind == Finding::Engine || finding.kind == Finding::EngineMore ||
               finding.kind == Finding::CheckNotRun || finding.kind == Finding::Table ||
               finding.kind == Finding::MetaData;
    });
}

void CDataFileCheck::Cancel() {
    m_Database->Interrupt();
}

bool CDataFileCheck::WasCancelled() const {
    return m_Database->Interrupted();
}

CDataLayer::ConnectStatus CDataFileCheck::Run(LPCWSTR path, Scope scope) {
    m_Findings.clear();
    m_SawUndoneWrite = false;
    CDataLayer::ConnectStatus status = m_Database->Open(path, busyTimeoutMs);
    if (status != CDataLayer::ConnectOK) {
        return WasCancelled() ? CDataLayer::ConnectOpenFailed : status;
    }
    m_SawUndoneWrite = m_Database->ReadsUndoneCopy();
    // One read transaction: the tables are compared as of one moment, not across a save.
    sqlite3_exec(m_Database->Get(), "BEGIN", nullptr, nullptr, nullptr);

    // The tables and MetaData as the connect check sees them, without its quick page check: the
    // integrity check below covers that and more.
    CDataFileVerifier verifier(m_Database->Get());
    status = verifier.Verify(false);
    const bool tablesSound = status == CDataLayer::ConnectOK;
    switch (status) {
    case CDataLayer::ConnectOK:
        break;
    case CDataLayer::ConnectInvalidDatabase: {
        // Also when the engine could not say which part: the file is then not as it must be.
        Finding finding;
        finding.kind = verifier.MetaDataRowsBad() ? Finding::MetaData : Finding::Table;
        if (const char* table = verifier.GetFailedTable()) {
            finding.table = table;
        }
        m_Findings.push_back(finding);
        break;
    }
    default:
        m_Database->Close();
        return WasCancelled() ? CDataLayer::ConnectOpenFailed : status;
    }

    CheckEngine();
    if (scope == ScopeEverything && tablesSound) {
        CheckRows();
    }
    m_Database->Close();
    if (WasCancelled()) {
        m_Findings.clear();
        return CDataLayer::ConnectOpenFailed;
    }
    return CDataLayer::ConnectOK;
}

void CDataFileCheck::NotRun(const char* what) {
    if (WasCancelled()) {
        return;
    }
    Finding finding;
    finding.kind = Finding::CheckNotRun;
    finding.table = what;
    finding.text = sqlite3_errmsg(m_Database->Get());
    m_Findings.push_back(finding);
}

void CDataFileCheck::CheckEngine() {
    // The integrity check looks every row up in each of its indexes: through the default cache of
    // 2 MB that reads the same pages again and again. A cache as large as the file (within a bound)
    // reads each page once.
    {
        CSqlStatement size;
        if (size.Prepare(m_Database->Get(), "SELECT page_count * page_size FROM pragma_page_count(), "
                                            "pragma_page_size()") == SQLITE_OK &&
            size.Step() == SQLITE_ROW) {
            const std::int64_t kibibytes =
                std::min<std::int64_t>(sqlite3_column_int64(size.Get(), 0), kMaxCheckCacheBytes) / 1024;
            if (kibibytes > 2048) {
                CSqlText pragma(
                    sqlite3_mprintf("PRAGMA cache_size=-%lld", static_cast<long long>(kibibytes)));
                if (pragma) {
                    sqlite3_exec(m_Database->Get(), pragma.Get(), nullptr, nullptr, nullptr);
                }
            }
        }
    }
    CSqlText sql(sqlite3_mprintf("PRAGMA integrity_check(%d)", MaxEngineProblems));
    CSqlStatement check;
    if (!sql || check.Prepare(m_Database->Get(), sql.Get()) != SQLITE_OK) {
        NotRun("integrity_check");
        return;
    }
    int rc;
    int lines = 0;
    while ((rc = check.Step()) == SQLITE_ROW) {
        const std::string text = Text(check.Get(), 0);
        if (text == "ok") {
            continue;
        }
        Finding finding;
        finding.kind = Finding::Engine;
        finding.text = text;
        m_Findings.push_back(finding);
        ++lines;
    }
    if (rc != SQLITE_DONE) {
        NotRun("integrity_check");
    } else if (lines >= MaxEngineProblems) {
        Finding more;
        more.kind = Finding::EngineMore;
        m_Findings.push_back(more);
    }
}

bool CDataFileCheck::ScanRows(const char* table, const std::vector<const char*>& columns,
                              const std::function<void(sqlite3_stmt* row)>& visit) {
    // One pass over the table in its own order, without an index: no sort, no lookups.
    std::string sql = "SELECT ID";
    for (const char* column : columns) {
        sql += std::string(",\"") + column + '"';
    }
    sql += std::string(" FROM \"") + table + "\" NOT INDEXED";
    CSqlStatement scan;
    if (scan.Prepare(m_Database->Get(), sql.c_str()) != SQLITE_OK) {
        NotRun(table);
        return false;
    }
    int rc;
    while ((rc = scan.Step()) == SQLITE_ROW) {
        visit(scan.Get());
    }
    if (rc != SQLITE_DONE) {
        NotRun(table);
        return false;
    }
    return true;
}

void CDataFileCheck::CheckRows() {
    struct Vehicle {
        std::int64_t id;
        std::string name;
        std::int64_t current;
    };
    std::unordered_map<std::int64_t, Vehicle> vehicles;     // by RefID
    std::unordered_map<std::int64_t, std::int64_t> highest; // RefID -> highest entry reading
    std::vector<Finding> dates;
    Tally entriesWithout;
    Tally remindersWithout;

    // Dates come first in each column list; the row's ID is column 0.
    auto tallyDates = [](std::vector<Tally>& tallies, sqlite3_stmt* row) {
        for (std::size_t i = 0; i < tallies.size(); ++i) {
            if (!IsDate(row, static_cast<int>(i) + 1)) {
                tallies[i].Add(sqlite3_column_int64(row, 0));
            }
        }
    };
    auto reportDates = [&](const char* table, const std::vector<const char*>& columns,
                           const std::vector<Tally>& tallies) {
        for (std::size_t i = 0; i < tallies.size(); ++i) {
            if (tallies[i].count > 0) {
                Finding finding;
                finding.kind = Finding::DateOutOfRange;
                finding.table = table;
                finding.column = columns[i];
                finding.count = tallies[i].count;
                finding.rowID = tallies[i].first;
                dates.push_back(finding);
            }
        }
    };

    const char* vehicleTable = CRecordTable<CVehicle>::Get().Name();
    const std::vector<const char*> vehicleColumns = {"Created", "Modified", "InsuranceExpirationDate",
                                                     "RefID",   "Name",     "CurrentOdometer"};
    std::vector<Tally> vehicleDates(3);
    const bool vehiclesRead = ScanRows(vehicleTable, vehicleColumns, [&](sqlite3_stmt* row) {
        tallyDates(vehicleDates, row);
        if (sqlite3_column_type(row, 4) != SQLITE_NULL) {
            vehicles[sqlite3_column_int64(row, 4)] = {sqlite3_column_int64(row, 0), Text(row, 5),
                                                      sqlite3_column_int64(row, 6)};
        }
    });
    reportDates(vehicleTable, vehicleColumns, vehicleDates);

    auto isOrphan = [&](sqlite3_stmt* row, int column) {
        return sqlite3_column_type(row, column) == SQLITE_NULL ||
               vehicles.find(sqlite3_column_int64(row, column)) == vehicles.end();
    };

    // The fill flags are few; each is looked for while the entries go by.
    struct Flagged {
        bool found = false;
    };
    std::unordered_map<std::int64_t, Flagged> flagged; // by entry reference ID
    Tally flagsNotFuel;
    const CFillFlagTable::State flagState = CFillFlagTable::Probe(m_Database->Get());
    if (flagState == CFillFlagTable::Unusable) {
        Finding finding;
        finding.kind = Finding::FillFlagTable;
        finding.table = CFillFlagTable::Name;
        m_Findings.push_back(finding);
    }
    bool flagsRead = false;
    if (flagState == CFillFlagTable::Usable) {
        CSqlStatement scan;
        int rc = scan.Prepare(m_Database->Get(), "SELECT EntryRefID, Flags FROM FillFlag");
        while (rc == SQLITE_OK && (rc = scan.Step()) == SQLITE_ROW) {
            if (sqlite3_column_int64(scan.Get(), 1) != 0) {
                flagged[sqlite3_column_int64(scan.Get(), 0)];
            }
            rc = SQLITE_OK;
        }
        flagsRead = rc == SQLITE_DONE;
        if (!flagsRead) {
            flagged.clear();
            NotRun(CFillFlagTable::Name);
        }
    }

    const char* entryTable = CRecordTable<CEntry>::Get().Name();
    const std::vector<const char*> entryColumns = {"Created",  "Modified", "Date", "VehicleID",
                                                   "Odometer", "RefID",    "Type"};
    std::vector<Tally> entryDates(3);
    ScanRows(entryTable, entryColumns, [&](sqlite3_stmt* row) {
        tallyDates(entryDates, row);
        if (!flagged.empty()) {
            const auto found = flagged.find(sqlite3_column_int64(row, 6));
            if (found != flagged.end()) {
                found->second.found = true;
                if (sqlite3_column_int(row, 7) != CEntry::EntryFuel) {
                    flagsNotFuel.Add(sqlite3_column_int64(row, 0));
                }
            }
        }
        if (!vehiclesRead) {
            return;
        }
        if (isOrphan(row, 4)) {
            entriesWithout.Add(sqlite3_column_int64(row, 0));
        } else if (sqlite3_column_type(row, 5) != SQLITE_NULL) {
            const std::int64_t reading = sqlite3_column_int64(row, 5);
            auto [top, added] = highest.emplace(sqlite3_column_int64(row, 4), reading);
            if (!added && reading > top->second) {
                top->second = reading;
            }
        }
    });
    reportDates(entryTable, entryColumns, entryDates);

    const char* keywordTable = CRecordTable<CKeyword>::Get().Name();
    const std::vector<const char*> keywordColumns = {"Created", "Modified"};
    std::vector<Tally> keywordDates(2);
    ScanRows(keywordTable, keywordColumns, [&](sqlite3_stmt* row) { tallyDates(keywordDates, row); });
    reportDates(keywordTable, keywordColumns, keywordDates);

    // Intervals, like the fill flags, are few: each is looked for while the reminders go by.
    std::unordered_map<std::int64_t, Flagged> intervals; // by reminder reference ID
    const CReminderIntervalTable::State intervalState = CReminderIntervalTable::Probe(m_Database->Get());
    if (intervalState == CReminderIntervalTable::Unusable) {
        Finding finding;
        finding.kind = Finding::IntervalTable;
        finding.table = CReminderIntervalTable::Name;
        m_Findings.push_back(finding);
    }
    bool intervalsRead = false;
    if (intervalState == CReminderIntervalTable::Usable) {
        CSqlStatement scan;
        int rc = scan.Prepare(m_Database->Get(), "SELECT ReminderRefID FROM ReminderInterval");
        while (rc == SQLITE_OK && (rc = scan.Step()) == SQLITE_ROW) {
            intervals[sqlite3_column_int64(scan.Get(), 0)];
            rc = SQLITE_OK;
        }
        intervalsRead = rc == SQLITE_DONE;
        if (!intervalsRead) {
            intervals.clear();
            NotRun(CReminderIntervalTable::Name);
        }
    }

    const char* reminderTable = CRecordTable<CNotification>::Get().Name();
    const std::vector<const char*> reminderColumns = {"Created", "Modified", "Date", "VehicleID", "RefID"};
    std::vector<Tally> reminderDates(3);
    ScanRows(reminderTable, reminderColumns, [&](sqlite3_stmt* row) {
        tallyDates(reminderDates, row);
        if (!intervals.empty()) {
            const auto found = intervals.find(sqlite3_column_int64(row, 5));
            if (found != intervals.end()) {
                found->second.found = true;
            }
        }
        if (vehiclesRead && isOrphan(row, 4)) {
            remindersWithout.Add(sqlite3_column_int64(row, 0));
        }
    });
    reportDates(reminderTable, reminderColumns, reminderDates);

    Tally flagsWithout;
    if (flagsRead) {
        for (const auto& [refID, flag] : flagged) {
            if (!flag.found) {
                flagsWithout.Add(refID);
            }
        }
    }

    Tally intervalsWithout;
    if (intervalsRead) {
        for (const auto& [refID, interval] : intervals) {
            if (!interval.found) {
                intervalsWithout.Add(refID);
            }
        }
    }

    m_Findings.insert(m_Findings.end(), dates.begin(), dates.end());
    const std::pair<const Tally*, Finding::Kind> orphans[] = {
        {&entriesWithout, Finding::EntryWithoutVehicle},
        {&remindersWithout, Finding::ReminderWithoutVehicle},
        {&flagsWithout, Finding::FillFlagWithoutEntry},
        {&flagsNotFuel, Finding::FillFlagNotFuel},
        {&intervalsWithout, Finding::IntervalWithoutReminder}};
    for (const auto& [tally, kind] : orphans) {
        if (tally->count > 0) {
            Finding finding;
            finding.kind = kind;
            finding.table = kind == Finding::EntryWithoutVehicle       ? entryTable
                            : kind == Finding::ReminderWithoutVehicle  ? reminderTable
                            : kind == Finding::IntervalWithoutReminder ? CReminderIntervalTable::Name
                                                                       : CFillFlagTable::Name;
            finding.count = tally->count;
            finding.rowID = tally->first;
            m_Findings.push_back(finding);
        }
    }
    // A current odometer below the highest reading, as the program asks for it, by vehicle.
    std::vector<Finding> odometers;
    for (const auto& [refID, top] : highest) {
        const Vehicle& vehicle = vehicles.at(refID);
        if (vehicle.current < top) {
            Finding finding;
            finding.kind = Finding::OdometerBelowReading;
            finding.table = vehicleTable;
            finding.rowID = vehicle.id;
            finding.text = vehicle.name;
            finding.value = vehicle.current;
            finding.highest = top;
            odometers.push_back(finding);
        }
    }
    std::sort(odometers.begin(), odometers.end(),
              [](const Finding& a, const Finding& b) { return a.rowID < b.rowID; });
    m_Findings.insert(m_Findings.end(), odometers.begin(), odometers.end());
}
