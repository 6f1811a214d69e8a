#include "datastore/RecoverFromPages.h"

#include "datastore/HardenConnection.h"
#include "datastore/RawPageTable.h"
#include "sqlite-recover/sqlite3recover.h"

#include <sqlite3.h>

#include <mutex>

namespace {

// Set while this thread runs a recovery: the connection the recovery opens for its output then
// runs the table descriptions of a damaged file, which may hold any statement at all.
thread_local bool t_Recovering = false;

int HardenRecoveryOutput(sqlite3* db, const char**, const sqlite3_api_routines*) {
    if (!t_Recovering) {
        return SQLITE_OK;
    }
    // Its one attached database is the recovery's own working state; no statement of the file may
    // attach or vacuum into another file, or plant a tokenizer of its own.
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 1);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    return HardenConnection(db) ? SQLITE_OK : SQLITE_ERROR;
}

struct RecoveringNow {
    RecoveringNow() { t_Recovering = true; }
    ~RecoveringNow() { t_Recovering = false; }
    RecoveringNow(const RecoveringNow&) = delete;
    RecoveringNow& operator=(const RecoveringNow&) = delete;
};

} // namespace

int RecoverFromPages(sqlite3* source, const std::string& output) {
    static std::once_flag registered;
    std::call_once(registered,
                   [] { sqlite3_auto_extension(reinterpret_cast<void (*)()>(HardenRecoveryOutput)); });
    // Refused where the library has the page table of its own, which then serves.
    RegisterRawPageTable(source);
    const RecoveringNow recovering;
    sqlite3_recover* recover = sqlite3_recover_init(source, "main", output.c_str());
    if (!recover) {
        return SQLITE_NOMEM;
    }
    sqlite3_recover_run(recover);
    return sqlite3_recover_finish(recover);
}
