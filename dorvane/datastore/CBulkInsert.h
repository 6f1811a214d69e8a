#pragma once
// Adds many new records of one table in a row, for an import: one prepared statement whose column
// list comes from the table's description, values bound rather than written into the text, and
// reference IDs drawn against the table's IDs read once. It writes inside the caller's
// transaction and opens none of its own.

#include "DorvaneExport.h"
#include "datastore/CDataLayer.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <memory>

template <class Record> class DORVANE_API CBulkInsert {
public:
    explicit CBulkInsert(CDataLayer& layer);
    ~CBulkInsert();
    CBulkInsert(const CBulkInsert&) = delete;
    CBulkInsert& operator=(const CBulkInsert&) = delete;

    // Stores the record as a new row, as Save does with a record never stored: a reference ID is
    // issued unless it has one, the dates are stamped now, and the record gets its row ID and is
    // left clean. 1 on success, 0 on failure or when not connected.
    int Insert(Record& record);

    // The longest text that the table holds, in UTF-8 bytes; 0 with nothing stored. 0 on failure.
    int LongestText(std::int64_t* bytes);

private:
    struct Impl;
    CDataLayer& m_Layer;
    std::unique_ptr<Impl> m_Impl;
};

extern template class CBulkInsert<CVehicle>;
extern template class CBulkInsert<CEntry>;
extern template class CBulkInsert<CKeyword>;
extern template class CBulkInsert<CNotification>;
