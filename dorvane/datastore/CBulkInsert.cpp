#include "datastore/CBulkInsert.h"

#include "datastore/CRecordTable.h"
#include "datastore/CSqlStatement.h"

#include <sqlite3.h>

#include <cmath>
#include <random>
#include <string>
#include <unordered_set>

namespace {

// As many draws as a single save allows before it gives up on finding an unused reference ID.
constexpr int kRefIDAttempts = 64;

// A save's text writes reals with six decimals; the bulk path stores what that text would.
double AsSaved(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e12) {
        return value;
    }
    return std::round(value * 1e6) / 1e6;
}

} // namespace

template <class Record> struct CBulkInsert<Record>::Impl {
    CSqlStatement insert;
    std::unordered_set<ULONG> refIDs;
    bool prepared = false;
    std::mt19937 random{std::random_device{}()};
};

template <class Record>
CBulkInsert<Record>::CBulkInsert(CDataLayer& layer) : m_Layer(layer), m_Impl(std::make_unique<Impl>()) {}

template <class Record> CBulkInsert<Record>::~CBulkInsert() = default;

template <class Record> int CBulkInsert<Record>::Insert(Record& record) {
    using Table = CRecordTable<Record>;
    if (!m_Layer.m_Connected) {
        return 0;
    }
    const Table& table = Table::Get();
    Impl& impl = *m_Impl;
    if (!impl.prepared) {
        // The table's reference IDs, once; the statement names every column but the row ID.
        std::string sql = "SELECT RefID FROM ";
        sql += table.Name();
        CSqlStatement ids;
        if (ids.Prepare(m_Layer.m_DB, sql.c_str()) != SQLITE_OK) {
            return 0;
        }
        int rc;
        while ((rc = ids.Step()) == SQLITE_ROW) {
            impl.refIDs.insert(static_cast<ULONG>(sqlite3_column_int64(ids.Get(), 0)));
        }
        if (rc != SQLITE_DONE) {
            impl.refIDs.clear();
            return 0;
        }
        std::string names;
        std::string values;
        for (const typename Table::Column& column : table.Columns()) {
            if (column.source == Table::Source::RowID) {
                continue;
            }
            if (!names.empty()) {
                names += ',';
                values += ',';
            }
            names += column.name;
            values += '?';
        }
        sql = "INSERT INTO ";
        sql += table.Name();
        sql += " (" + names + ") VALUES (" + values + ")";
        if (impl.insert.Prepare(m_Layer.m_DB, sql.c_str()) != SQLITE_OK) {
            return 0;
        }
        impl.prepared = true;
    }

    typename Table::Stamp stamp;
    stamp.refID = record.GetRefID();
    for (int attempt = 0; stamp.refID == 0 || impl.refIDs.count(stamp.refID) != 0; ++attempt) {
        if (record.GetRefID() != 0 || attempt == kRefIDAttempts) {
            return 0; // a preset ID that the table holds already, or a broken source
        }
        stamp.refID = m_Layer.m_RefIDSource ? m_Layer.m_RefIDSource() : static_cast<ULONG>(impl.random());
    }
    stamp.created = stamp.modified = m_Layer.GetSystemTimeAsOLEDate();

    std::unique_ptr<CStringHelper> helper = m_Layer.GetStringHelperFactory()->Create();
    if (!helper) {
        return 0;
    }
    sqlite3_stmt* statement = impl.insert.Get();
    sqlite3_reset(statement);
    int index = 0;
    int rc = SQLITE_OK;
    for (const typename Table::Column& column : table.Columns()) {
        if (column.source == Table::Source::RowID) {
            continue;
        }
        const typename Table::Value value = Table::ValueOf(column, record, stamp);
        ++index;
        switch (column.kind) {
        case Table::Kind::Text:
            // The helper keeps its texts until the row is written.
            rc = sqlite3_bind_text(statement, index, helper->Encode(value.text), -1, SQLITE_STATIC);
            break;
        case Table::Kind::Real:
            rc = sqlite3_bind_double(statement, index, AsSaved(value.real));
            break;
        case Table::Kind::Integer:
            rc = sqlite3_bind_int(statement, index, static_cast<int>(value.integer));
            break;
        case Table::Kind::Unsigned:
            rc = sqlite3_bind_int64(statement, index, static_cast<ULONG>(value.integer));
            break;
        }
        if (rc != SQLITE_OK) {
            return 0;
        }
    }
    rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (rc != SQLITE_DONE) {
        return 0;
    }
    impl.refIDs.insert(stamp.refID);
    record.SetID(static_cast<LONG>(sqlite3_last_insert_rowid(m_Layer.m_DB)));
    record.SetRefID(stamp.refID);
    record.SetDateCreated(stamp.created);
    record.SetDateModified(stamp.modified);
    record.SetDirty(0);
    return 1;
}

template <class Record> int CBulkInsert<Record>::LongestText(std::int64_t* bytes) {
    using Table = CRecordTable<Record>;
    if (!m_Layer.m_Connected || !bytes) {
        return 0;
    }
    std::string sql = "SELECT max(0";
    for (const typename Table::Column& column : Table::Get().Columns()) {
        if (column.kind == Table::Kind::Text) {
            sql += ",coalesce(max(length(CAST(";
            sql += column.name;
            sql += " AS BLOB))),0)";
        }
    }
    sql += ") FROM ";
    sql += Table::Get().Name();
    CSqlStatement statement;
    if (statement.Prepare(m_Layer.m_DB, sql.c_str()) != SQLITE_OK || statement.Step() != SQLITE_ROW) {
        return 0;
    }
    *bytes = sqlite3_column_int64(statement.Get(), 0);
    return 1;
}

template class CBulkInsert<CVehicle>;
template class CBulkInsert<CEntry>;
template class CBulkInsert<CKeyword>;
template class CBulkInsert<CNotification>;
