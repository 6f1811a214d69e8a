#pragma once
// The entry types by name, as files and the console tool write them: "Fuel", "Repair", "Trip",
// "Expense".

#include "records/CEntry.h"

#include <QString>

// The type's name; null for a type that has none.
const char* EntryTypeName(CEntry::Type type);
// The type a name stands for, in any case; EntryNone for an unknown name.
CEntry::Type EntryTypeFromName(const QString& name);
