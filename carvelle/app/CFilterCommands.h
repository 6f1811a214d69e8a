#pragma once
// The "View Date Range" and "View Entry Type" commands: which command stands for which date range
// and entry type of the entry filter, what choosing one does, and the texts that name those in
// force. The choice is kept in the settings for the next start.

#include "platform/WinTypes.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"

#include <QString>

#include <functional>

class CFrameCommands;
class QMenu;

class CFilterCommands {
public:
    // Asks for the days of a custom range; false when the user cancels.
    using DateRangeDialog = std::function<bool(SYSTEMTIME& start, SYSTEMTIME& end)>;

    // changed runs each time a command has changed the filter.
    CFilterCommands(CEntryFilter& filter, CFrameCommands& commands, DateRangeDialog askDates,
                    std::function<void()> changed);

    // Binds the commands, drawn as two radio groups.
    void Bind();
    void SetEnabled(bool enabled);
    // Checks the items of the range and type in force.
    void UpdateChecks();

    // "Fuel · Last One Week" over the entry list: the entry type and date range in force, each
    // left out while it lets everything through.
    QString FilterText(QMenu& menu) const;
    // "All Entries · All Dates": the entry type and the dates, always both.
    QString ViewText(QMenu& menu) const;
    // The menu's name of the entry type in force, as "Fuel".
    QString EntryTypeText(QMenu& menu) const;

private:
    void OnDateRange(CEntryFilter::DateRangeType range);
    void OnCustomDateRange();
    void OnEntryType(CEntry::Type type);

    CEntryFilter& m_Filter;
    CFrameCommands& m_Commands;
    DateRangeDialog m_AskDates;
    std::function<void()> m_Changed;
};
