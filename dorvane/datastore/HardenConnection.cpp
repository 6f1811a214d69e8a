#include "datastore/HardenConnection.h"

#include <sqlite3.h>

bool HardenConnection(sqlite3* db) {
    const int options[][2] = {
        {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
        {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
        {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
        {SQLITE_DBCONFIG_DEFENSIVE, 1},
    };
    for (const auto& option : options) {
        int now = -1;
        if (sqlite3_db_config(db, option[0], option[1], &now) != SQLITE_OK || now != option[1]) {
            return false;
        }
    }
    return true;
}
