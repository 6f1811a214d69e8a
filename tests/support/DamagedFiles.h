#pragma once
// Data files as crashes and failing disks leave them, made by the tests themselves.

#include <string>

// As a write killed half-way leaves the file: pages of an unfinished transaction (rows added to
// Keyword) in the file, and beside it the journal that undoes them. No process holds the file.
void LeaveHotJournal(const std::string& path);

// Adds rows with the SQL while the index is not kept up to date: the index then misses them,
// which the check at connect does not see and lookups through the index do not find.
void AddRowsBehindIndex(const std::string& path, const std::string& index, const std::string& sql);

// Overwrites the middle one of the table's leaf pages (or the first) with garbage.
void BreakTablePage(const std::string& path, const std::string& table, bool first = false);

// Flips one bit in the row ID of a row in the middle of the table: the row is then out of the
// table's order, and its ID far above every other; or, with duplicate, a row a third of the way in
// gets its neighbour's ID.
void FlipRowIDBit(const std::string& path, const std::string& table, bool duplicate = false);

// Makes the last value of the middle row of the table's middle leaf page one byte longer than its
// record: reading that row's values then fails, while its row ID and other values are still there.
void LengthenLastValue(const std::string& path, const std::string& table);

// Makes the table's middle leaf page count one cell fewer: its last row is then read by nothing,
// not even a scan that stops at damage, while the table's indexes still name it.
void DropLastCell(const std::string& path, const std::string& table);
