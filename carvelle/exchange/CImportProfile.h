#pragma once
// The exports of other programs that the import knows: for each, how its tables are told apart
// (header names in every language the program writes, section markers, a title line) and what
// each column means, down to whether its "price" is per unit or the total. A file that matches
// none is read by the column names alone, in the same languages.

#include "exchange/CImportFields.h"
#include "exchange/ImportUnits.h"

#include "records/CEntry.h"

#include <QString>
#include <QStringList>

#include <vector>

class CImportProfile {
public:
    // What a section marker ("## Costs", "TIRE LOG") says its table holds.
    enum Hint { HintNone, HintFuel, HintService, HintExpense, HintVehicles, HintSkip };
    // A column the profile knows but takes nothing from.
    static constexpr int Unused = CImportFields::FieldCount;
    // A column the profile does not know.
    static constexpr int Unknown = -1;

    // The program and table, as the user knows them: "Fuelly fuel-ups".
    const QString& Name() const { return m_Name; }
    CImportFields::Kind Kind() const { return m_Kind; }
    // What the rows of a service table become, and whether the table says so itself.
    CEntry::Type ServiceType() const { return m_ServiceType; }
    bool ServiceTypeFixed() const { return m_ServiceTypeFixed; }
    // What the program's lone "price" column means; PriceNone when it writes none.
    CImportFields::PriceReading Price() const { return m_Price; }
    // The units the program writes, where its column names do not say; Unstated when unknown.
    FileDistance Distance() const { return m_Distance; }
    FileVolume Volume() const { return m_Volume; }
    // The codes of its fill-type column (the partial fill-up's) that mean a partial and a missed
    // fill-up; empty when it writes yes and no.
    const QStringList& PartialCodes() const { return m_PartialCodes; }
    const QStringList& MissedCodes() const { return m_MissedCodes; }

    // The profile that fits the header (names as NormaliseHeader gives them) best under the
    // section marker and file title, with the field of each column (Unused, Unknown); null when
    // none fits.
    static const CImportProfile* Match(const QStringList& names, const QString& marker, const QString& title,
                                       std::vector<int>& fields);
    // The field that a column name stands for in any file, or Unknown; inVehicles: the table
    // lists vehicles, so a plain "Name" is the vehicle's.
    static int GenericField(const QString& name, bool inVehicles);
    // "Price", "Preis", "Prix", ...: a price that does not say whether it is per unit.
    static bool IsLonePrice(const QString& name);
    static Hint HintOf(const QString& marker);
    // A flag's value: "1", "yes", "x", "ja", "oui", ...; and its negation "0", "no", "nein", ....
    static bool IsYes(const QString& value);
    static bool IsNo(const QString& value);
    // A column (its name as NormaliseHeader gives it) that gives each row's unit: 1 of distance, 2
    // of volume; 0 when it is none.
    static int UnitColumnKind(const QString& name);
    static bool IsCurrencyColumn(const QString& name);
    // A vehicle table's column of the year (0), make (1), model (2) or plate (3); -1 when none.
    static int VehicleDetail(const QString& name);

    struct Column {
        int field;
        QStringList names;
    };

private:
    friend struct ProfileTable;
    CImportProfile() = default;

    QString m_Name;
    CImportFields::Kind m_Kind = CImportFields::KindFuelLog;
    CEntry::Type m_ServiceType = CEntry::EntryRepair;
    bool m_ServiceTypeFixed = false;
    CImportFields::PriceReading m_Price = CImportFields::PriceNone;
    FileDistance m_Distance = FileDistance::Unstated;
    FileVolume m_Volume = FileVolume::Unstated;
    QStringList m_PartialCodes;
    QStringList m_MissedCodes;
    QStringList m_Titles;   // a file title holding one of these picks the profile ...
    QStringList m_Markers;  // ... as does a section marker that is one of these ...
    QStringList m_Distinct; // ... or one of these columns
    std::vector<CImportFields::Field> m_Required;
    std::vector<Column> m_Columns;
};
