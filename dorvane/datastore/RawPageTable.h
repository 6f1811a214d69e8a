#pragma once
// The pages of a connection's files as rows (pgno, data), read from each file as it lies, under the
// name SQLite's recovery code asks for: sqlite_dbpage. It only reads. Pages that a write-ahead log
// holds newer copies of are read as the file has them.

struct sqlite3;

// SQLITE_OK, or the engine's code when the table cannot be made on db.
int RegisterRawPageTable(sqlite3* db);
