#pragma once
// Creating and changing a record: the sheet of its pages runs over the active window, and only
// when the user confirms are the pages' values copied back into the record, which is written
// only when that changed something.
//
// Both return what the data file's save returned: non-zero when the record was written, 0 when
// the user cancelled or changed nothing. A save that fails is reported to the user; a stored
// record is then read back from the file, so it never holds values that are not stored (a new
// one is the caller's to discard).

class CEntry;
class CVehicle;

int EditVehicle(CVehicle& vehicle);
// Shows nothing and returns 0 for an entry of none of the four types.
int EditEntry(CEntry& entry);
