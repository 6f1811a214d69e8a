#pragma once
// One record table as the data file stores it: its columns in the file's order, how each value
// is written, and which record field it comes from and goes back to. The statements that store a
// record and the fill that reads a row back are made from it, so each column is named once; the
// connect check holds every file to these columns, which is what lets "SELECT *" rows be read by
// position.

#include "platform/WinTypes.h"
#include "records/CEntry.h"
#include "records/CKeyword.h"
#include "records/CNotification.h"
#include "records/CVehicle.h"

#include <cstdint>
#include <span>
#include <string>

class CStringHelper;
struct sqlite3_stmt;

template <class Record> class CRecordTable {
public:
    // How a value goes into a statement: '%q' (encoded by the string helper), %f, %d or %lu.
    enum class Kind { Text, Real, Integer, Unsigned };
    // Where a value comes from when a record is stored.
    enum class Source {
        RowID,    // issued by the engine: NULL on insert, the WHERE of an update
        RefID,    // the reference ID chosen for the insert
        Created,  // the save's creation stamp
        Modified, // the save's modification stamp
        Field,    // the record's own field
    };
    // Column flags.
    enum : unsigned {
        KeptOnUpdate = 1u << 0, // written by the insert only
        UpdatedLast = 1u << 1,  // comes after the other columns of an update
        // Where the statement texts have always carried a run of three tabs, kept so that they
        // stay the same text.
        TabsInUpdate = 1u << 2,
        TabsInInsert = 1u << 3,
    };

    // A column's value for one save; a text is the record's own, not yet encoded.
    struct Value {
        LPCWSTR text = nullptr;
        double real = 0.0;
        std::int64_t integer = 0; // an Unsigned column writes its low 32 bits
    };

    // What a save adds to the record's own fields.
    struct Stamp {
        ULONG refID = 0;
        double created = 0.0;
        double modified = 0.0;
    };

    struct Column {
        const char* name;
        Kind kind;
        Source source;
        unsigned flags;
        Value (*get)(const Record& record); // the record's field (Field and RowID columns)
        void (*fill)(Record& record, sqlite3_stmt* row, int index);
    };

    // The table of each record class: CVehicle, CEntry, CKeyword, CNotification.
    static const CRecordTable& Get();

    const char* Name() const { return m_Name; }
    std::span<const Column> Columns() const { return m_Columns; }

    // What a save writes into the column.
    static Value ValueOf(const Column& column, const Record& record, const Stamp& stamp);

    // The statement that adds the record as a new row, or that writes its row anew (the columns
    // without KeptOnUpdate); empty when memory ran out.
    std::string InsertText(const Record& record, const Stamp& stamp, CStringHelper& helper) const;
    std::string UpdateText(const Record& record, const Stamp& stamp, CStringHelper& helper) const;

    // Sets every field from a row of "SELECT *" and leaves the record clean.
    void Fill(Record& record, sqlite3_stmt* row) const;

private:
    // spacedValues: the insert's text reads "VALUES (" rather than "VALUES(".
    constexpr CRecordTable(const char* name, bool spacedValues, std::span<const Column> columns)
        : m_Name(name), m_SpacedValues(spacedValues), m_Columns(columns) {}

    const char* m_Name;
    bool m_SpacedValues;
    std::span<const Column> m_Columns;
};

template <> const CRecordTable<CVehicle>& CRecordTable<CVehicle>::Get();
template <> const CRecordTable<CEntry>& CRecordTable<CEntry>::Get();
template <> const CRecordTable<CKeyword>& CRecordTable<CKeyword>::Get();
template <> const CRecordTable<CNotification>& CRecordTable<CNotification>::Get();

extern template class CRecordTable<CVehicle>;
extern template class CRecordTable<CEntry>;
extern template class CRecordTable<CKeyword>;
extern template class CRecordTable<CNotification>;
