#include "datastore/CDataFileCheck.h"

#include "datastore/CDataFileVerifier.h"
#include "datastore/CReadOnlyDatabase.h"
#include "datastore/CRecordTable.h"
#include "datastore/CSqlStatement.h"
#include "datastore/CSqlText.h"

#include <sqlite3.h>

#include <string_view>

namespace {

// The dates of each table that the program converts and shows.
struct DateColumns {
    const char* table;
    std::vector<const char*> columns;
};

std::vector<DateColumns> AllDateColumns() {
    return {
        {CRecordTable<CVehicle>::Get().Name(), {"Created", "Modified", "InsuranceExpirationDate"}},
        {CRecordTable<CEntry>::Get().Name(), {"Created", "Modified", "Date"}},
        {CRecordTable<CKeyword>::Get().Name(), {"Created", "Modified"}},
        {CRecordTable<CNotification>::Get().Name(), {"Created", "Modified", "Date"}},
    };
}

// 1 January 100 and the end of 31 December 9999 as OLE dates, both outside; NULL reads as 0.
std::string NotADate(const char* column) {
    return std::string("NOT (typeof(") + column + ")='null' OR (typeof(" + column +
           ") IN ('integer','real') AND " + column + " > -657435.0 AND " + column + " < 2958466.0))";
}

std::string Text(sqlite3_stmt* row, int column) {
    const unsigned char* text = sqlite3_column_text(row, column);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

} // namespace

CDataFileCheck::CDataFileCheck() : m_Database(std::make_unique<CReadOnlyDatabase>()) {}

CDataFileCheck::~CDataFileCheck() = default;

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
        CheckDates();
        CheckVehicles();
        CheckOdometers();
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

void CDataFileCheck::CheckDates() {
    for (const DateColumns& table : AllDateColumns()) {
        std::string sql = "SELECT ";
        for (const char* column : table.columns) {
            const std::string bad = NotADate(column);
            sql += "sum(CASE WHEN " + bad + " THEN 1 ELSE 0 END), min(CASE WHEN " + bad + " THEN ID END), ";
        }
        sql += std::string("0 FROM \"") + table.table + "\" NOT INDEXED";
        CSqlStatement statement;
        if (statement.Prepare(m_Database->Get(), sql.c_str()) != SQLITE_OK ||
            statement.Step() != SQLITE_ROW) {
            NotRun(table.table);
            continue;
        }
        int index = 0;
        for (const char* column : table.columns) {
            const std::int64_t count = sqlite3_column_int64(statement.Get(), index);
            if (count > 0) {
                Finding finding;
                finding.kind = Finding::DateOutOfRange;
                finding.table = table.table;
                finding.column = column;
                finding.count = count;
                finding.rowID = sqlite3_column_int64(statement.Get(), index + 1);
                m_Findings.push_back(finding);
            }
            index += 2;
        }
    }
}

void CDataFileCheck::CheckVehicles() {
    const std::pair<const char*, Finding::Kind> tables[] = {
        {CRecordTable<CEntry>::Get().Name(), Finding::EntryWithoutVehicle},
        {CRecordTable<CNotification>::Get().Name(), Finding::ReminderWithoutVehicle},
    };
    for (const auto& [table, kind] : tables) {
        CSqlText sql(
            sqlite3_mprintf("SELECT count(*), min(ID) FROM \"%w\" NOT INDEXED WHERE VehicleID IS NULL OR "
                            "VehicleID NOT IN (SELECT RefID FROM Vehicle NOT INDEXED WHERE RefID "
                            "IS NOT NULL)",
                            table));
        CSqlStatement statement;
        if (!sql || statement.Prepare(m_Database->Get(), sql.Get()) != SQLITE_OK ||
            statement.Step() != SQLITE_ROW) {
            NotRun(table);
            continue;
        }
        const std::int64_t count = sqlite3_column_int64(statement.Get(), 0);
        if (count > 0) {
            Finding finding;
            finding.kind = kind;
            finding.table = table;
            finding.count = count;
            finding.rowID = sqlite3_column_int64(statement.Get(), 1);
            m_Findings.push_back(finding);
        }
    }
}

void CDataFileCheck::CheckOdometers() {
    // The highest reading as the program asks for it: MAX over the vehicle's entries.
    CSqlStatement statement;
    if (statement.Prepare(
            m_Database->Get(),
            "SELECT v.ID, v.Name, v.CurrentOdometer, m.Top FROM Vehicle AS v NOT INDEXED JOIN "
            "(SELECT VehicleID, MAX(Odometer) AS Top FROM Entry NOT INDEXED GROUP BY VehicleID) "
            "AS m ON m.VehicleID = v.RefID WHERE v.CurrentOdometer < m.Top ORDER BY v.ID") != SQLITE_OK) {
        NotRun("Vehicle");
        return;
    }
    int rc;
    while ((rc = statement.Step()) == SQLITE_ROW) {
        Finding finding;
        finding.kind = Finding::OdometerBelowReading;
        finding.table = "Vehicle";
        finding.rowID = sqlite3_column_int64(statement.Get(), 0);
        finding.text = Text(statement.Get(), 1);
        finding.value = sqlite3_column_int64(statement.Get(), 2);
        finding.highest = sqlite3_column_int64(statement.Get(), 3);
        m_Findings.push_back(finding);
    }
    if (rc != SQLITE_DONE) {
        NotRun("Vehicle");
    }
}
