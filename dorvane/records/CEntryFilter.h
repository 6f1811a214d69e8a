#pragma once
// Which entries the user is looking at: one vehicle or all, one type or all, and a date range.

#include "records/CEntry.h"

#include <string>

class DORVANE_API CEntryFilter {
public:
    enum DateRangeType : int {
        DateRangeAll = 0,
        DateRangeLastWeek = 1,
        DateRangeLastTwoWeeks = 2,
        DateRangeMonthToDate = 3,
        DateRangeYearToDate = 4,
        DateRangeCustom = 5, // any larger value behaves the same
    };

    CEntryFilter();
    ~CEntryFilter();
    CEntryFilter(const CEntryFilter&) = default;
    CEntryFilter& operator=(const CEntryFilter&) = default;

    void SetVehicleID(ULONG vehicleID) { m_VehicleID = vehicleID; }
    ULONG GetVehicleID() const { return m_VehicleID; }
    void SetEntryType(CEntry::Type type) { m_EntryType = type; }
    CEntry::Type GetEntryType() const { return m_EntryType; }
    void SetDateRangeType(DateRangeType type) { m_DateRangeType = type; }
    DateRangeType GetDateRangeType() const { return m_DateRangeType; }

    // Store a custom date; with wholeDay set the time becomes 00:00:00.000 (start) or
    // 23:59:59.000 (end).
    void SetStartDate(SYSTEMTIME date, int wholeDay);
    void SetEndDate(SYSTEMTIME date, int wholeDay);

    // Null for DateRangeAll; otherwise the filter's own field, recomputed first for the
    // rule-based ranges (which are anchored to the current system time, UTC).
    SYSTEMTIME* GetStartDate();
    SYSTEMTIME* GetEndDate();
    int HaveDateRange();

    int EntryMatchesFilter(CEntry* entry);

    // The entry list query: "SELECT * FROM Entry " and the filter's WHERE clause.
    std::string BuildSelectStatement();

private:
    SYSTEMTIME DateAddDiff(int days, SYSTEMTIME* date);

    SYSTEMTIME m_StartDate{};
    SYSTEMTIME m_EndDate{};
    CEntry::Type m_EntryType = CEntry::EntryNone;
    ULONG m_VehicleID = 0;
    DateRangeType m_DateRangeType = DateRangeAll;
};
