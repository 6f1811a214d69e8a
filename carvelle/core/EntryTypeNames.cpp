#include "core/EntryTypeNames.h"

namespace {

constexpr CEntry::Type kTypes[] = {CEntry::EntryFuel, CEntry::EntryRepair, CEntry::EntryTrip,
                                   CEntry::EntryExpense};

} // namespace

const char* EntryTypeName(CEntry::Type type) {
    switch (type) {
    case CEntry::EntryFuel:
        return "Fuel";
    case CEntry::EntryRepair:
        return "Repair";
    case CEntry::EntryTrip:
        return "Trip";
    case CEntry::EntryExpense:
        return "Expense";
    default:
        return nullptr;
    }
}

CEntry::Type EntryTypeFromName(const QString& name) {
    const QString wanted = name.trimmed();
    for (CEntry::Type type : kTypes) {
        if (wanted.compare(QLatin1String(EntryTypeName(type)), Qt::CaseInsensitive) == 0)
            return type;
    }
    return CEntry::EntryNone;
}
