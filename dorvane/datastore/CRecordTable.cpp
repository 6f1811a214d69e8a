#include "datastore/CRecordTable.h"

#include "records/CStringHelper.h"

#include <sqlite3.h>

#include <charconv>
#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

namespace {

template <class Setter> struct SetterArgument;
template <class Class, class T> struct SetterArgument<void (Class::*)(T)> { using Type = T; };

// A column as the record's setter takes it.
template <class T> T Read(sqlite3_stmt* row, int index) {
    if constexpr (std::is_same_v<T, LPCWSTR>) {
        // The engine delivers UTF-16, so nothing is decoded; NULL comes back as null, which the
        // setters take as the empty text.
        return static_cast<LPCWSTR>(sqlite3_column_text16(row, index));
    } else if constexpr (std::is_same_v<T, ULONG>) {
        // Reference IDs are written unsigned; the low 32 bits also read back IDs that other tools
        // stored as negative numbers.
        return static_cast<ULONG>(sqlite3_column_int64(row, index));
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(sqlite3_column_double(row, index));
    } else {
        static_assert(std::is_integral_v<T> || std::is_enum_v<T>);
        return static_cast<T>(sqlite3_column_int(row, index));
    }
}

// The columns of one record class, made from its getters and setters.
template <class Record> struct ColumnsOf {
    using Table = CRecordTable<Record>;
    using Column = typename Table::Column;
    using Kind = typename Table::Kind;
    using Source = typename Table::Source;
    using Value = typename Table::Value;

    template <auto Getter, auto Setter> static constexpr Column Text(const char* name, unsigned flags = 0) {
        return Make<Kind::Text, Getter, Setter>(name, Source::Field, flags);
    }
    template <auto Getter, auto Setter> static constexpr Column Real(const char* name, unsigned flags = 0) {
        return Make<Kind::Real, Getter, Setter>(name, Source::Field, flags);
    }
    template <auto Getter, auto Setter>
    static constexpr Column Integer(const char* name, unsigned flags = 0) {
        return Make<Kind::Integer, Getter, Setter>(name, Source::Field, flags);
    }
    template <auto Getter, auto Setter>
    static constexpr Column Unsigned(const char* name, unsigned flags = 0) {
        return Make<Kind::Unsigned, Getter, Setter>(name, Source::Field, flags);
    }

    // The columns every record table has.
    using Base = CBaseObject;
    static constexpr Column RowID() {
        return Make<Kind::Integer, &Base::GetID, &Base::SetID>("ID", Source::RowID);
    }
    static constexpr Column RefID() {
        return Make<Kind::Unsigned, &Base::GetRefID, &Base::SetRefID>("RefID", Source::RefID);
    }
    static constexpr Column Name() { return Text<&Base::GetName, &Base::SetName>("Name"); }
    static constexpr Column Notes() { return Text<&Base::GetNotes, &Base::SetNotes>("Notes"); }
    static constexpr Column Created() {
        return Make<Kind::Real, &Base::GetDateCreated, &Base::SetDateCreated>("Created", Source::Created);
    }
    static constexpr Column Modified(unsigned flags = 0) {
        return Make<Kind::Real, &Base::GetDateModified, &Base::SetDateModified>("Modified", Source::Modified,
                                                                                flags);
    }

    template <Kind kind, auto Getter, auto Setter>
    static constexpr Column Make(const char* name, Source source, unsigned flags = 0) {
        using Field = std::remove_cvref_t<decltype((std::declval<const Record&>().*Getter)())>;
        static_assert((kind == Kind::Text) == std::is_same_v<Field, LPCWSTR>);
        static_assert((kind == Kind::Real) == std::is_floating_point_v<Field>);
        return {name, kind, source, flags, &Get<Getter>, &Fill<Setter>};
    }

    template <auto Getter> static Value Get(const Record& record) {
        using Field = std::remove_cvref_t<decltype((record.*Getter)())>;
        Value value;
        if constexpr (std::is_same_v<Field, LPCWSTR>) {
            value.text = (record.*Getter)();
        } else if constexpr (std::is_floating_point_v<Field>) {
            value.real = static_cast<double>((record.*Getter)());
        } else {
            value.integer = static_cast<std::int64_t>((record.*Getter)());
        }
        return value;
    }

    template <auto Setter> static void Fill(Record& record, sqlite3_stmt* row, int index) {
        (record.*Setter)(Read<typename SetterArgument<decltype(Setter)>::Type>(row, index));
    }
};

constexpr const char* kTabs = "\t\t\t";

// As '%q' writes it: in quotes, each quote doubled.
void AppendQuoted(std::string& text, const char* value) {
    if (!value) {
        text += "'(NULL)'"; // what %q makes of a helper's null
        return;
    }
    text += '\'';
    for (const char* quote; (quote = std::strchr(value, '\'')) != nullptr; value = quote + 1) {
        text.append(value, quote + 1);
        text += '\'';
    }
    text += value;
    text += '\'';
}

// As %d and %lu write it.
template <class Integer> void AppendInteger(std::string& text, Integer value) {
    char digits[24];
    const std::to_chars_result end = std::to_chars(std::begin(digits), std::end(digits), value);
    text.append(digits, end.ptr);
}

// The engine's own %f, which rounds and spells Inf and NaN its way.
void AppendReal(std::string& text, double value) {
    char digits[400]; // the longest double in %f takes about 320
    text += sqlite3_snprintf(static_cast<int>(sizeof digits), digits, "%f", value);
}

// A statement is written a value at a time, as sqlite3_mprintf would write the whole; only the
// reals go through the engine's printf, which is the costly part of a save's text.
template <class Record>
void AppendValue(std::string& text, const typename CRecordTable<Record>::Column& column,
                 const typename CRecordTable<Record>::Value& value, CStringHelper& helper) {
    using Kind = typename CRecordTable<Record>::Kind;
    switch (column.kind) {
    case Kind::Text:
        AppendQuoted(text, helper.Encode(value.text));
        break;
    case Kind::Real:
        AppendReal(text, value.real);
        break;
    case Kind::Integer:
        AppendInteger(text, static_cast<int>(value.integer));
        break;
    case Kind::Unsigned:
        AppendInteger(text, static_cast<ULONG>(value.integer));
        break;
    }
}

// Room for most statements at once.
constexpr std::size_t kStatementSize = 512;

} // namespace

template <class Record>
typename CRecordTable<Record>::Value CRecordTable<Record>::ValueOf(const Column& column, const Record& record,
                                                                   const Stamp& stamp) {
    Value value;
    switch (column.source) {
    case Source::RefID:
        value.integer = stamp.refID;
        break;
    case Source::Created:
        value.real = stamp.created;
        break;
    case Source::Modified:
        value.real = stamp.modified;
        break;
    case Source::RowID:
    case Source::Field:
        value = column.get(record);
        break;
    }
    return value;
}

template <class Record>
std::string CRecordTable<Record>::InsertText(const Record& record, const Stamp& stamp,
                                             CStringHelper& helper) const try {
    std::string text;
    text.reserve(kStatementSize);
    text += "INSERT INTO ";
    text += m_Name;
    text += m_SpacedValues ? " VALUES (" : " VALUES(";
    for (const Column& column : m_Columns) {
        if (&column != &m_Columns.front()) {
            text += ',';
        }
        if (column.flags & TabsInInsert) {
            text += kTabs;
        }
        if (column.source == Source::RowID) {
            text += "NULL";
        } else {
            AppendValue<Record>(text, column, ValueOf(column, record, stamp), helper);
        }
    }
    text += ')';
    return text;
} catch (const std::bad_alloc&) {
    return {};
}

template <class Record>
std::string CRecordTable<Record>::UpdateText(const Record& record, const Stamp& stamp,
                                             CStringHelper& helper) const try {
    std::string text;
    text.reserve(kStatementSize);
    text += "UPDATE ";
    text += m_Name;
    text += " SET ";
    bool first = true;
    const auto appendColumns = [&](bool last) {
        for (const Column& column : m_Columns) {
            const bool written = column.source == Source::Modified ||
                                 (column.source == Source::Field && !(column.flags & KeptOnUpdate));
            if (!written || ((column.flags & UpdatedLast) != 0) != last) {
                continue;
            }
            if (!first) {
                text += ',';
            }
            first = false;
            if (column.flags & TabsInUpdate) {
                text += kTabs;
            }
            text += column.name;
            text += '=';
            AppendValue<Record>(text, column, ValueOf(column, record, stamp), helper);
        }
    };
    appendColumns(false);
    appendColumns(true);
    // The row ID leads every table.
    const Column& rowID = m_Columns.front();
    text += " WHERE ";
    text += rowID.name;
    text += '=';
    AppendValue<Record>(text, rowID, ValueOf(rowID, record, stamp), helper);
    return text;
} catch (const std::bad_alloc&) {
    return {};
}

template <class Record> void CRecordTable<Record>::Fill(Record& record, sqlite3_stmt* row) const {
    int index = 0;
    for (const Column& column : m_Columns) {
        column.fill(record, row, index++);
    }
    record.SetDirty(0);
}

// The tables, each column in the file's order.

template <> const CRecordTable<CVehicle>& CRecordTable<CVehicle>::Get() {
    using V = CVehicle;
    using C = ColumnsOf<V>;
    static constexpr Column kColumns[] = {
        C::RowID(),
        C::RefID(),
        C::Name(),
        C::Notes(),
        C::Created(),
        C::Modified(TabsInInsert),
        C::Text<&V::GetLicensePlate, &V::SetLicensePlate>("LicensePlate", TabsInUpdate),
        C::Text<&V::GetVIN, &V::SetVIN>("VIN"),
        C::Text<&V::GetDealerName, &V::SetDealerName>("DealerName"),
        C::Text<&V::GetDealerPhone, &V::SetDealerPhone>("DealerPhone"),
        C::Text<&V::GetDealerAddress, &V::SetDealerAddress>("DealerAddress", TabsInUpdate),
        C::Text<&V::GetInsurancePolicyNumber, &V::SetInsurancePolicyNumber>("InsurancePolicyNumber"),
        C::Text<&V::GetInsuranceAgentName, &V::SetInsuranceAgentName>("InsuranceAgentName"),
        C::Text<&V::GetInsuranceAgentPhone, &V::SetInsuranceAgentPhone>("InsuranceAgentPhone", TabsInUpdate),
        C::Text<&V::GetInsuranceCoverage, &V::SetInsuranceCoverage>("InsuranceCoverage"),
        C::Real<&V::GetInsuranceExpirationDate, &V::SetInsuranceExpirationDate>("InsuranceExpirationDate"),
        C::Unsigned<&V::GetCurrentOdometer, &V::SetCurrentOdometer>("CurrentOdometer", TabsInUpdate),
        C::Integer<&V::GetYear, &V::SetYear>("Year"),
        C::Text<&V::GetImagePath, &V::SetImagePath>("ImagePath"),
    };
    static constexpr CRecordTable kTable("Vehicle", false, kColumns);
    return kTable;
}

template <> const CRecordTable<CEntry>& CRecordTable<CEntry>::Get() {
    using E = CEntry;
    using C = ColumnsOf<E>;
    static constexpr Column kColumns[] = {
        C::RowID(),
        C::RefID(),
        C::Name(),
        C::Notes(),
        C::Created(),
        C::Modified(),
        C::Real<&E::GetDate, &E::SetDate>("Date"),
        C::Unsigned<&E::GetOdometer, &E::SetOdometer>("Odometer"),
        C::Unsigned<&E::GetVehicleID, &E::SetVehicleID>("VehicleID", KeptOnUpdate),
        C::Integer<&E::GetType, &E::SetType>("Type", KeptOnUpdate),
        C::Text<&E::GetVendor, &E::SetVendor>("Vendor", TabsInUpdate),
        C::Real<&E::GetAmount, &E::SetAmount>("Amount"),
        C::Real<&E::GetCustom1, &E::SetCustom1>("Custom1"),
        C::Real<&E::GetCustom2, &E::SetCustom2>("Custom2"),
    };
    static constexpr CRecordTable kTable("Entry", true, kColumns);
    return kTable;
}

template <> const CRecordTable<CKeyword>& CRecordTable<CKeyword>::Get() {
    using K = CKeyword;
    using C = ColumnsOf<K>;
    static constexpr Column kColumns[] = {
        C::RowID(),
        C::RefID(),
        C::Name(),
        C::Integer<&K::GetType, &K::SetType>("Type", KeptOnUpdate), // a keyword stays in its list
        C::Created(),
        C::Modified(),
    };
    static constexpr CRecordTable kTable("Keyword", false, kColumns);
    return kTable;
}

template <> const CRecordTable<CNotification>& CRecordTable<CNotification>::Get() {
    using N = CNotification;
    using C = ColumnsOf<N>;
    static constexpr Column kColumns[] = {
        C::RowID(),
        C::RefID(),
        C::Name(),
        C::Created(),
        C::Modified(UpdatedLast),
        C::Real<&N::GetDate, &N::SetDate>("Date"),
        C::Integer<&N::GetOdometer, &N::SetOdometer>("Odometer"),
        C::Unsigned<&N::GetVehicleID, &N::SetVehicleID>("VehicleID", KeptOnUpdate),
    };
    static constexpr CRecordTable kTable("Notification", false, kColumns);
    return kTable;
}

template class CRecordTable<CVehicle>;
template class CRecordTable<CEntry>;
template class CRecordTable<CKeyword>;
template class CRecordTable<CNotification>;
