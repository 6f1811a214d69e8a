#pragma once
// Whether a file's own bytes hold all of it: with a write-ahead log its newest pages are in the
// log, not yet in the file.

struct sqlite3;

// True when the connection's main file is in write-ahead-log mode, or its mode cannot be read.
bool MayHoldPagesInLog(sqlite3* db);
