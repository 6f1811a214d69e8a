#pragma once
// What the columns of one table of an imported CSV file mean: recognised from its header (our own
// export, a known program's export, or by the names alone), and corrected by the user.
// CImportRowConverter makes an entry of one record as the mapping says.

#include "core/LocalDates.h"
#include "exchange/CImportFields.h"
#include "exchange/ImportUnits.h"
#include "exchange/ImportValues.h"

#include "platform/WinTypes.h"
#include "records/CEntry.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

struct CImportProblem;
class CImportProfile;
class CImportRowConverter;

// One record of the file as it will be stored.
struct CImportRow {
    qint64 line = 0;
    QString vehicle; // the file's vehicle name; empty when it names none
    // The row only names a vehicle (with its odometer, when it has one).
    bool vehicleOnly = false;
    CEntry::Type type = CEntry::EntryNone;
    double date = 0.0; // stored (UTC) OLE date
    QDate day;         // the local day
    LONG odometer = 0;
    float amount = 0.0f;
    float custom1 = 0.0f;
    float custom2 = 0.0f;
    QString vendor;
    QString name;
    QString notes;
    bool partial = false; // a partial or a missed fill-up was noted
    DWORD fillFlags = 0;  // CDataLayer::FillPartial, FillMissed
    QString currency;     // the row's currency, when the table has a column for it
    // A vehicle row's details, where its table has them.
    int year = 0;
    QString plate;
    QString makeModel;
};

class CImportMapping : public CImportFields {
public:
    // The mapping of a header line under an optional section marker ("## Log", "FUEL RECORDS")
    // and file title ("ROAD TRIP CSV"); Usable() says whether its rows can be imported and, if
    // not, Problem() why.
    static CImportMapping Recognise(const QStringList& header, const QString& marker = QString(),
                                    const QString& title = QString());
    bool Usable() const;
    // A table of costs without an odometer column: its entries are stored without a reading (0).
    bool WithoutReadings() const;
    CImportProblem Problem() const;

    Kind GetKind() const { return m_Kind; }
    // The section marker that has no place in the data file (categories, tyres, ...).
    bool SkippedByMarker() const { return m_SkippedByMarker; }
    const QStringList& Header() const { return m_Header; }
    const QString& Marker() const { return m_Marker; }
    // The known export the header matched; null when read by the names alone.
    const CImportProfile* Profile() const { return m_Profile; }
    // The first column of the field, or -1.
    int Column(Field field) const;
    // The field of a column, or FieldCount when the column is not used.
    Field FieldOf(int column) const;
    // The user's word for a column; the kind follows what the columns now hold.
    void SetField(int column, Field field);
    // The columns that nothing is taken from.
    QList<int> UnusedColumns() const;
    static QString FieldName(Field field);
    // "date", "unitprice", "ignore", as the console tool takes them; FieldCount is "ignore".
    static QString FieldKey(Field field);
    static std::optional<Field> FieldFromKey(const QString& key);
    static QString KindName(Kind kind);

    // The column whose price says neither per unit nor total, and what it was taken as.
    int PriceColumn() const { return m_PriceColumn; }
    PriceReading GetPriceReading() const { return m_PriceReading; }
    PriceReason GetPriceReason() const { return m_PriceReason; }
    void SetPriceReading(PriceReading reading, PriceReason reason);
    // Decides the price column from the rows: a price per unit varies little from row to row,
    // a total varies with the quantity. A known program's meaning is kept.
    void DecidePrice(const std::vector<QStringList>& records);
    // A "Type" column that holds no entry types (a service log's "Oil change") is a description.
    void CheckTypeColumn(const std::vector<QStringList>& records);

    // The units the table states: in its column names or as its program writes them; Unstated when
    // it states none. A unit column states each row's own.
    FileDistance StatedDistance() const { return m_StatedDistance; }
    // Plain "gallons" are UK ones where the file says it is from the UK.
    FileVolume StatedVolume() const;
    // The volume stated is "gallons" without saying US or UK.
    bool StatesPlainGallons() const { return m_PlainGallons; }
    // The file marks itself as from the UK: its title or section says so, or (as the importer
    // finds) another section does or its currency is pounds.
    bool SaysUk() const { return m_TextSaysUk || ukFile; }
    bool TextSaysUk() const { return m_TextSaysUk; }
    // Where the units taken were stated, when a title or section line above the header did.
    enum UnitsFrom { UnitsFromNone, UnitsFromTitle, UnitsFromSection };
    UnitsFrom UnitsFromText() const { return m_UnitsFromText; }
    const QString& Title() const { return m_Title; }
    int DistanceUnitColumn() const { return m_DistanceUnitColumn; }
    int VolumeUnitColumn() const { return m_VolumeUnitColumn; }
    // A column whose name states a unit the import does not know, and that unit; -1 when none.
    int UnknownUnitColumn() const { return m_UnknownUnitColumn; }
    const QString& UnknownUnit() const { return m_UnknownUnit; }
    int CurrencyColumn() const { return m_CurrencyColumn; }
    // The units its numbers are taken in when no row says otherwise: the user's word, else what
    // the table states; Unstated means the user's own units.
    FileDistance DistanceIn() const {
        return fileDistance != FileDistance::Unstated ? fileDistance : m_StatedDistance;
    }
    FileVolume VolumeIn() const { return fileVolume != FileVolume::Unstated ? fileVolume : StatedVolume(); }

    // The values of a flag column (partial, full, missed) that set the flag, as "2" of a fill-type
    // code; empty: yes/no words in any of the languages read. A column mapped anew forgets them.
    void SetFlagValues(Field field, const QStringList& values);
    const QStringList& FlagValues(Field field) const;

    // Choices the file cannot fix by itself.
    bool decimalComma = false;
    // The file's units as the user gives them (Unstated: as the table states), and the user's own.
    FileDistance fileDistance = FileDistance::Unstated;
    FileVolume fileVolume = FileVolume::Unstated;
    DistanceUnit userDistance = DistanceMiles;
    VolumeUnit userVolume = VolumeGallonsUS;
    bool ukFile = false; // the file says elsewhere that it is from the UK
    DateFormat dateFormat = DateIso;
    CEntry::Type serviceType = CEntry::EntryRepair; // what a service log's rows become
    // The section says what its rows are (costs, maintenance), so the user is not asked.
    bool ServiceTypeFixed() const { return m_ServiceTypeFixed; }

    // The values of the record that a field is taken from, as the file has them.
    QString Value(const QStringList& fields, Field field) const;

    // Guesses from the first records' dates and numbers (ImportValues::Detect).
    using Detection = ImportValues::Detection;
    static Detection Detect(const QStringList& dates, const QStringList& numbers) {
        return ImportValues::Detect(dates, numbers);
    }
    // The values of this table's records that Detect looks at.
    void CollectSamples(const std::vector<QStringList>& records, QStringList& dates,
                        QStringList& numbers) const;

    // Readers of single values (ImportValues), for the mapping and the console tool's options.
    using LocalTime = ImportValues::LocalTime;
    static std::optional<double> ParseNumber(const QString& text, bool decimalComma) {
        return ImportValues::ParseNumber(text, decimalComma);
    }
    static std::optional<LocalTime> ParseDate(const QString& text, DateFormat format,
                                              CImportProblem* problem) {
        return ImportValues::ParseDate(text, format, problem);
    }
    static QString DateFormatName(DateFormat format) { return ImportValues::DateFormatName(format); }
    static std::optional<DateFormat> DateFormatFromName(const QString& name) {
        return ImportValues::DateFormatFromName(name);
    }
    static QString NormaliseHeader(const QString& text) { return ImportValues::NormaliseHeader(text); }

private:
    // Reads the rows with the mapping's caches and the codes and columns it keeps to itself.
    friend class CImportRowConverter;

    void Classify();
    // The units the column names state, and the unit and currency columns.
    void FindUnits();
    // What a price column that does not say it is per unit or the total is, by the other columns.
    void ReadLonePrice();

    std::vector<Field> m_Fields;           // by column
    std::array<int, FieldCount> m_First{}; // the first column of each field, for the rows
    Kind m_Kind = KindOwn;
    int m_MarkerHint = 0;
    bool m_SkippedByMarker = false;
    bool m_ServiceTypeFixed = false;
    int m_LonePrice = -1; // the column named "price" and no more, unless a profile knows it
    int m_PriceColumn = -1;
    PriceReading m_PriceReading = PriceNone;
    PriceReason m_PriceReason = ReasonGuess;
    QStringList m_Header;
    QString m_Marker;
    QString m_Title;
    bool m_PlainGallons = false;
    bool m_TextSaysUk = false;
    UnitsFrom m_UnitsFromText = UnitsFromNone;
    FileDistance m_StatedDistance = FileDistance::Unstated;
    FileVolume m_StatedVolume = FileVolume::Unstated;
    int m_DistanceUnitColumn = -1;
    int m_VolumeUnitColumn = -1;
    int m_UnknownUnitColumn = -1;
    QString m_UnknownUnit;
    int m_CurrencyColumn = -1;
    std::array<QStringList, FieldCount> m_FlagValues;
    QStringList m_MissedCodes; // values of the partial column that mean a missed fill-up instead
    // A vehicle table's year, make, model and plate columns, or -1.
    std::array<int, 4> m_VehicleDetails{-1, -1, -1, -1};
    const CImportProfile* m_Profile = nullptr;
    mutable CLocalDays m_Days; // a cache only
};
