#include "exchange/ImportValues.h"

#include "exchange/CImportProblem.h"

#include "core/DecimalText.h"
#include "core/ParseIsoDay.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

namespace ImportValues {

using enum CImportFields::Field;
using enum CImportFields::DateFormat;
using DateFormat = CImportFields::DateFormat;

bool IsVehicleType(const QString& type) {
    return type.trimmed().compare(QLatin1String("Vehicle"), Qt::CaseInsensitive) == 0;
}

namespace {

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

} // namespace

QString NormaliseHeader(const QString& text) {
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
std::optional<double> ParseNumber(const QString& input, bool decimalComma) {
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

QString DateFormatName(DateFormat format) {
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

std::optional<DateFormat> DateFormatFromName(const QString& name) {
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

std::optional<LocalTime> ParseDate(const QString& input, DateFormat format, CImportProblem* problem) {
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
Detection Detect(const QStringList& dates, const QStringList& numbers) {
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
    int fits[CImportFields::DateFormatCount] = {};
    for (const QString& date : dates) {
        for (int f = 0; f < CImportFields::DateFormatCount; ++f) {
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

} // namespace ImportValues
