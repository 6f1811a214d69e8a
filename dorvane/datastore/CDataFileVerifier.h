#pragma once
// Decides whether a file the engine opened is a data file the library can use: the tables and
// columns it reads by position, pages the engine finds sound, and the MetaData rows (store ID,
// mark, version). Nothing is written to a file before it passed.

#include "datastore/CDataLayer.h"
#include "datastore/CSqlStatement.h"
#include "platform/WinTypes.h"

#include <string>

struct sqlite3;

class CDataFileVerifier {
public:
    explicit CDataFileVerifier(sqlite3* db) : m_DB(db) {}

    // ConnectOK, or why the file cannot be used; reads the store ID and the version. Without the
    // quick check of every page, for a caller that runs the full integrity check itself.
    CDataLayer::ConnectStatus Verify(bool quickCheck = true);
    // Gives a verified file that has no store ID yet (0) its ID, in a transaction of its own.
    CDataLayer::ConnectStatus WriteStoreID(ULONG storeID);

    ULONG GetStoreID() const { return m_StoreID; }
    // At most four characters.
    const std::u16string& GetVersion() const { return m_Version; }
    // After a failed Verify: the table that is missing or not as the file format says, or that
    // the MetaData rows are not a store ID, the mark and a version.
    const char* GetFailedTable() const { return m_FailedTable; }
    bool MetaDataRowsBad() const { return m_MetaDataRowsBad; }

private:
    CDataLayer::ConnectStatus CheckSchema();
    // Reads the MetaData rows in their order: store ID, mark, version.
    CDataLayer::ConnectStatus ReadMetaData(CSqlStatement& rows);

    sqlite3* m_DB;
    ULONG m_StoreID = 0;
    std::u16string m_Version;
    const char* m_FailedTable = nullptr;
    bool m_MetaDataRowsBad = false;
};
