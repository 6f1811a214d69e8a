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
    return mapping;
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
    } else if (fuelSign || (profile && profile->Kind() == KindFuelLog)) {
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
        return Column(FieldDate) >= 0 && Column(FieldOdometer) >= 0;
    }
}

CImportProblem CImportMapping::Problem() const {
    CImportProblem problem;
    if (m_Kind == KindSkipped)
        problem.code = CImportProblem::NoPlace;
    else if (m_Kind == KindVehicles && Column(FieldVehicle) < 0)
        problem.code = CImportProblem::NoVehicleColumn;
    else if (m_Kind != KindVehicles && Column(FieldDate) < 0)
        problem.code = CImportProblem::NoDateColumn;
    else if (m_Kind != KindVehicles && Column(FieldOdometer) < 0)
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
    return std::nullopt;
}

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
    // The date, then an optional time after a space or a 'T'.
    qsizetype split = text.indexOf(u' ');
    if (format == DateIso) {
        const qsizetype t = text.indexOf(u'T');
        if (t > 0 && (split < 0 || t < split))
            split = t;
    }
    const QStringView datePart = split < 0 ? text : text.left(split);
    const QStringView timePart = split < 0 ? QStringView() : text.mid(split + 1).trimmed();
    QDate date;
    if (format == DateIso) {
        IsoDayError why = IsoDayError::None;
        date = ParseIsoDay(datePart, &why).value_or(QDate());
        if (why == IsoDayError::OutOfRange)
            return fail(CImportProblem::DateOutOfRange);
        if (!date.isValid())
            return fail(CImportProblem::BadDate);
    } else {
        const auto parts = datePart.split(format == DateDayMonthYearDots ? u'.' : u'/');
        if (parts.size() != 3 || parts[0].size() > 2 || parts[1].size() > 2)
            return fail(CImportProblem::BadDate);
        const bool monthFirst = format == DateMonthDayYear;
        int y = Digits(parts[2]);
        const int m = Digits(parts[monthFirst ? 0 : 1]);
        const int d = Digits(parts[monthFirst ? 1 : 0]);
        if (y < 0 || m < 0 || d < 0 || m > 12 || d > 31)
            return fail(CImportProblem::BadDate);
        if (parts[2].size() == 2)
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

    QString Value(Field field) const { return m_Mapping.Value(m_Fields, field); }
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
        const double rounded = std::round(*value);
        if (rounded > static_cast<double>(std::numeric_limits<LONG>::max()))
            return Fault(CImportProblem::OdometerTooLarge, field, text);
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
    row.vehicle = read.Value(FieldVehicle);
    if (m_Kind == KindVehicles || (m_Kind == KindOwn && IsVehicleType(read.Value(FieldType))))
        return ConvertVehicle(read, row);
    if (!ConvertDate(read, row) || !read.Odometer(FieldOdometer, row.odometer))
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
        row.custom2 = read.Value(FieldUnitPrice).isEmpty()
                          ? static_cast<float>(row.odometer)
                          : static_cast<float>(read.Number(FieldUnitPrice, false, false));
        return read.Ok();
    }
    const double quantity = read.Number(FieldQuantity, row.type == CEntry::EntryFuel, false);
    double price = read.Number(FieldUnitPrice, false, false);
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
    const QString full = read.Value(FieldFull);
    if (CImportProfile::IsYes(read.Value(FieldPartial)) || (!full.isEmpty() && CImportProfile::IsNo(full)))
        row.fillFlags |= CDataLayer::FillPartial;
    if (CImportProfile::IsYes(read.Value(FieldMissed)))
        row.fillFlags |= CDataLayer::FillMissed;
    row.partial = row.fillFlags != 0;
}
