#include "exchange/CImportMapping.h"

#include "exchange/CImportProblem.h"
#include "exchange/CImportProfile.h"
#include "exchange/SpreadsheetSafe.h"

#include "core/CStringTable.h"
#include "core/DecimalText.h"
#include "core/EntryTypeNames.h"
#include "core/LocalDates.h"
#include "core/ParseIsoDay.h"
#include "datastore/CDataLayer.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

// The largest number a row may hold; a larger one is taken for a slip.
constexpr double kLargestNumber = 1e9;

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

// A row that names a vehicle of our own export rather than an entry.
bool IsVehicleType(const QString& type) {
    return type.trimmed().compare(QLatin1String("Vehicle"), Qt::CaseInsensitive) == 0;
}

// "12" "2024" as a number of at most nine digits; -1 otherwise.
int Digits(QStringView text) {
    return DigitsValue(text, 9);
}

// A two-digit year as the year nearest today, the earlier one when both are as near.
int CenturyOf(int twoDigits) {
    const int now = QDate::currentDate().year();
    int year = now - now % 100 + twoDigits;
    if (year >= now + 50)
        year -= 100;
    else if (year < now - 50)
        year += 100;
    return year;
}

// "14:30", "14:30:15", "14:30:15.250", "2:30 PM"; invalid when it is none of these.
QTime ParseTime(QString text) {
    text = text.trimmed().toUpper();
    int addHours = 0;
    bool twelveHour = false;
    if (text.endsWith(u"AM") || text.endsWith(u"PM")) {
        twelveHour = true;
        addHours = text.endsWith(u"PM") ? 12 : 0;
        text.chop(2);
        text = text.trimmed();
    }
    if (text.endsWith(u'Z'))
        text.chop(1);
    const QStringList parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return QTime();
    int hour = Digits(parts[0]);
    const int minute = parts[1].size() == 2 ? Digits(parts[1]) : -1;
    int second = 0;
    int msec = 0;
    if (parts.size() == 3) {
        const QStringList secs = parts[2].split(u'.');
        second = secs[0].size() == 2 ? Digits(secs[0]) : -1;
        if (secs.size() == 2) {
            const QString fraction = (secs[1] + QStringLiteral("00")).left(3);
            msec = Digits(fraction);
        } else if (secs.size() > 2) {
            return QTime();
        }
    }
    if (hour < 0 || minute < 0 || second < 0 || msec < 0)
        return QTime();
    if (twelveHour) {
        if (hour < 1 || hour > 12)
            return QTime();
        hour = hour % 12 + addHours;
    }
    return QTime(hour, minute, second, msec);
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

QString CImportMapping::NormaliseHeader(const QString& text) {
    QString name = text.trimmed().toLower();
    // "Odometer (km)", "Price (optional)": what is in brackets at the end is not part of the name.
    if (name.endsWith(u')') || name.endsWith(u']')) {
        const qsizetype open = name.lastIndexOf(name.endsWith(u')') ? u'(' : u'[');
        if (open > 0)
            name.truncate(open);
    }
    name = name.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            out += c;
    }
    return out;
}

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
    for (std::size_t column = 0; column < m_Fields.size(); ++column) {
        const QString& header = m_Header[static_cast<qsizetype>(column)];
        const int at = static_cast<int>(column);
        switch (m_Fields[column]) {
        case FieldOdometer:
            odometer = DistanceUnitInName(header);
            break;
        case FieldQuantity: {
            QString unknown;
            quantity = VolumeUnitInName(header, &unknown);
            if (!unknown.isEmpty()) {
                m_UnknownUnit = unknown;
                m_UnknownUnitColumn = at;
            }
            break;
        }
        case FieldUnitPrice:
            price = VolumeUnitInName(header);
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
    if (quantity)
        m_StatedVolume = *quantity;
    else if (price && m_UnknownUnitColumn < 0)
        m_StatedVolume = *price;
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

FileDistance CImportMapping::RowDistance(const QStringList& fields) const {
    if (fileDistance == FileDistance::Unstated && m_DistanceUnitColumn >= 0 &&
        m_DistanceUnitColumn < fields.size()) {
        if (const auto unit = DistanceUnitOf(fields[m_DistanceUnitColumn]))
            return *unit;
    }
    return DistanceIn();
}

FileVolume CImportMapping::RowVolume(const QStringList& fields) const {
    if (fileVolume == FileVolume::Unstated && m_VolumeUnitColumn >= 0 && m_VolumeUnitColumn < fields.size()) {
        if (const auto unit = VolumeUnitOf(fields[m_VolumeUnitColumn]))
            return *unit;
    }
    return VolumeIn();
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
        if (value.isEmpty() || IsVehicleType(value) || EntryTypeFromName(value) != CEntry::EntryNone)
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

std::optional<double> CImportMapping::ParseNumber(const QString& input, bool decimalComma) {
    // Most values are plain: digits, one decimal mark, a sign. They are read as they stand.
    {
        char plain[32];
        qsizetype n = 0;
        bool simple = !input.isEmpty() && input.size() < static_cast<qsizetype>(sizeof plain);
        for (qsizetype i = 0; simple && i < input.size(); ++i) {
            const char16_t c = input[i].unicode();
            if (c >= u'0' && c <= u'9')
                plain[n++] = static_cast<char>(c);
            else if (c == (decimalComma ? u',' : u'.'))
                plain[n++] = '.';
            else if (c == u'-' && i == 0)
                plain[n++] = '-';
            else
                simple = false;
        }
        if (simple) {
            double value = 0.0;
            const auto [ptr, ec] = std::from_chars(plain, plain + n, value, std::chars_format::fixed);
            if (ec == std::errc() && ptr == plain + n && std::isfinite(value))
                return value;
            return std::nullopt;
        }
    }
    // Currency signs and codes and spaces (a thousands separator in many locales) carry no value.
    QString text;
    text.reserve(input.size());
    for (const QChar c : input) {
        if (!c.isSpace() && c.category() != QChar::Symbol_Currency && c != u'\'' && c != u'\u2019')
            text += c;
    }
    static const QRegularExpression kCode(
        QStringLiteral("^(\\p{L}{1,4}\\.?)?(-?[\\d.,]+)(\\p{L}{1,4}\\.?)?$"));
    if (!text.isEmpty() && !text[0].isDigit() && text[0] != u'-' && text[0] != u'+' && text[0] != u'.') {
        const QRegularExpressionMatch code = kCode.match(text);
        if (code.hasMatch())
            text = code.captured(2);
    } else if (!text.isEmpty() && text.back().isLetter()) {
        const QRegularExpressionMatch code = kCode.match(text);
        if (code.hasMatch())
            text = code.captured(2);
    }
    if (text.isEmpty())
        return std::nullopt;
    const QChar decimal = decimalComma ? u',' : u'.';
    const QChar group = decimalComma ? u'.' : u',';
    if (text.contains(group)) {
        // Grouping is accepted only in threes: "1,234.5" but not "1,2".
        static const QRegularExpression kPointGroups(QStringLiteral("^-?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
        static const QRegularExpression kCommaGroups(QStringLiteral("^-?\\d{1,3}(\\.\\d{3})+(,\\d*)?$"));
        if (!(decimalComma ? kCommaGroups : kPointGroups).match(text).hasMatch())
            return std::nullopt;
        text.remove(group);
    }
    text.replace(decimal, u'.');
    const QByteArray bytes = text.toLatin1();
    double value = 0.0;
    const char* end = bytes.constData() + bytes.size();
    const char* begin = bytes.constData();
    if (*begin == '+')
        ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString CImportMapping::DateFormatName(DateFormat format) {
    switch (format) {
    case DateIso:
        return QStringLiteral("yyyy-MM-dd");
    case DateMonthDayYear:
        return QStringLiteral("M/d/yyyy");
    case DateDayMonthYear:
        return QStringLiteral("d/M/yyyy");
    case DateDayMonthYearDots:
        return QStringLiteral("dd.MM.yyyy");
    default:
        return QString();
    }
}

std::optional<CImportMapping::DateFormat> CImportMapping::DateFormatFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == u"iso" || n == u"yyyy-mm-dd")
        return DateIso;
    if (n == u"m/d/yyyy" || n == u"mm/dd/yyyy" || n == u"m/d/yy" || n == u"mm/dd/yy" || n == u"mdy")
        return DateMonthDayYear;
    if (n == u"d/m/yyyy" || n == u"dd/mm/yyyy" || n == u"d/m/yy" || n == u"dd/mm/yy" || n == u"dmy")
        return DateDayMonthYear;
    if (n == u"dd.mm.yyyy" || n == u"d.m.yyyy" || n == u"dd.mm.yy" || n == u"d.m.yy")
        return DateDayMonthYearDots;
    // A pattern: the day, month and year once each, one separator between them, then perhaps a
    // time ("MM-dd-yyyy", "d.M.yy", "yyyy/MM/dd HH:mm"). The dates are read with any separator.
    static const QRegularExpression kPattern(
        QStringLiteral("^(yyyy|yy|MM|M|dd|d)([-/. ])(yyyy|yy|MM|M|dd|d)\\2(yyyy|yy|MM|M|dd|d)"
                       "(?:[ T](?:HH|H|hh|h):mm(?::ss(?:\\.z+)?)?(?: ?(?:AP|ap|A|a))?)?$"));
    const QRegularExpressionMatch match = kPattern.match(name.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    QString order;
    for (int part = 1; part <= 4; part += part == 1 ? 2 : 1) {
        const QChar c = match.captured(part).front();
        if (order.contains(c))
            return std::nullopt;
        order += c;
    }
    if (order == u"yMd" && match.captured(1) == u"yyyy")
        return DateIso;
    if (order == u"Mdy")
        return DateMonthDayYear;
    if (order == u"dMy")
        return match.captured(2) == u"." ? DateDayMonthYearDots : DateDayMonthYear;
    return std::nullopt;
}

namespace {

// A day written as three runs of digits with the same separator twice ("10-24-2012", "24.10.12",
// "2012/10/24"), and what follows it; false when the text does not start so.
bool SplitDay(QStringView text, QStringView (&parts)[3], QStringView& rest) {
    qsizetype i = 0;
    QChar separator;
    for (int part = 0; part < 3; ++part) {
        const qsizetype start = i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        if (i == start)
            return false;
        parts[part] = text.sliced(start, i - start);
        if (part == 2)
            break;
        if (i >= text.size())
            return false;
        const QChar c = text[i];
        if (part == 0) {
            if (c != u'-' && c != u'/' && c != u'.' && c != u' ')
                return false;
            separator = c;
        } else if (c != separator) {
            return false;
        }
        ++i;
    }
    rest = text.sliced(i);
    // A time follows after a space or a 'T'; a date ends here otherwise.
    return rest.isEmpty() || rest.front() == u' ' || rest.front() == u'T';
}

} // namespace

std::optional<CImportMapping::LocalTime> CImportMapping::ParseDate(const QString& input, DateFormat format,
                                                                   CImportProblem* problem) {
    const QStringView text = QStringView(input).trimmed();
    // The common case, a plain ISO day, at once.
    if (format == DateIso && text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        const int y = Digits(text.first(4));
        const int m = Digits(text.sliced(5, 2));
        const int d = Digits(text.sliced(8, 2));
        if (y >= kFirstStoredYear && m >= 1 && m <= 12 && d >= 1 && QDate::isValid(y, m, d))
            return LocalTime{QDate(y, m, d), QTime(12, 0)};
    }
    auto fail = [&](CImportProblem::Code code) -> std::optional<LocalTime> {
        if (problem) {
            problem->code = code;
            problem->field = FieldDate;
            problem->value = text.toString();
            problem->dateFormat = format;
        }
        return std::nullopt;
    };
    QDate date;
    QStringView timePart;
    QStringView parts[3];
    QStringView rest;
    const bool split = SplitDay(text, parts, rest);
    if (format == DateIso && !(split && parts[0].size() == 4)) {
        // The date, then an optional time after a space or a 'T'.
        qsizetype at = text.indexOf(u' ');
        const qsizetype t = text.indexOf(u'T');
        if (t > 0 && (at < 0 || t < at))
            at = t;
        const QStringView datePart = at < 0 ? text : text.left(at);
        timePart = at < 0 ? QStringView() : text.mid(at + 1).trimmed();
        IsoDayError why = IsoDayError::None;
        date = ParseIsoDay(datePart, &why).value_or(QDate());
        if (why == IsoDayError::OutOfRange)
            return fail(CImportProblem::DateOutOfRange);
        if (!date.isValid())
            return fail(CImportProblem::BadDate);
    } else {
        // Any separator: "10-24-2012" and "10/24/2012" are the same day. The year comes first
        // only in the year-first form, and then with four digits.
        if (!split || parts[0].size() > (format == DateIso ? 4 : 2) || parts[1].size() > 2 ||
            (format == DateIso ? parts[2].size() > 2 : parts[2].size() < 2))
            return fail(CImportProblem::BadDate);
        timePart = rest.trimmed();
        if (timePart.startsWith(u'T'))
            timePart = timePart.sliced(1);
        const int yearAt = format == DateIso ? 0 : 2;
        const int monthAt = format == DateIso ? 1 : format == DateMonthDayYear ? 0 : 1;
        const int dayAt = format == DateIso ? 2 : format == DateMonthDayYear ? 1 : 0;
        int y = Digits(parts[yearAt]);
        const int m = Digits(parts[monthAt]);
        const int d = Digits(parts[dayAt]);
        if (y < 0 || m < 0 || d < 0 || m > 12 || d > 31)
            return fail(CImportProblem::BadDate);
        if (parts[yearAt].size() == 2)
            y = CenturyOf(y);
        if (y < kFirstStoredYear || y > kLastStoredYear)
            return fail(CImportProblem::DateOutOfRange);
        date = QDate(y, m, d);
        if (!date.isValid())
            return fail(CImportProblem::BadDate);
    }
    QTime time(12, 0);
    if (!timePart.isEmpty()) {
        time = ParseTime(timePart.toString());
        if (!time.isValid())
            return fail(CImportProblem::BadDate);
    }
    return LocalTime{date, time};
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

CImportMapping::Detection CImportMapping::Detect(const QStringList& dates, const QStringList& numbers) {
    Detection detection;
    int commaVotes = 0;
    int pointVotes = 0;
    static const QRegularExpression kDecimalComma(QStringLiteral("^-?[\\d.]*\\d,(\\d{1,2}|\\d{4,})$"));
    static const QRegularExpression kDecimalPoint(QStringLiteral("^-?[\\d,]*\\d\\.(\\d{1,2}|\\d{4,})$"));
    static const QRegularExpression kNoise(QStringLiteral("[\\s\\p{Sc}']"));
    for (QString value : numbers) {
        value.remove(kNoise);
        if (kDecimalComma.match(value).hasMatch())
            ++commaVotes;
        else if (kDecimalPoint.match(value).hasMatch())
            ++pointVotes;
    }
    detection.decimalComma = commaVotes > pointVotes;
    if (dates.isEmpty())
        return detection;
    // How many dates each format reads; a few bad dates do not hide the format of the rest.
    int fits[DateFormatCount] = {};
    for (const QString& date : dates) {
        for (int f = 0; f < DateFormatCount; ++f) {
            // The dotted form is the day-first one as written with dots.
            if (f == DateDayMonthYearDots && !date.contains(u'.'))
                continue;
            if (ParseDate(date, static_cast<DateFormat>(f), nullptr))
                ++fits[f];
        }
    }
    const int best = *std::max_element(std::begin(fits), std::end(fits));
    detection.dateUnknown = best * 2 < dates.size();
    if (best == 0 || fits[DateIso] == best) {
        detection.dateFormat = DateIso;
    } else if (fits[DateDayMonthYearDots] == best) {
        detection.dateFormat = DateDayMonthYearDots;
    } else if (fits[DateMonthDayYear] == best && fits[DateDayMonthYear] == best) {
        detection.dateAmbiguous = true;
        const QString order = QLocale().dateFormat(QLocale::ShortFormat).toLower();
        detection.dateFormat =
            order.indexOf(u'd') < order.indexOf(u'm') ? DateDayMonthYear : DateMonthDayYear;
    } else {
        detection.dateFormat = fits[DateDayMonthYear] == best ? DateDayMonthYear : DateMonthDayYear;
    }
    return detection;
}

// One row's fields read as the mapping says; the first problem met stops the reading.
class CImportMapping::RowReader {
public:
    RowReader(const CImportMapping& mapping, const QStringList& fields, CImportProblem& problem)
        : m_Mapping(mapping), m_Fields(fields), m_Problem(problem) {}

    // The file's distances in the user's unit: what one of them is.
    double distanceFactor = 1.0;

    QString Value(Field field) const { return m_Mapping.Value(m_Fields, field); }
    const QStringList& Fields() const { return m_Fields; }
    CImportProblem& Problem() { return m_Problem; }
    bool Ok() const { return m_Ok; }

    bool Fault(CImportProblem::Code code, Field field, const QString& value) {
        m_Problem.code = code;
        m_Problem.field = field;
        m_Problem.column = m_Mapping.Column(field);
        m_Problem.columnName = m_Mapping.m_Header.value(m_Problem.column).trimmed();
        m_Problem.value = value;
        return m_Ok = false;
    }
    bool Missing(Field field) { return Fault(CImportProblem::Missing, field, QString()); }

    // A number of the field: 0 and the problem when it cannot be read; empty is 0 unless the
    // value is required.
    double Number(Field field, bool required, bool allowNegative) {
        if (!m_Ok)
            return 0.0;
        const QString text = Value(field);
        if (text.isEmpty()) {
            if (required)
                Missing(field);
            return 0.0;
        }
        const std::optional<double> value = ParseNumber(text, m_Mapping.decimalComma);
        if (!value)
            Fault(CImportProblem::BadNumber, field, text);
        else if (*value < 0 && !allowNegative)
            Fault(CImportProblem::Negative, field, text);
        else if (std::fabs(*value) > kLargestNumber)
            Fault(CImportProblem::TooLarge, field, text);
        return m_Ok ? *value : 0.0;
    }

    // A value worked out from others is held to the same limit as one read.
    bool WorkedOut(Field field, double value) {
        if (std::fabs(value) > kLargestNumber)
            return Fault(CImportProblem::TooLarge, field, QString::number(value, 'g', 10));
        return true;
    }

    bool Odometer(Field field, LONG& out) {
        const QString text = Value(field);
        if (text.isEmpty())
            return Missing(field);
        const std::optional<double> value = ParseNumber(text, m_Mapping.decimalComma);
        if (!value)
            return Fault(CImportProblem::BadNumber, field, text);
        if (*value < 0)
            return Fault(CImportProblem::Negative, field, text);
        const double rounded = std::round(*value * distanceFactor);
        if (rounded > static_cast<double>(std::numeric_limits<LONG>::max()))
            return Fault(CImportProblem::OdometerTooLarge, field,
                         distanceFactor == 1.0 ? text
                                               : QStringLiteral("%1 (%2 %3)")
                                                     .arg(text, QString::number(rounded, 'f', 0),
                                                          UnitName(AsFileUnit(m_Mapping.userDistance))));
        out = static_cast<LONG>(rounded);
        return true;
    }

private:
    const CImportMapping& m_Mapping;
    const QStringList& m_Fields;
    CImportProblem& m_Problem;
    bool m_Ok = true;
};

bool CImportMapping::Convert(const QStringList& fields, CImportRow& row, CImportProblem& problem) const {
    row = CImportRow();
    problem = CImportProblem();
    RowReader read(*this, fields, problem);
    read.distanceFactor = DistanceFactor(RowDistance(fields), userDistance);
    row.vehicle = read.Value(FieldVehicle);
    if (m_CurrencyColumn >= 0)
        row.currency = fields.value(m_CurrencyColumn).trimmed();
    if (m_Kind == KindVehicles || (m_Kind == KindOwn && IsVehicleType(read.Value(FieldType))))
        return ConvertVehicle(read, row) && (m_Kind != KindVehicles || VehicleDetails(fields, row));
    if (!ConvertDate(read, row) || (!WithoutReadings() && !read.Odometer(FieldOdometer, row.odometer)))
        return false;
    row.vendor = read.Value(FieldVendor);
    row.name = read.Value(FieldDescription);
    row.notes = read.Value(FieldNotes);

    switch (m_Kind) {
    case KindOwn:
        return ConvertOwn(read, row);
    case KindFuelLog:
        return ConvertFuel(read, row);
    case KindServiceLog:
        row.type = serviceType;
        row.amount = static_cast<float>(read.Number(FieldAmount, false, true));
        return read.Ok();
    case KindVehicles:
    case KindSkipped:
        break;
    }
    return true;
}

bool CImportMapping::ConvertVehicle(RowReader& read, CImportRow& row) const {
    // A row that names a vehicle: a table of vehicles, or a vehicle of our own export that has no
    // entries. Its odometer, when it has one, is the vehicle's current reading.
    row.vehicleOnly = true;
    if (row.vehicle.trimmed().isEmpty())
        return read.Missing(FieldVehicle);
    if (!read.Value(FieldOdometer).isEmpty() && !read.Odometer(FieldOdometer, row.odometer)) {
        // Another program's list of vehicles is read for their names; a reading that is not one
        // is left out.
        if (m_Kind == KindOwn)
            return false;
        read.Problem() = CImportProblem();
        row.odometer = 0;
    }
    return true;
}

bool CImportMapping::ConvertDate(RowReader& read, CImportRow& row) const {
    QString dateText = read.Value(FieldDate);
    if (dateText.isEmpty())
        return read.Missing(FieldDate);
    if (const QString time = read.Value(FieldTime); !time.isEmpty())
        dateText += u' ' + time;
    const std::optional<LocalTime> when = ParseDate(dateText, dateFormat, &read.Problem());
    if (!when) {
        read.Problem().column = Column(FieldDate);
        read.Problem().columnName = m_Header.value(read.Problem().column).trimmed();
        return false;
    }
    // In the first and last stored years the zone can push the moment past what the file holds.
    static const qint64 kSecondYear = QDate(kFirstStoredYear + 1, 1, 1).toJulianDay();
    static const qint64 kLastYear = QDate(kLastStoredYear, 1, 1).toJulianDay();
    if (when->date.toJulianDay() < kSecondYear || when->date.toJulianDay() >= kLastYear) {
        const QDateTime moment(when->date, when->time);
        if (moment < FirstStoredMoment() || moment > LastStoredMoment())
            return read.Fault(CImportProblem::DateOutOfRange, FieldDate, dateText);
    }
    row.day = when->date;
    row.date = m_Days.ToOleDate(when->date, when->time);
    return true;
}

bool CImportMapping::ConvertVolume(RowReader& read, const QStringList& fields, double& quantity,
                                   double& price) const {
    const double factor = VolumeFactor(RowVolume(fields), userVolume);
    if (factor == 1.0)
        return true;
    // A price per unit goes the other way: 3.50 a gallon is 0.9246 a litre.
    if (!read.WorkedOut(FieldQuantity, quantity * factor) || !read.WorkedOut(FieldUnitPrice, price / factor))
        return false;
    if (quantity != 0.0)
        quantity = RoundedTo(static_cast<float>(quantity * factor), kUnitDecimals);
    if (price != 0.0)
        price = RoundedTo(static_cast<float>(price / factor), kUnitDecimals + 1);
    return true;
}

std::optional<bool> CImportMapping::Flag(const RowReader& read, Field field) const {
    const QString value = read.Value(field).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    const QStringList& codes = FlagValues(field);
    if (!codes.isEmpty())
        return codes.contains(value, Qt::CaseInsensitive);
    if (CImportProfile::IsYes(value))
        return true;
    if (CImportProfile::IsNo(value))
        return false;
    return std::nullopt;
}

bool CImportMapping::VehicleDetails(const QStringList& fields, CImportRow& row) const {
    auto detail = [&](int which) {
        return fields.value(m_VehicleDetails[static_cast<std::size_t>(which)]).trimmed();
    };
    // A year that is not one is left out: the vehicle is still wanted for its name.
    const int year = DigitsValue(detail(0), 4);
    if (year >= 1800 && year <= 9999)
        row.year = year;
    row.makeModel = QStringList{detail(1), detail(2)}.join(u' ').trimmed();
    row.plate = detail(3);
    return true;
}

bool CImportMapping::ConvertOwn(RowReader& read, CImportRow& row) const {
    row.type = EntryTypeFromName(read.Value(FieldType));
    if (row.type == CEntry::EntryNone)
        return read.Fault(CImportProblem::BadType, FieldType, read.Value(FieldType));
    row.amount = static_cast<float>(read.Number(FieldAmount, false, true));
    if (row.type == CEntry::EntryTrip) {
        // The start reading travels in Quantity, the end is the odometer.
        LONG start = row.odometer;
        if (!read.Value(FieldQuantity).isEmpty() && !read.Odometer(FieldQuantity, start))
            return false;
        row.custom1 = static_cast<float>(start);
        if (read.Value(FieldUnitPrice).isEmpty()) {
            row.custom2 = static_cast<float>(row.odometer);
        } else {
            LONG end = 0;
            if (!read.Odometer(FieldUnitPrice, end))
                return false;
            row.custom2 = static_cast<float>(end);
        }
        return read.Ok();
    }
    double quantity = read.Number(FieldQuantity, row.type == CEntry::EntryFuel, false);
    double price = read.Number(FieldUnitPrice, false, false);
    if (read.Ok() && row.type == CEntry::EntryFuel && !ConvertVolume(read, read.Fields(), quantity, price))
        return false;
    // A fill-up without its total or its price per unit: worked out as in a fuel log.
    if (read.Ok() && row.type == CEntry::EntryFuel) {
        if (read.Value(FieldAmount).isEmpty()) {
            if (!read.WorkedOut(FieldAmount, quantity * price))
                return false;
            row.amount = RoundedMoney(static_cast<float>(quantity * price));
        } else if (read.Value(FieldUnitPrice).isEmpty() && quantity > 0) {
            if (!read.WorkedOut(FieldUnitPrice, row.amount / quantity))
                return false;
            price = RoundedTo(static_cast<float>(row.amount / quantity), kUnitDecimals);
        }
    }
    row.custom1 = static_cast<float>(quantity);
    row.custom2 = static_cast<float>(price);
    if (row.type == CEntry::EntryFuel)
        ReadFillFlags(read, row);
    return read.Ok();
}

bool CImportMapping::ConvertFuel(RowReader& read, CImportRow& row) const {
    row.type = CEntry::EntryFuel;
    double quantity = read.Number(FieldQuantity, false, false);
    double price = read.Number(FieldUnitPrice, false, false);
    double total = read.Number(FieldAmount, false, true);
    if (!read.Ok())
        return false;
    const bool haveQuantity = !read.Value(FieldQuantity).isEmpty();
    const bool haveTotal = !read.Value(FieldAmount).isEmpty();
    const bool havePrice = !read.Value(FieldUnitPrice).isEmpty();
    if (!haveTotal && !havePrice)
        return read.Missing(FieldAmount);
    // In the user's units before anything is worked out from them.
    if (!ConvertVolume(read, read.Fields(), quantity, price))
        return false;
    // What is worked out is rounded as the user would write it: money to the currency's places, a
    // quantity and a price per unit to three, as pumps show them.
    if (!haveQuantity) {
        // What was paid at what price tells how much.
        if (!haveTotal || !havePrice || price <= 0)
            return read.Missing(FieldQuantity);
        if (!read.WorkedOut(FieldQuantity, total / price))
            return false;
        quantity = RoundedTo(static_cast<float>(total / price), kUnitDecimals);
    }
    if (!haveTotal) {
        if (!read.WorkedOut(FieldAmount, quantity * price))
            return false;
        total = RoundedMoney(static_cast<float>(quantity * price));
    } else if (!havePrice && quantity > 0) {
        if (!read.WorkedOut(FieldUnitPrice, total / quantity))
            return false;
        price = RoundedTo(static_cast<float>(total / quantity), kUnitDecimals);
    }
    row.custom1 = static_cast<float>(quantity);
    row.custom2 = static_cast<float>(price);
    row.amount = static_cast<float>(total);
    ReadFillFlags(read, row);
    return true;
}

void CImportMapping::ReadFillFlags(RowReader& read, CImportRow& row) const {
    // A fill-type code may say a missed fill-up rather than a partial one.
    const bool missedCode = !m_MissedCodes.isEmpty() &&
                            m_MissedCodes.contains(read.Value(FieldPartial).trimmed(), Qt::CaseInsensitive);
    if (Flag(read, FieldPartial) == true || Flag(read, FieldFull) == false)
        row.fillFlags |= CDataLayer::FillPartial;
    if (Flag(read, FieldMissed) == true || missedCode)
        row.fillFlags |= CDataLayer::FillMissed;
    row.partial = row.fillFlags != 0;
}
