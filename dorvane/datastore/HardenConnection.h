#pragma once
// Nothing that a file brings may run on a connection to it: triggers never fire, views are
// refused, functions in the schema must be harmless, and the schema cannot be written to by
// statements. False when the engine cannot do this; such an engine opens no file.

struct sqlite3;

bool HardenConnection(sqlite3* db);
