#include "exchange/CImportMapping.h"

#include "exchange/CImportProblem.h"
#include "exchange/CImportProfile.h"
#include "exchange/SpreadsheetSafe.h"

#include "core/CStringTable.h"
#include "core/EntryTypeNames.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The keys of the console tool's --map, in the order of the fields; the last stands for no field.
const char* const kFieldKeys[] = {"vehicle",   "date",   "type",   "odometer",    "quantity",
                                  "unitprice", "total",  "vendor", "description", "notes",
                                  "partial",   "missed", "full",   "time",        "ignore"};
static_assert(std::size(kFieldKeys) == CImportMapping::FieldCount + 1);

// Fields that take several columns, joined; every other field takes its first.
bool Joins(CImportMapping::Field field) {
    return field == CImportMapping::FieldDescription || field == CImportMapping::FieldNotes;
}

// Texts are kept as the file has them: the reader already took the spaces around unquoted values.
bool IsText(CImportMapping::Field field) {
    return field == CImportMapping::FieldVehicle || field == CImportMapping::FieldVendor ||
           field == CImportMapping::FieldDescription || field == CImportMapping::FieldNotes;
}

// How far the values lie from their mean, as a share of it: the spread that tells a price per
// unit (steady) from a total (which follows the quantity).
double Spread(const std::vector<double>& values) {
    double sum = 0.0;
    for (double v : values)
        sum += v;
    const double mean = sum / static_cast<double>(values.size());
    if (mean <= 0.0)
        return 0.0;
    double squares = 0.0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    return std::sqrt(squares / static_cast<double>(values.size())) / mean;
}

} // namespace

QString CImportMapping::FieldName(Field field) {
    const QStringList names = LoadStringResource(IDS_EXCHANGE_FIELD_NAMES).split(u'|');
    return field >= 0 && field < names.size() ? names[field] : QString();
}

QString CImportMapping::FieldKey(Field field) {
    return QLatin1String(kFieldKeys[field >= 0 && field <= FieldCount ? field : FieldCount]);
}

std::optional<CImportMapping::Field> CImportMapping::FieldFromKey(const QString& key) {
    const QString wanted = key.trimmed().toLower();
    for (int field = 0; field <= FieldCount; ++field) {
        if (wanted == QLatin1String(kFieldKeys[field]))
            return static_cast<Field>(field);
    }
    // The data file's own names for the same.
    if (wanted == u"amount")
        return FieldAmount;
    if (wanted == u"unit-price" || wanted == u"price-per-unit")
        return FieldUnitPrice;
    return std::nullopt;
}

QString CImportMapping::KindName(Kind kind) {
    const QStringList names = LoadStringResource(IDS_EXCHANGE_KIND_NAMES).split(u'|');
    return kind >= 0 && kind < names.size() ? names[kind] : QString();
}

CImportMapping CImportMapping::Recognise(const QStringList& header, const QString& marker,
                                         const QString& title) {
    CImportMapping mapping;
    mapping.m_Header = header;
    mapping.m_Marker = marker;
    mapping.m_Title = title;
    QStringList names;
    for (const QString& column : header)
        names << NormaliseHeader(column);
    const QString markerName = NormaliseHeader(marker);
    const CImportProfile::Hint hint = CImportProfile::HintOf(markerName);
    mapping.m_MarkerHint = hint;
    mapping.m_SkippedByMarker = hint == CImportProfile::HintSkip;

    std::vector<int> known;
    mapping.m_Profile = CImportProfile::Match(names, markerName, NormaliseHeader(title), known);
    const bool vehicles = hint == CImportProfile::HintVehicles ||
                          (mapping.m_Profile && mapping.m_Profile->Kind() == KindVehicles);
    mapping.m_Fields.assign(static_cast<std::size_t>(header.size()), FieldCount);
    for (qsizetype column = 0; column < names.size(); ++column) {
        const QString& name = names[column];
        int field = mapping.m_Profile ? known[static_cast<std::size_t>(column)] : CImportProfile::Unknown;
        if (field == CImportProfile::Unknown) {
            if (CImportProfile::IsLonePrice(name)) {
                if (mapping.m_LonePrice < 0)
                    mapping.m_LonePrice = static_cast<int>(column);
                continue; // decided below, once the other columns are known
            }
            field = CImportProfile::GenericField(name, vehicles);
            // "Fuel (litres)", "Carburante (kg)": a column measured in a volume is the quantity.
            if (field == CImportProfile::Unknown && !vehicles && VolumeUnitOf(BracketedUnit(header[column])))
                field = FieldQuantity;
            if (field == CImportProfile::Unknown)
                continue;
        }
        const auto f = static_cast<Field>(field);
        if (f != FieldCount && (Joins(f) || mapping.Column(f) < 0))
            mapping.m_Fields[static_cast<std::size_t>(column)] = f;
        // A known price column is what its program means by it.
        if (mapping.m_Profile && CImportProfile::IsLonePrice(name) && mapping.m_PriceColumn < 0 &&
            (f == FieldUnitPrice || f == FieldAmount)) {
            mapping.m_PriceColumn = static_cast<int>(column);
            mapping.m_PriceReading = f == FieldUnitPrice ? PriceUnit : PriceTotal;
            mapping.m_PriceReason = ReasonProfile;
        }
    }

    mapping.ReadLonePrice();
    mapping.Classify();
    mapping.FindUnits();
    if (mapping.m_Profile) {
        mapping.m_FlagValues[FieldPartial] = mapping.m_Profile->PartialCodes();
        mapping.m_MissedCodes = mapping.m_Profile->MissedCodes();
    }
    return mapping;
}

void CImportMapping::FindUnits() {
    m_StatedDistance = m_Profile ? m_Profile->Distance() : FileDistance::Unstated;
    m_StatedVolume = m_Profile ? m_Profile->Volume() : FileVolume::Unstated;
    m_DistanceUnitColumn = m_VolumeUnitColumn = m_UnknownUnitColumn = m_CurrencyColumn = -1;
    m_UnknownUnit.clear();
    m_VehicleDetails = {-1, -1, -1, -1};
    std::optional<FileDistance> odometer;
    std::optional<FileDistance> distance; // another column of distances that names its unit
    std::optional<FileVolume> quantity;
    std::optional<FileVolume> price;
    bool plainQuantity = false;
    bool plainPrice = false;
    // A title line states the file's units, a section line its table's; a column's name says more.
    m_PlainGallons = false;
    m_UnitsFromText = UnitsFromNone;
    m_TextSaysUk = false;
    bool textDistance = false;
    bool textVolume = false;
    for (const bool section : {false, true}) {
        const TextUnits units = UnitsInText(section ? m_Marker : m_Title);
        m_TextSaysUk = m_TextSaysUk || units.uk;
        if (units.distance != FileDistance::Unstated) {
            m_StatedDistance = units.distance;
            textDistance = true;
        }
        if (units.volume != FileVolume::Unstated) {
            m_StatedVolume = units.volume;
            m_PlainGallons = units.plainGallons;
            textVolume = true;
        }
        if (units.States())
            m_UnitsFromText = section ? UnitsFromSection : UnitsFromTitle;
    }
    for (std::size_t column = 0; column < m_Fields.size(); ++column) {
        const QString& header = m_Header[static_cast<qsizetype>(column)];
        const int at = static_cast<int>(column);
        switch (m_Fields[column]) {
        case FieldOdometer:
            odometer = DistanceUnitInName(header);
            break;
        case FieldQuantity: {
            QString unknown;
            quantity = VolumeUnitInName(header, &unknown, &plainQuantity);
            if (!unknown.isEmpty()) {
                m_UnknownUnit = unknown;
                m_UnknownUnitColumn = at;
            }
            break;
        }
        case FieldUnitPrice:
            price = VolumeUnitInName(header, nullptr, &plainPrice);
            break;
        case FieldCount: {
            const QString name = NormaliseHeader(header);
            const int unitKind = CImportProfile::UnitColumnKind(name);
            if (unitKind == 1 && m_DistanceUnitColumn < 0)
                m_DistanceUnitColumn = at;
            else if (unitKind == 2 && m_VolumeUnitColumn < 0)
                m_VolumeUnitColumn = at;
            else if (CImportProfile::IsCurrencyColumn(name) && m_CurrencyColumn < 0)
                m_CurrencyColumn = at;
            else if (m_Kind == KindVehicles && CImportProfile::VehicleDetail(name) >= 0)
                m_VehicleDetails[static_cast<std::size_t>(CImportProfile::VehicleDetail(name))] = at;
            else if (!distance)
                distance = DistanceUnitInName(header); // "miles", "Teil-Km", "Distance (km)"
            break;
        }
        default:
            break;
        }
    }
    if (odometer)
        m_StatedDistance = *odometer;
    else if (distance)
        m_StatedDistance = *distance;
    if (quantity) {
        m_StatedVolume = *quantity;
        m_PlainGallons = plainQuantity;
    } else if (price && m_UnknownUnitColumn < 0) {
        m_StatedVolume = *price;
        m_PlainGallons = plainPrice;
    }
    // The text is named only where its units are the ones taken.
    textDistance = textDistance && !odometer && !distance;
    textVolume = textVolume && !quantity && !(price && m_UnknownUnitColumn < 0);
    if (!textDistance && !textVolume)
        m_UnitsFromText = UnitsFromNone;
}

FileVolume CImportMapping::StatedVolume() const {
    if (m_PlainGallons && m_StatedVolume == FileVolume::GallonsUS && SaysUk())
        return FileVolume::GallonsUK;
    return m_StatedVolume;
}

void CImportMapping::SetFlagValues(Field field, const QStringList& values) {
    if (field < 0 || field >= FieldCount)
        return;
    QStringList trimmed;
    for (const QString& value : values) {
        if (!value.trimmed().isEmpty())
            trimmed << value.trimmed();
    }
    m_FlagValues[static_cast<std::size_t>(field)] = trimmed;
    if (field == FieldPartial)
        m_MissedCodes.clear();
}

const QStringList& CImportMapping::FlagValues(Field field) const {
    static const QStringList none;
    return field >= 0 && field < FieldCount ? m_FlagValues[static_cast<std::size_t>(field)] : none;
}
void CImportMapping::ReadLonePrice() {
    if (m_LonePrice < 0 || m_PriceReason == ReasonUser)
        return;
    auto& field = m_Fields[static_cast<std::size_t>(m_LonePrice)];
    field = FieldCount;
    m_PriceColumn = -1;
    m_PriceReading = PriceNone;
    // Beside a total it is the price per unit, beside a price per unit the total; without a
    // quantity there is nothing it could be the price of. Else the rows tell.
    if (Column(FieldAmount) >= 0 && Column(FieldUnitPrice) < 0) {
        field = FieldUnitPrice;
    } else if (Column(FieldAmount) < 0 && (Column(FieldUnitPrice) >= 0 || Column(FieldQuantity) < 0)) {
        field = FieldAmount;
    } else if (Column(FieldAmount) < 0) {
        field = FieldAmount;
        m_PriceColumn = m_LonePrice;
        m_PriceReading = PriceTotal;
        m_PriceReason = ReasonGuess;
    }
    // Both are there already: it is not used.
}

void CImportMapping::Classify() {
    for (int field = 0; field < FieldCount; ++field)
        m_First[static_cast<std::size_t>(field)] = Column(static_cast<Field>(field));
    const CImportProfile* profile = m_Profile;
    m_ServiceTypeFixed = false;
    if (m_SkippedByMarker) {
        m_Kind = KindSkipped;
        return;
    }
    const bool fuelSign = Column(FieldQuantity) >= 0 || Column(FieldUnitPrice) >= 0 ||
                          Column(FieldPartial) >= 0 || Column(FieldFull) >= 0 || Column(FieldMissed) >= 0;
    if (Column(FieldType) >= 0) {
        m_Kind = KindOwn;
    } else if ((profile && profile->Kind() == KindVehicles) || m_MarkerHint == CImportProfile::HintVehicles) {
        m_Kind = KindVehicles;
    } else if (fuelSign) {
        // A known fuel log without a quantity or a price per unit holds costs.
        m_Kind = KindFuelLog;
    } else if (Column(FieldVehicle) >= 0 && Column(FieldDate) < 0 && Column(FieldOdometer) < 0) {
        m_Kind = KindVehicles; // a list of vehicles
    } else {
        m_Kind = KindServiceLog;
        if (profile && profile->Kind() == KindServiceLog && profile->ServiceTypeFixed()) {
            serviceType = profile->ServiceType();
            m_ServiceTypeFixed = true;
        } else if (m_MarkerHint == CImportProfile::HintExpense ||
                   m_MarkerHint == CImportProfile::HintService) {
            serviceType =
                m_MarkerHint == CImportProfile::HintExpense ? CEntry::EntryExpense : CEntry::EntryRepair;
            m_ServiceTypeFixed = true;
        }
    }
}

bool CImportMapping::Usable() const {
    switch (m_Kind) {
    case KindSkipped:
        return false;
    case KindVehicles:
        return Column(FieldVehicle) >= 0;
    default:
        return Column(FieldDate) >= 0 && (Column(FieldOdometer) >= 0 || WithoutReadings());
    }
}

bool CImportMapping::WithoutReadings() const {
    // Costs with a date and an amount come in without a reading; a fill-up needs one.
    return m_Kind == KindServiceLog && Column(FieldOdometer) < 0 && Column(FieldAmount) >= 0;
}

CImportProblem CImportMapping::Problem() const {
    CImportProblem problem;
    if (m_Kind == KindSkipped)
        problem.code = CImportProblem::NoPlace;
    else if (m_Kind == KindVehicles && Column(FieldVehicle) < 0)
        problem.code = CImportProblem::NoVehicleColumn;
    else if (m_Kind != KindVehicles && Column(FieldDate) < 0)
        problem.code = CImportProblem::NoDateColumn;
    else if (m_Kind != KindVehicles && Column(FieldOdometer) < 0 && !WithoutReadings())
        problem.code = CImportProblem::NoOdometerColumn;
    if (problem.IsProblem())
        problem.value = m_Header.join(QStringLiteral(", "));
    return problem;
}

int CImportMapping::Column(Field field) const {
    const auto found = std::find(m_Fields.begin(), m_Fields.end(), field);
    return field != FieldCount && found != m_Fields.end() ? static_cast<int>(found - m_Fields.begin()) : -1;
}

CImportMapping::Field CImportMapping::FieldOf(int column) const {
    return column >= 0 && static_cast<std::size_t>(column) < m_Fields.size()
               ? m_Fields[static_cast<std::size_t>(column)]
               : FieldCount;
}

void CImportMapping::SetField(int column, Field field) {
    if (column < 0 || static_cast<std::size_t>(column) >= m_Fields.size())
        return;
    // A field that takes one column leaves the one it had.
    if (field != FieldCount && !Joins(field)) {
        for (Field& other : m_Fields) {
            if (other == field)
                other = FieldCount;
        }
    }
    // The codes were the values of another column.
    if (field != FieldCount && m_Fields[static_cast<std::size_t>(column)] != field) {
        m_FlagValues[static_cast<std::size_t>(field)].clear();
        if (field == FieldPartial)
            m_MissedCodes.clear();
    }
    m_Fields[static_cast<std::size_t>(column)] = field;
    if (column == m_PriceColumn || column == m_LonePrice) {
        m_PriceColumn = column;
        m_PriceReading = field == FieldUnitPrice ? PriceUnit : field == FieldAmount ? PriceTotal : PriceNone;
        m_PriceReason = ReasonUser;
    } else if (m_PriceReason != ReasonProfile) {
        // Another quantity or total: a lone price is read anew beside it.
        ReadLonePrice();
    }

    // The user's word makes what the profile said about the columns no longer the whole story,
    // but the table's kind still follows its marker.
    Classify();
    FindUnits();
}

QList<int> CImportMapping::UnusedColumns() const {
    QList<int> unused;
    for (std::size_t column = 0; column < m_Fields.size(); ++column) {
        if (m_Fields[column] == FieldCount &&
            !m_Header.value(static_cast<qsizetype>(column)).trimmed().isEmpty())
            unused << static_cast<int>(column);
    }
    return unused;
}

void CImportMapping::SetPriceReading(PriceReading reading, PriceReason reason) {
    if (m_PriceColumn < 0)
        return;
    SetField(m_PriceColumn, reading == PriceUnit    ? FieldUnitPrice
                            : reading == PriceTotal ? FieldAmount
                                                    : FieldCount);
    m_PriceReason = reason;
}

void CImportMapping::DecidePrice(const std::vector<QStringList>& records) {
    if (m_PriceColumn < 0 || m_PriceReason == ReasonProfile || m_PriceReason == ReasonUser)
        return;
    const int quantityColumn = Column(FieldQuantity);
    std::vector<double> prices;
    std::vector<double> perUnit;
    bool below = true; // every price is below its quantity
    for (const QStringList& record : records) {
        if (m_PriceColumn >= record.size() || quantityColumn < 0 || quantityColumn >= record.size())
            continue;
        const auto price = ParseNumber(record[m_PriceColumn], decimalComma);
        const auto quantity = ParseNumber(record[quantityColumn], decimalComma);
        if (!price || !quantity || *price <= 0 || *quantity <= 0)
            continue;
        prices.push_back(*price);
        perUnit.push_back(*price / *quantity);
        below = below && *price < *quantity;
    }
    if (prices.empty())
        return;
    if (prices.size() < 3) {
        // Too few rows to compare: a price well below the quantity is rarely what was paid.
        SetPriceReading(below ? PriceUnit : PriceTotal, ReasonGuess);
        return;
    }
    SetPriceReading(Spread(prices) <= Spread(perUnit) ? PriceUnit : PriceTotal, ReasonNumbers);
}

void CImportMapping::CheckTypeColumn(const std::vector<QStringList>& records) {
    const int column = Column(FieldType);
    if (column < 0)
        return;
    for (const QStringList& record : records) {
        const QString value = record.value(column).trimmed();
        if (value.isEmpty() || ImportValues::IsVehicleType(value) ||
            EntryTypeFromName(value) != CEntry::EntryNone)
            continue;
        // Not ours: what kind of service it was.
        m_Fields[static_cast<std::size_t>(column)] = FieldCount;
        if (Column(FieldDescription) < 0)
            m_Fields[static_cast<std::size_t>(column)] = FieldDescription;
        if (m_Profile && m_Profile->Kind() == KindOwn)
            m_Profile = nullptr;
        Classify();
        return;
    }
}

QString CImportMapping::Value(const QStringList& fields, Field field) const {
    if (field < 0 || field >= FieldCount)
        return QString();
    const int first = m_First[static_cast<std::size_t>(field)];
    if (first < 0 || first >= fields.size())
        return QString();
    if (!Joins(field)) {
        const QString& text = fields[first];
        // Mostly there is nothing to trim: the reader took the spaces outside quotes.
        if (IsText(field))
            return WithoutFormulaQuote(text);
        if (text.isEmpty() || (!text.front().isSpace() && !text.back().isSpace()))
            return text;
        return text.trimmed();
    }
    QString value;
    for (std::size_t column = static_cast<std::size_t>(first); column < m_Fields.size(); ++column) {
        if (m_Fields[column] != field || static_cast<qsizetype>(column) >= fields.size())
            continue;
        const QString& text = fields[static_cast<qsizetype>(column)];
        if (!Joins(field))
            return IsText(field) ? WithoutFormulaQuote(text) : text.trimmed();
        if (text.isEmpty())
            continue;
        if (!value.isEmpty())
            value += field == FieldNotes ? QStringLiteral("\n") : QStringLiteral(", ");
        value += WithoutFormulaQuote(text);
    }
    return value;
}
void CImportMapping::CollectSamples(const std::vector<QStringList>& records, QStringList& dates,
                                    QStringList& numbers) const {
    for (const QStringList& record : records) {
        const QString date = Value(record, FieldDate);
        if (!date.isEmpty())
            dates << date;
        for (Field field : {FieldQuantity, FieldUnitPrice, FieldAmount}) {
            const QString value = Value(record, field);
            if (!value.isEmpty())
                numbers << value;
        }
    }
}
