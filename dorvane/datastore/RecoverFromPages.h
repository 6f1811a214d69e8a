#pragma once
// Runs SQLite's recovery code over the pages of a damaged data file: every record it can piece
// together from the file's table pages, also those a plain read of the table stops at, goes into a
// new database at output, table by table under the names the file gives them.

#include <string>

struct sqlite3;

// source: a connection to the damaged file, outside any transaction of its own. SQLITE_OK, or the
// engine's code.
int RecoverFromPages(sqlite3* source, const std::string& output);
