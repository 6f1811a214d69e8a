#include "core/DecimalText.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

QString DecimalSeparator() {
    const QString separator = QLocale().decimalPoint();
    return separator.isEmpty() ? QStringLiteral(".") : separator;
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The typed text as plain ASCII between its blanks; empty when there is nothing else.
std::string Trimmed(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(end - begin));
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7F)
            return {}; // nothing outside ASCII belongs to a number
        ascii.push_back(static_cast<char>(c));
    }
    return ascii;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<float> ParseDecimalText(const QString& text) {
    if (text.size() > kMaxNumberLength)
        return std::nullopt;
    // The first of the locale's separators becomes "."; a text with "." already stays readable.
    QString typed = text;
    const QString separator = DecimalSeparator();
    if (separator != QStringLiteral(".")) {
        const qsizetype at = typed.indexOf(separator);
        if (at >= 0)
            typed.replace(at, separator.size(), QStringLiteral("."));
    }
    const std::string number = Trimmed(typed);
    const char* begin = number.data();
    const char* const end = begin + number.size();
    const char first = begin != end ? *begin : '\0';
    if (begin != end && (*begin == '+' || *begin == '-'))
        ++begin;
    // Only digits or a point may follow the sign: no "inf", "nan" or a second sign.
    if (begin == end || !(IsDigit(*begin) || *begin == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    if (first == '-')
        value = -value;
    // A zero counts only when it is typed as one.
    if (value == 0.0)
        return first == '0' ? std::optional<float>(0.0f) : std::nullopt;
    const auto single = static_cast<float>(value);
    if (!std::isfinite(single) || single == 0.0f)
        return std::nullopt;
    return single;
}

QString FormatDecimalText(float value) {
    // "-0" would be refused when read back.
    if (value == 0.0f)
        value = 0.0f;
    char buffer[64];
    const float magnitude = std::fabs(value);
    // Plain digits for everyday amounts; an exponent where they would run long.
    const auto format = (magnitude == 0.0f || (magnitude >= 1e-5f && magnitude < 1e16f))
                            ? std::chars_format::fixed
                            : std::chars_format::general;
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, format);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    const QString separator = DecimalSeparator();
    const qsizetype point = text.indexOf(u'.');
    // A separator that would make the text too long to read back leaves the ".".
    if (point >= 0 && separator != QStringLiteral(".") &&
        text.size() - 1 + separator.size() <= kMaxNumberLength)
        text.replace(point, 1, separator);
    return text;
}

std::optional<LONG> ParseIntegerText(const QString& text) {
    if (text.size() > kMaxNumberLength)
        return std::nullopt;
    const std::string number = Trimmed(text);
    const char* begin = number.data();
    const char* const end = begin + number.size();
    // An optional minus, then digits alone.
    const char* digits = begin != end && *begin == '-' ? begin + 1 : begin;
    if (digits == end || !IsDigit(*digits))
        return std::nullopt;
    LONG value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, 10);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

QString FormatIntegerText(LONG value) {
    return QString::number(value);
}

int CurrencyDecimals() {
    const QLocale locale;
    // The locale's own money format tells its places; the symbol is left out of the count.
    const QString text = locale.toCurrencyString(1.0, QStringLiteral(" "));
    const qsizetype point = text.lastIndexOf(locale.decimalPoint());
    if (point < 0)
        return 0;
    int places = 0;
    for (qsizetype i = point + locale.decimalPoint().size(); i < text.size() && text[i].isDigit(); ++i)
        ++places;
    return places;
}

float RoundedTo(float value, int decimals) {
    if (!std::isfinite(value))
        return 0.0f;
    const double scale = std::pow(10.0, decimals);
    const auto rounded = static_cast<float>(std::round(static_cast<double>(value) * scale) / scale);
    return std::isfinite(rounded) ? rounded : 0.0f;
}

float RoundedMoney(float value) {
    return RoundedTo(value, CurrencyDecimals());
}

int DigitsValue(QStringView text, qsizetype maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}
