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
// Rows whose texts one string helper holds before it is made anew.
constexpr int kRowsPerHelper = 64;

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
    std::unordered_set<ULONG> refIDs; // the table's, when the statement was prepared
    bool prepared = false;
    // New reference IDs run on from a random start: unique among themselves, and their index
    // grows at one end rather than all over.
    ULONG nextRefID = 0;
    double now = 0.0; // every row is stamped with the moment the run began
    // The texts of a few rows are encoded by one helper, which frees them all at once.
    std::unique_ptr<CStringHelper> helper;
    int helperRows = 0;
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
        impl.nextRefID = static_cast<ULONG>(std::random_device{}());
        impl.now = m_Layer.GetSystemTimeAsOLEDate();
    }

    typename Table::Stamp stamp;
    stamp.refID = record.GetRefID();
    if (stamp.refID != 0 && impl.refIDs.count(stamp.refID) != 0) {
        return 0; // a preset ID that the table holds already
    }
    for (int attempt = 0; stamp.refID == 0; ++attempt) {
        if (attempt == kRefIDAttempts) {
            return 0; // a source that gives nothing but IDs in use is broken
        }
        // Tests give the draws of their own, to provoke clashes.
        const ULONG next = m_Layer.m_RefIDSource ? m_Layer.m_RefIDSource() : impl.nextRefID++;
        if (next != 0 && impl.refIDs.count(next) == 0) {
            stamp.refID = next;
        }
    }
    stamp.created = stamp.modified = impl.now;

    if (!impl.helper || ++impl.helperRows == kRowsPerHelper) {
        impl.helper.reset();
        impl.helper = m_Layer.GetStringHelperFactory()->Create();
        impl.helperRows = 0;
        if (!impl.helper) {
            return 0;
        }
    }
    CStringHelper* helper = impl.helper.get();
    sqlite3_stmt* statement = impl.insert.Get();
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
            // The helper keeps its texts until the row is written, and some rows longer. An empty
            // text is the same in any encoding.
            rc = sqlite3_bind_text(statement, index,
                                   value.text && *value.text ? helper->Encode(value.text) : "", -1,
                                   SQLITE_STATIC);
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
    // Every value is bound anew for the next row.
    rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) {
        return 0;
    }
    if (m_Layer.m_RefIDSource || record.GetRefID() != 0) {
        impl.refIDs.insert(stamp.refID); // the run of new IDs cannot meet itself
    }
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
