#include "core/ParseIsoDay.h"

#include "core/DecimalText.h"

std::optional<QDate> ParseIsoDay(QStringView text, IsoDayError* error) {
    auto fail = [error](IsoDayError why) -> std::optional<QDate> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    text = text.trimmed();
    const qsizetype first = text.indexOf(u'-');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u'-', first + 1);
    if (second < 0)
        return fail(IsoDayError::NotADay);
    // Nine digits of year at most, so a year past 9999 is told as out of range, not misread.
    const int year = DigitsValue(text.first(first), 9);
    const int month = DigitsValue(text.sliced(first + 1, second - first - 1), 2);
    const int day = DigitsValue(text.sliced(second + 1), 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31)
        return fail(IsoDayError::NotADay);
    if (year < kFirstStoredYear || year > kLastStoredYear)
        return fail(IsoDayError::OutOfRange);
    const QDate date(year, month, day);
    if (!date.isValid())
        return fail(IsoDayError::NotADay);
    if (error)
        *error = IsoDayError::None;
    return date;
}

QDateTime FirstStoredMoment() {
    return QDateTime(QDate(kFirstStoredYear, 1, 1), QTime(0, 0), Qt::UTC);
}

QDateTime LastStoredMoment() {
    return QDateTime(QDate(kLastStoredYear, 12, 31), QTime(23, 59, 59), Qt::UTC);
}
