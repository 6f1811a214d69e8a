#include "core/LocalDates.h"

#include "platform/SystemTime.h"
#include "records/CEntryFilter.h"

#include <QLocale>

#include <QList>

#include <climits>
#include <cmath>
#include <ctime>

QDateTime SystemTimeToLocal(const SYSTEMTIME& utc) {
    const QDate date(utc.wYear, utc.wMonth, utc.wDay);
    const QTime time(utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC).toLocalTime();
}

SYSTEMTIME LocalToSystemTime(const QDateTime& local) {
    SYSTEMTIME st{};
    if (!local.isValid())
        return st;
    const QDateTime utc = local.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    st.wYear = static_cast<WORD>(date.year());
    st.wMonth = static_cast<WORD>(date.month());
    st.wDayOfWeek = static_cast<WORD>(date.dayOfWeek() % 7); // Sunday is 0
    st.wDay = static_cast<WORD>(date.day());
    st.wHour = static_cast<WORD>(time.hour());
    st.wMinute = static_cast<WORD>(time.minute());
    st.wSecond = static_cast<WORD>(time.second());
    st.wMilliseconds = static_cast<WORD>(time.msec());
    return st;
}

double NowAsOleDate() {
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    double now = 0.0;
    SystemTimeToVariantTime(&utc, &now);
    return now;
}

QDateTime OleDateToLocal(double oleDate) {
    SYSTEMTIME utc{};
    if (!VariantTimeToSystemTime(oleDate, &utc))
        return QDateTime();
    return SystemTimeToLocal(utc);
}

double LocalToOleDate(const QDateTime& local) {
    if (!local.isValid())
        return 0.0;
    const SYSTEMTIME utc = LocalToSystemTime(local);
    double oleDate = 0.0;
    return SystemTimeToVariantTime(&utc, &oleDate) ? oleDate : 0.0;
}

QString ShortDateText(double oleDate) {
    const QDateTime local = OleDateToLocal(oleDate);
    return local.isValid() ? QLocale().toString(local.date(), QLocale::ShortFormat) : QString();
}

QString ShortDateText(const SYSTEMTIME& utc) {
    const QDateTime local = SystemTimeToLocal(utc);
    return local.isValid() ? QLocale().toString(local.date(), QLocale::ShortFormat) : QString();
}

namespace {

// The words the format quotes, such as the "г" of "d.MM.yy 'г'.", one after the other.
QString QuotedWords(const QString& format) {
    QString words;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (quoted)
            words += c;
        else
            words += u' ';
    }
    return words;
}

// The order of day, month and year in the locale's short format: "dMy", "Mdy" or "ydM" and so on.
QString FieldOrder(const QString& format) {
    QString order;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c == u'd' || c == u'M' || c == u'y') && !order.contains(c))
            order += c;
    }
    return order.size() == 3 ? order : QStringLiteral("Mdy");
}

int NearestYear(int twoDigits, int thisYear) {
    const int century = thisYear - thisYear % 100;
    int best = century - 100 + twoDigits;
    for (const int candidate : {century + twoDigits, century + 100 + twoDigits}) {
        if (std::abs(candidate - thisYear) < std::abs(best - thisYear))
            best = candidate;
    }
    return best;
}

} // namespace

namespace {

// The month a word names in the locale, long or short ("Jun", "June"); 0 for none.
int MonthNamed(const QLocale& locale, const QString& word) {
    for (int month = 1; month <= 12; ++month) {
        for (const QLocale::FormatType form : {QLocale::LongFormat, QLocale::ShortFormat}) {
            QString name = locale.monthName(month, form);
            if (name.endsWith(u'.'))
                name.chop(1);
            if (!name.isEmpty() && name.compare(word, Qt::CaseInsensitive) == 0)
                return month;
        }
    }
    return 0;
}

} // namespace

QDate ParseTypedDate(const QString& text, const QDate& today) {
    const QLocale locale;
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QString literals = QuotedWords(format);
    // The numbers of the text and, where the locale writes it so, a month name; other words
    // only as far as the format spells them ("30.06.27 г."). Punctuation and spaces between.
    QList<QString> numbers;
    int namedMonth = 0;
    QString run;
    QString word;
    const auto endWord = [&]() {
        if (word.isEmpty())
            return true;
        const int month = MonthNamed(locale, word);
        const bool literal = literals.contains(word, Qt::CaseInsensitive);
        word.clear();
        if (month != 0 && namedMonth == 0) {
            namedMonth = month;
            numbers.append(QString()); // the month's place among the fields
            return true;
        }
        return literal;
    };
    for (const QChar c : text) {
        if (c.isDigit()) {
            if (!endWord())
                return QDate();
            run += QChar(static_cast<char16_t>(u'0' + c.digitValue()));
            continue;
        }
        if (!run.isEmpty())
            numbers.append(run);
        run.clear();
        if (c.isLetter() || c.isMark())
            word += c;
        else if (!endWord())
            return QDate();
    }
    if (!run.isEmpty())
        numbers.append(run);
    if (!endWord() || numbers.size() != 3)
        return QDate();

    QString order = FieldOrder(format);
    if (numbers[0].size() == 4 && !order.startsWith(u'y'))
        order = QStringLiteral("yMd");
    int day = 0;
    int month = namedMonth;
    int year = 0;
    for (int i = 0; i < 3; ++i) {
        const QString& digits = numbers[i];
        if (digits.isEmpty() != (order[i] == u'M' && namedMonth != 0))
            return QDate(); // a month name where the format has no month, or a number in its place
        const int value = digits.toInt();
        switch (order[i].unicode()) {
        case u'd':
            if (digits.size() > 2)
                return QDate();
            day = value;
            break;
        case u'M':
            if (digits.size() > 2)
                return QDate();
            if (namedMonth == 0)
                month = value;
            break;
        default:
            if (digits.size() == 4)
                year = value;
            else if (digits.size() == 2 && today.isValid())
                year = NearestYear(value, today.year());
            else
                return QDate();
        }
    }
    const QDate typed(year, month, day);
    return typed.isValid() && typed.year() >= 1900 ? typed : QDate();
}

QDate LocalDayToday() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return QDate(now.wYear, now.wMonth, now.wDay);
}

QDate FilterRangeDay(const CEntryFilter& filter, const SYSTEMTIME& date) {
    const int type = filter.GetDateRangeType();
    if (type > CEntryFilter::DateRangeAll && type < CEntryFilter::DateRangeCustom)
        return QDate(date.wYear, date.wMonth, date.wDay);
    const QDateTime local = SystemTimeToLocal(date);
    return local.isValid() ? local.date() : QDate();
}

QDateTime EndOfLocalDay(const QDate& day) {
    const QDateTime end(day, QTime(23, 59, 59));
    if (end.isValid())
        return end;
    const QDateTime last = day.endOfDay();
    return last.addMSecs(-last.time().msec());
}

namespace {

// 30 December 1899, day 0 of OLE dates.
const qint64 kOleEpochJulian = QDate(1899, 12, 30).toJulianDay();
constexpr int kMixed = INT_MIN; // the clocks change within the week
constexpr long long kSecondsPerDay = 86400;
constexpr long long kSecondsPerWeek = 7 * kSecondsPerDay;
constexpr long long kUnixEpochOle = 25569; // 1 January 1970 as an OLE day
const qint64 kUnixEpochJulian = QDate(1970, 1, 1).toJulianDay();

long long FloorDiv(long long value, long long divisor) {
    const long long quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

} // namespace

std::optional<int> CLocalDays::OffsetAt(long long utcSeconds) {
    // Qt converts through the same C library call but re-reads the zone before each one.
    if (!m_ZoneRead) {
        tzset();
        m_ZoneRead = true;
    }
    const auto t = static_cast<time_t>(utcSeconds);
    tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return std::nullopt;
    return static_cast<int>(local.tm_gmtoff);
}

// A week's end is the next one's start: each is asked once.
std::optional<int> CLocalDays::OffsetAtWeekStart(long long week) {
    auto found = m_WeekStarts.find(week);
    if (found == m_WeekStarts.end())
        found = m_WeekStarts.emplace(week, OffsetAt(week * kSecondsPerWeek)).first;
    return found->second;
}

QDate CLocalDays::Day(double oleDate) {
    // Before 1900 OLE dates count the time of day oddly; the full conversion handles them.
    if (!std::isfinite(oleDate) || oleDate < 1.0 || oleDate > 2958466.0) {
        const QDateTime local = OleDateToLocal(oleDate);
        return local.isValid() ? local.date() : QDate();
    }
    const long long utc = std::llround(oleDate * kSecondsPerDay) - kUnixEpochOle * kSecondsPerDay;
    const long long week = FloorDiv(utc, kSecondsPerWeek);
    int offset = 0;
    if (m_HaveLast && week == m_LastWeek) {
        offset = m_LastOffset;
    } else {
        auto found = m_UtcWeeks.find(week);
        if (found == m_UtcWeeks.end()) {
            const std::optional<int> start = OffsetAtWeekStart(week);
            const std::optional<int> end = OffsetAtWeekStart(week + 1);
            found = m_UtcWeeks.emplace(week, start && end && *start == *end ? *start : kMixed).first;
        }
        offset = found->second;
        m_LastWeek = week;
        m_LastOffset = offset;
        m_HaveLast = true;
    }
    if (offset == kMixed) {
        const std::optional<int> exact = OffsetAt(utc);
        if (!exact) {
            const QDateTime local = OleDateToLocal(oleDate);
            return local.isValid() ? local.date() : QDate();
        }
        offset = *exact;
    }
    return QDate::fromJulianDay(kUnixEpochJulian + FloorDiv(utc + offset, kSecondsPerDay));
}

std::optional<int> CLocalDays::OffsetAtLocalMidnight(qint64 julian) {
    auto [found, added] = m_LocalMidnights.try_emplace(julian);
    if (added) {
        const QDateTime midnight(QDate::fromJulianDay(julian), QTime(0, 0));
        if (midnight.isValid())
            found->second = midnight.offsetFromUtc();
    }
    return found->second;
}

double CLocalDays::ToOleDate(const QDate& day, const QTime& time) {
    if (!day.isValid() || !time.isValid())
        return 0.0;
    if (day.year() < 1900)
        return LocalToOleDate(QDateTime(day, time));
    const qint64 julian = day.toJulianDay();
    // Four weeks at a time: the clocks change at most once in that span in any zone, and a log
    // of many entries asks the zone rules (a file read each time) a few times a year only.
    constexpr long long kBlockDays = 28;
    const long long block = (julian - kOleEpochJulian) / kBlockDays;
    auto found = m_LocalBlocks.find(block);
    if (found == m_LocalBlocks.end()) {
        const std::optional<int> start = OffsetAtLocalMidnight(kOleEpochJulian + block * kBlockDays);
        const std::optional<int> end = OffsetAtLocalMidnight(kOleEpochJulian + (block + 1) * kBlockDays);
        found = m_LocalBlocks.emplace(block, start && end && *start == *end ? *start : kMixed).first;
    }
    if (found->second == kMixed)
        return LocalToOleDate(QDateTime(day, time));
    const double days = static_cast<double>(julian - kOleEpochJulian) +
                        time.msecsSinceStartOfDay() / 86400000.0 - found->second / 86400.0;
    return days;
}
