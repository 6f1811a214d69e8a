#include "records/CEntryFilter.h"

#include "platform/SystemTime.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace {

constexpr std::int64_t FileTimeTicksPerDay = 864000000000LL;

SYSTEMTIME TodayAtMidnight() {
    SYSTEMTIME today{};
    GetSystemTime(&today);
    today.wHour = 0;
    today.wMinute = 0;
    today.wSecond = 0;
    today.wMilliseconds = 0;
    return today;
}

double ToOleDate(const SYSTEMTIME* date) {
    double value = 0.0;
    SystemTimeToVariantTime(date, &value);
    return value;
}

// "%f" in the C locale whatever the process locale says: the statement is SQL, where the
// decimal separator is always a point.
std::string FormatFixed6(double value) {
    std::array<char, 400> text{}; // enough for any double at six decimals
    auto [end, error] =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 6);
    if (error != std::errc())
        return "0.000000";
    return std::string(text.data(), end);
}

} // namespace

CEntryFilter::CEntryFilter() = default;

CEntryFilter::~CEntryFilter() = default;

void CEntryFilter::SetStartDate(SYSTEMTIME date, int wholeDay) {
    if (wholeDay) {
        date.wHour = 0;
        date.wMinute = 0;
        date.wSecond = 0;
        date.wMilliseconds = 0;
    }
    m_StartDate = date;
}

void CEntryFilter::SetEndDate(SYSTEMTIME date, int wholeDay) {
    if (wholeDay) {
        date.wHour = 23;
        date.wMinute = 59;
        date.wSecond = 59;
        date.wMilliseconds = 0;
    }
    m_EndDate = date;
}

SYSTEMTIME CEntryFilter::DateAddDiff(int days, SYSTEMTIME* date) {
    FILETIME fileTime{};
    if (!SystemTimeToFileTime(date, &fileTime))
        return *date;
    std::uint64_t ticks =
        (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    ticks += static_cast<std::uint64_t>(static_cast<std::int64_t>(days) * FileTimeTicksPerDay);
    fileTime.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME result{};
    if (!FileTimeToSystemTime(&fileTime, &result))
        return *date;
    return result;
}

SYSTEMTIME* CEntryFilter::GetStartDate() {
    if (m_DateRangeType == DateRangeAll)
        return nullptr;

    SYSTEMTIME today = TodayAtMidnight();
    switch (m_DateRangeType) {
    case DateRangeLastWeek:
        m_StartDate = DateAddDiff(-7, &today);
        break;
    case DateRangeLastTwoWeeks:
        m_StartDate = DateAddDiff(-14, &today);
        break;
    case DateRangeMonthToDate:
        today.wDay = 1;
        m_StartDate = today;
        break;
    case DateRangeYearToDate:
        today.wMonth = 1;
        today.wDay = 1;
        m_StartDate = today;
        break;
    default: // custom, and anything unknown behaves as custom
        break;
    }
    return &m_StartDate;
}

SYSTEMTIME* CEntryFilter::GetEndDate() {
    if (m_DateRangeType == DateRangeAll)
        return nullptr;

    if (m_DateRangeType >= DateRangeLastWeek && m_DateRangeType <= DateRangeYearToDate) {
        SYSTEMTIME now{};
        GetSystemTime(&now);
        now.wHour = 23;
        now.wMinute = 59;
        now.wSecond = 59;
        now.wMilliseconds = 0;
        m_EndDate = now;
    }
    return &m_EndDate;
}

int CEntryFilter::HaveDateRange() {
    if (m_DateRangeType == DateRangeAll)
        return 0;
    const SYSTEMTIME* start = GetStartDate();
    const SYSTEMTIME* end = GetEndDate();
    return start && end && start->wYear != 0 && end->wYear != 0 ? 1 : 0;
}

int CEntryFilter::EntryMatchesFilter(CEntry* entry) {
    if (!entry)
        return 0;
    if (m_VehicleID != 0 && m_VehicleID != entry->GetVehicleID())
        return 0;
    if (m_EntryType != CEntry::EntryNone && m_EntryType != entry->GetType())
        return 0;
    if (!HaveDateRange())
        return 1;

    const double start = ToOleDate(GetStartDate());
    const double end = ToOleDate(GetEndDate());
    const double date = entry->GetDate();
    return start <= date && date <= end ? 1 : 0;
}

std::string CEntryFilter::BuildSelectStatement() {
    // Each clause is exactly what "%s VehicleID=%lu ", "%s (Date >= %f) AND (Date <= %f)" and
    // "%s Type=%ld" would make of the joining word and the value.
    std::string sql = "SELECT * FROM Entry ";
    const char* join = " WHERE ";

    if (m_VehicleID != 0) {
        sql += join;
        sql += " VehicleID=";
        sql += std::to_string(m_VehicleID);
        sql += ' ';
        join = " AND ";
    }
    if (HaveDateRange()) {
        const double start = ToOleDate(GetStartDate());
        const double end = ToOleDate(GetEndDate());
        sql += join;
        sql += " (Date >= ";
        sql += FormatFixed6(start);
        sql += ") AND (Date <= ";
        sql += FormatFixed6(end);
        sql += ')';
        join = " AND ";
    }
    if (m_EntryType != CEntry::EntryNone) {
        sql += join;
        sql += " Type=";
        sql += std::to_string(static_cast<LONG>(m_EntryType));
    }
    return sql;
}
