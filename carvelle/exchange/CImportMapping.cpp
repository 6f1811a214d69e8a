#include "exchange/CImportMapping.h"

#include "exchange/CImportProblem.h"

#include "core/CStringTable.h"
#include "core/EntryTypeNames.h"
#include "core/LocalDates.h"
#include "core/ParseIsoDay.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

// Names are compared without case and spaces; a unit in brackets at the end is left out.
struct Alias {
    CImportMapping::Field field;
    const char* names[8];
};

const Alias kAliases[] = {
    {CImportMapping::FieldVehicle, {"vehicle", "vehiclename"}},
    {CImportMapping::FieldDate, {"date", "fuelup_date", "datetime"}},
    {CImportMapping::FieldType, {"type", "entrytype"}},
    {CImportMapping::FieldOdometer, {"odometer", "odo", "mileage"}},
    {CImportMapping::FieldQuantity,
     {"gallons", "litres", "liters", "quantity", "qty", "volume", "fuelconsumed"}},
    {CImportMapping::FieldUnitPrice, {"priceperunit", "unitprice"}},
    {CImportMapping::FieldAmount, {"cost", "totalcost", "totalprice", "amount", "total"}},
    {CImportMapping::FieldVendor, {"station", "vendor", "location"}},
    {CImportMapping::FieldDescription, {"description", "service", "item"}},
    {CImportMapping::FieldNotes, {"notes", "note"}},
    {CImportMapping::FieldPartial,
     {"partial", "partialfill", "partialfillup", "partialfuelup", "partial_fuelup"}},
    {CImportMapping::FieldMissed, {"missed", "missedfillup", "missedfuelup", "missed_fuelup"}},
};

bool Truthy(const QString& text) {
    const QString t = text.trimmed().toLower();
    return t == u"1" || t == u"true" || t == u"yes" || t == u"y" || t == u"x" || t == u"partial" ||
           t == u"missed";
}

// "12" "2024" as a number of at most nine digits; -1 otherwise.
int Digits(QStringView text) {
    if (text.isEmpty() || text.size() > 9)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
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

} // namespace

QString CImportMapping::NormaliseHeader(const QString& text) {
    QString name = text.trimmed().toLower();
    // "Odometer (km)": the unit is not part of the name.
    if (name.endsWith(u')')) {
        const qsizetype open = name.lastIndexOf(u'(');
        if (open > 0)
            name.truncate(open);
    }
    name.remove(QRegularExpression(QStringLiteral("\\s+")));
    name.remove(u'-');
    return name;
}

QString CImportMapping::FieldName(Field field) {
    const QStringList names = LoadStringResource(IDS_EXCHANGE_FIELD_NAMES).split(u'|');
    return field >= 0 && field < names.size() ? names[field] : QString();
}

QString CImportMapping::KindName(Kind kind) {
    const QStringList names = LoadStringResource(IDS_EXCHANGE_KIND_NAMES).split(u'|');
    return kind >= 0 && kind < names.size() ? names[kind] : QString();
}

CImportMapping CImportMapping::Recognise(const QStringList& header) {
    CImportMapping mapping;
    mapping.m_Columns.fill(-1);
    int price = -1;
    for (int column = 0; column < header.size(); ++column) {
        const QString name = NormaliseHeader(header[column]);
        if (name == u"price") {
            if (price < 0)
                price = column;
            continue;
        }
        for (const Alias& alias : kAliases) {
            bool match = false;
            for (const char* candidate : alias.names) {
                if (candidate && name == QLatin1String(candidate))
                    match = true;
            }
            if (match && mapping.m_Columns[alias.field] < 0)
                mapping.m_Columns[alias.field] = column;
        }
    }
    // "Price" is the total when it is the only money column, else the price per unit.
    if (price >= 0) {
        if (mapping.m_Columns[FieldAmount] < 0)
            mapping.m_Columns[FieldAmount] = price;
        else if (mapping.m_Columns[FieldUnitPrice] < 0)
            mapping.m_Columns[FieldUnitPrice] = price;
    }

    if (mapping.m_Columns[FieldType] >= 0)
        mapping.m_Kind = KindOwn;
    else if (mapping.m_Columns[FieldQuantity] >= 0)
        mapping.m_Kind = KindFuelLog;
    else
        mapping.m_Kind = KindServiceLog;

    mapping.m_Header = header;
    return mapping;
}

CImportProblem CImportMapping::Problem() const {
    CImportProblem problem;
    if (m_Columns[FieldDate] < 0)
        problem.code = CImportProblem::NoDateColumn;
    else if (m_Columns[FieldOdometer] < 0)
        problem.code = CImportProblem::NoOdometerColumn;
    if (problem.IsProblem())
        problem.value = m_Header.join(QStringLiteral(", "));
    return problem;
}

CImportMapping::Field CImportMapping::FieldOf(int column) const {
    for (int field = 0; field < FieldCount; ++field) {
        if (m_Columns[field] == column)
            return static_cast<Field>(field);
    }
    return FieldCount;
}

QString CImportMapping::Value(const QStringList& fields, Field field) const {
    const int column = m_Columns[field];
    return column >= 0 && column < fields.size() ? fields[column].trimmed() : QString();
}

std::optional<double> CImportMapping::ParseNumber(const QString& input, bool decimalComma) {
    // Currency signs and spaces (a thousands separator in many locales) carry no value.
    QString text;
    text.reserve(input.size());
    for (const QChar c : input) {
        if (!c.isSpace() && c != u'$' && c != u'\u20AC' && c != u'\u00A3' && c != u'\u00A5')
            text += c;
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
    if (n == u"m/d/yyyy" || n == u"mm/dd/yyyy" || n == u"mdy")
        return DateMonthDayYear;
    if (n == u"d/m/yyyy" || n == u"dd/mm/yyyy" || n == u"dmy")
        return DateDayMonthYear;
    if (n == u"dd.mm.yyyy" || n == u"d.m.yyyy")
        return DateDayMonthYearDots;
    return std::nullopt;
}

std::optional<CImportMapping::LocalTime> CImportMapping::ParseDate(const QString& input, DateFormat format,
                                                                   CImportProblem* problem) {
    const QString text = input.trimmed();
    auto fail = [&](CImportProblem::Code code) -> std::optional<LocalTime> {
        if (problem) {
            problem->code = code;
            problem->field = FieldDate;
            problem->value = text;
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
    const QString datePart = split < 0 ? text : text.left(split);
    const QString timePart = split < 0 ? QString() : text.mid(split + 1).trimmed();
    QDate date;
    if (format == DateIso) {
        IsoDayError why = IsoDayError::None;
        date = ParseIsoDay(datePart, &why).value_or(QDate());
        if (why == IsoDayError::OutOfRange)
            return fail(CImportProblem::DateOutOfRange);
        if (!date.isValid())
            return fail(CImportProblem::BadDate);
    } else {
        const QStringList parts = datePart.split(format == DateDayMonthYearDots ? u'.' : u'/');
        if (parts.size() != 3 || parts[0].size() > 2)
            return fail(CImportProblem::BadDate);
        const bool monthFirst = format == DateMonthDayYear;
        const int y = Digits(parts[2]);
        const int m = Digits(parts[monthFirst ? 0 : 1]);
        const int d = Digits(parts[monthFirst ? 1 : 0]);
        if (y < 0 || m < 0 || d < 0 || m > 12 || d > 31)
            return fail(CImportProblem::BadDate);
        if (y < kFirstStoredYear || y > kLastStoredYear)
            return fail(CImportProblem::DateOutOfRange);
        date = QDate(y, m, d);
        if (!date.isValid())
            return fail(CImportProblem::BadDate);
    }
    QTime time(12, 0);
    if (!timePart.isEmpty()) {
        time = ParseTime(timePart);
        if (!time.isValid())
            return fail(CImportProblem::BadDate);
    }
    return LocalTime{date, time};
}

CImportMapping::Detection CImportMapping::Detect(const QList<QStringList>& records) const {
    Detection detection;
    // How many dates each format reads; a few bad dates do not hide the format of the rest.
    int fits[DateFormatCount] = {};
    int dates = 0;
    int commaVotes = 0;
    int pointVotes = 0;
    static const QRegularExpression kDecimalComma(QStringLiteral("^-?[\\d.]*\\d,(\\d{1,2}|\\d{4,})$"));
    static const QRegularExpression kDecimalPoint(QStringLiteral("^-?[\\d,]*\\d\\.(\\d{1,2}|\\d{4,})$"));
    static const QRegularExpression kNoise(QStringLiteral("[\\s$\\x{20AC}\\x{00A3}]"));
    for (const QStringList& record : records) {
        const QString date = Value(record, FieldDate);
        if (!date.isEmpty()) {
            ++dates;
            for (int f = 0; f < DateFormatCount; ++f) {
                if (ParseDate(date, static_cast<DateFormat>(f), nullptr))
                    ++fits[f];
            }
        }
        for (Field field : {FieldQuantity, FieldUnitPrice, FieldAmount}) {
            QString value = Value(record, field);
            value.remove(kNoise);
            if (kDecimalComma.match(value).hasMatch())
                ++commaVotes;
            else if (kDecimalPoint.match(value).hasMatch())
                ++pointVotes;
        }
    }
    detection.decimalComma = commaVotes > pointVotes;
    if (dates == 0)
        return detection;
    const int best = *std::max_element(std::begin(fits), std::end(fits));
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

bool CImportMapping::Convert(const QStringList& fields, CImportRow& row, CImportProblem& problem) const {
    row = CImportRow();
    problem = CImportProblem();
    auto fault = [&](CImportProblem::Code code, Field field, const QString& value) {
        problem.code = code;
        problem.field = field;
        problem.column = m_Columns[field];
        problem.value = value;
        return false;
    };
    auto missing = [&](Field field) { return fault(CImportProblem::Missing, field, QString()); };
    // A number of the field: 0 and the problem when it cannot be read; empty is 0 unless
    // the value is required.
    bool ok = true;
    auto number = [&](Field field, bool required, bool allowNegative) -> double {
        if (!ok)
            return 0.0;
        const QString text = Value(fields, field);
        if (text.isEmpty()) {
            if (required)
                ok = missing(field);
            return 0.0;
        }
        const std::optional<double> value = ParseNumber(text, decimalComma);
        if (!value) {
            ok = fault(CImportProblem::BadNumber, field, text);
            return 0.0;
        }
        if (*value < 0 && !allowNegative) {
            ok = fault(CImportProblem::Negative, field, text);
            return 0.0;
        }
        if (std::fabs(*value) > 1e9) {
            ok = fault(CImportProblem::TooLarge, field, text);
            return 0.0;
        }
        return *value;
    };
    auto odometer = [&](Field field, LONG& out) {
        const QString text = Value(fields, field);
        if (text.isEmpty())
            return missing(field);
        const std::optional<double> value = ParseNumber(text, decimalComma);
        if (!value)
            return fault(CImportProblem::BadNumber, field, text);
        if (*value < 0)
            return fault(CImportProblem::Negative, field, text);
        const double rounded = std::round(*value);
        if (rounded > static_cast<double>(std::numeric_limits<LONG>::max()))
            return fault(CImportProblem::OdometerTooLarge, field, text);
        out = static_cast<LONG>(rounded);
        return true;
    };

    const QString dateText = Value(fields, FieldDate);
    if (dateText.isEmpty())
        return missing(FieldDate);
    const std::optional<LocalTime> when = ParseDate(dateText, dateFormat, &problem);
    if (!when) {
        problem.column = m_Columns[FieldDate];
        return false;
    }
    // In the first and last stored years the zone can push the moment past what the file holds.
    if (when->date.year() == kFirstStoredYear || when->date.year() == kLastStoredYear) {
        const QDateTime moment(when->date, when->time);
        if (moment < FirstStoredMoment() || moment > LastStoredMoment())
            return fault(CImportProblem::DateOutOfRange, FieldDate, dateText);
    }
    row.day = when->date;
    row.date = m_Days.ToOleDate(when->date, when->time);
    if (!odometer(FieldOdometer, row.odometer))
        return false;
    row.vehicle = Value(fields, FieldVehicle);
    row.vendor = Value(fields, FieldVendor);
    row.name = Value(fields, FieldDescription);
    row.notes = m_Columns[FieldNotes] >= 0 && m_Columns[FieldNotes] < fields.size()
                    ? fields[m_Columns[FieldNotes]]
                    : QString();

    switch (m_Kind) {
    case KindOwn: {
        row.type = EntryTypeFromName(Value(fields, FieldType));
        if (row.type == CEntry::EntryNone)
            return fault(CImportProblem::BadType, FieldType, Value(fields, FieldType));
        row.amount = static_cast<float>(number(FieldAmount, false, true));
        if (row.type == CEntry::EntryTrip) {
            // The start reading travels in Quantity, the end is the odometer.
            LONG start = row.odometer;
            if (!Value(fields, FieldQuantity).isEmpty() && !odometer(FieldQuantity, start))
                return false;
            row.custom1 = static_cast<float>(start);
            row.custom2 = Value(fields, FieldUnitPrice).isEmpty()
                              ? static_cast<float>(row.odometer)
                              : static_cast<float>(number(FieldUnitPrice, false, false));
        } else {
            row.custom1 = static_cast<float>(number(FieldQuantity, row.type == CEntry::EntryFuel, false));
            row.custom2 = static_cast<float>(number(FieldUnitPrice, false, false));
        }
        break;
    }
    case KindFuelLog: {
        row.type = CEntry::EntryFuel;
        const double quantity = number(FieldQuantity, true, false);
        double price = number(FieldUnitPrice, false, false);
        double total = number(FieldAmount, false, true);
        if (!ok)
            return false;
        const bool haveTotal = !Value(fields, FieldAmount).isEmpty();
        const bool havePrice = !Value(fields, FieldUnitPrice).isEmpty();
        if (!haveTotal && !havePrice)
            return missing(FieldAmount);
        if (!haveTotal)
            total = quantity * price;
        else if (!havePrice && quantity > 0)
            price = total / quantity;
        row.custom1 = static_cast<float>(quantity);
        row.custom2 = static_cast<float>(price);
        row.amount = static_cast<float>(total);
        QStringList marks;
        if (Truthy(Value(fields, FieldPartial)))
            marks << LoadStringResource(IDS_PARTIAL_FILL_UP);
        if (Truthy(Value(fields, FieldMissed)))
            marks << LoadStringResource(IDS_MISSED_FILL_UP);
        if (!marks.isEmpty()) {
            if (!row.notes.isEmpty())
                marks << row.notes;
            row.notes = marks.join(u'\n');
        }
        break;
    }
    case KindServiceLog:
        row.type = serviceType;
        row.amount = static_cast<float>(number(FieldAmount, false, true));
        break;
    }
    return ok;
}
