#include "app/CFilterCommands.h"

#include "app/CFrameCommands.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CQuickStats.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "widgets/CMenuResource.h"

#include <QAction>
#include <QDate>
#include <QStringList>

#include <utility>

namespace {

// In menu order.
constexpr std::pair<CEntryFilter::DateRangeType, int> kDateRanges[] = {
    {CEntryFilter::DateRangeAll, ID_DATE_RANGE_ALL},
    {CEntryFilter::DateRangeLastWeek, ID_DATE_RANGE_LAST_WEEK},
    {CEntryFilter::DateRangeLastTwoWeeks, ID_DATE_RANGE_LAST_TWO_WEEKS},
    {CEntryFilter::DateRangeMonthToDate, ID_DATE_RANGE_MONTH_TO_DATE},
    {CEntryFilter::DateRangeYearToDate, ID_DATE_RANGE_YEAR_TO_DATE},
    {CEntryFilter::DateRangeCustom, ID_DATE_RANGE_CUSTOM},
};
constexpr int kDateRangeCommands[] = {
    ID_DATE_RANGE_ALL,           ID_DATE_RANGE_LAST_WEEK,    ID_DATE_RANGE_LAST_TWO_WEEKS,
    ID_DATE_RANGE_MONTH_TO_DATE, ID_DATE_RANGE_YEAR_TO_DATE, ID_DATE_RANGE_CUSTOM};

constexpr std::pair<CEntry::Type, int> kEntryTypes[] = {
    {CEntry::EntryNone, ID_ENTRY_TYPE_ALL},        {CEntry::EntryFuel, ID_ENTRY_TYPE_FUEL},
    {CEntry::EntryRepair, ID_ENTRY_TYPE_REPAIR},   {CEntry::EntryTrip, ID_ENTRY_TYPE_TRIP},
    {CEntry::EntryExpense, ID_ENTRY_TYPE_EXPENSE},
};
constexpr int kEntryTypeCommands[] = {ID_ENTRY_TYPE_ALL, ID_ENTRY_TYPE_FUEL, ID_ENTRY_TYPE_REPAIR,
                                      ID_ENTRY_TYPE_TRIP, ID_ENTRY_TYPE_EXPENSE};

// The command of a range or a type; 0 for a value no command stands for.
template <class Value, std::size_t N> int CommandOf(const std::pair<Value, int> (&table)[N], Value value) {
    for (const auto& [known, command] : table) {
        if (known == value)
            return command;
    }
    return 0;
}

const QAction* CommandAction(QMenu& menu, int command) {
    return command != 0 ? FindCommand(menu, command) : nullptr;
}

} // namespace

CFilterCommands::CFilterCommands(CEntryFilter& filter, CFrameCommands& commands, DateRangeDialog askDates,
                                 std::function<void()> changed)
    : m_Filter(filter), m_Commands(commands), m_AskDates(std::move(askDates)), m_Changed(std::move(changed)) {
}

void CFilterCommands::Bind() {
    for (const auto& [range, command] : kDateRanges) {
        if (range == CEntryFilter::DateRangeCustom)
            m_Commands.Bind(command, [this] { OnCustomDateRange(); });
        else
            m_Commands.Bind(command, [this, range = range] { OnDateRange(range); });
    }
    m_Commands.MakeRadioGroup(kDateRangeCommands);
    for (const auto& [type, command] : kEntryTypes)
        m_Commands.Bind(command, [this, type = type] { OnEntryType(type); });
    m_Commands.MakeRadioGroup(kEntryTypeCommands);
}

void CFilterCommands::SetEnabled(bool enabled) {
    m_Commands.SetEnabled(kDateRangeCommands, enabled);
    m_Commands.SetEnabled(kEntryTypeCommands, enabled);
}

void CFilterCommands::UpdateChecks() {
    m_Commands.CheckRadio(kDateRangeCommands, CommandOf(kDateRanges, m_Filter.GetDateRangeType()));
    m_Commands.CheckRadio(kEntryTypeCommands, CommandOf(kEntryTypes, m_Filter.GetEntryType()));
}

QString CFilterCommands::FilterText(QMenu& menu) const {
    QStringList parts;
    const CEntry::Type type = m_Filter.GetEntryType();
    if (type != CEntry::EntryNone) {
        if (const QAction* action = CommandAction(menu, CommandOf(kEntryTypes, type)))
            parts << action->iconText();
    }
    const CEntryFilter::DateRangeType range = m_Filter.GetDateRangeType();
    if (range == CEntryFilter::DateRangeCustom) {
        parts << DateRangeText(&m_Filter);
    } else if (range != CEntryFilter::DateRangeAll) {
        if (const QAction* action = CommandAction(menu, CommandOf(kDateRanges, range)))
            parts << action->iconText();
    }
    return parts.join(LoadStringResource(IDS_FILTER_SEPARATOR));
}

QString CFilterCommands::ViewText(QMenu& menu) const {
    QStringList parts;
    if (const QAction* action = CommandAction(menu, CommandOf(kEntryTypes, m_Filter.GetEntryType())))
        parts << action->iconText();
    parts << DateRangeText(&m_Filter);
    return parts.join(LoadStringResource(IDS_FILTER_SEPARATOR));
}

QString CFilterCommands::EntryTypeText(QMenu& menu) const {
    const QAction* action = CommandAction(menu, CommandOf(kEntryTypes, m_Filter.GetEntryType()));
    return action ? action->iconText() : QString();
}

void CFilterCommands::OnDateRange(CEntryFilter::DateRangeType range) {
    TheSettings().ViewDateRangeType = static_cast<DWORD>(range);
    m_Filter.SetDateRangeType(range);
    m_Changed();
}

void CFilterCommands::OnCustomDateRange() {
    SYSTEMTIME start{};
    SYSTEMTIME end{};
    if (const SYSTEMTIME* current = m_Filter.GetStartDate())
        start = *current;
    if (const SYSTEMTIME* current = m_Filter.GetEndDate())
        end = *current;
    // The pickers show the days the user sees for the current range.
    for (SYSTEMTIME* date : {&start, &end}) {
        const QDate day = FilterRangeDay(m_Filter, *date);
        *date = day.isValid() ? LocalToSystemTime(day.startOfDay()) : SYSTEMTIME{};
    }
    if (!m_AskDates(start, end))
        return;
    // The dialog hands back the UTC bounds of the local days the user picked.
    m_Filter.SetStartDate(start, 0);
    m_Filter.SetEndDate(end, 0);
    OnDateRange(CEntryFilter::DateRangeCustom);
}

void CFilterCommands::OnEntryType(CEntry::Type type) {
    TheSettings().ViewEntryType = static_cast<DWORD>(type);
    m_Filter.SetEntryType(type);
    m_Changed();
}
