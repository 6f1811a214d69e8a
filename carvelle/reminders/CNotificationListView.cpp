#include "reminders/CNotificationListView.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ReminderDue.h"
#include "core/ReminderSchedule.h"
#include "core/ResourceIds.h"
#include "records/CNotification.h"
#include "widgets/AppIcons.h"
#include "widgets/CMenuResource.h"
#include "widgets/CWaitCursor.h"
#include "widgets/SharedFonts.h"

#include <QAction>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kInitialWidth = 50;
constexpr int kEntryListMenu = 1; // the context menu with "Edit" and "Delete"

} // namespace

CNotificationListView::CNotificationListView(QWidget* parent) : CCustomListView(parent) {
    setObjectName(QStringLiteral("reminderList"));
    SetContextMenuIndex(kEntryListMenu);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    header()->setSectionsClickable(false);
    connect(header(), &QHeaderView::sectionResized, this, [this] { FitColumns(); });
}

CNotificationListView::~CNotificationListView() = default;

void CNotificationListView::SetUp() {
    setFont(NormalFont());
    m_Icon = LoadIconResource(IDI_REMINDER);
    m_Fitting = true;
    SetColumns({LoadStringResource(IDS_SORT_DESCRIPTION), LoadStringResource(IDS_SORT_DATE),
                LoadStringResource(IDS_SORT_ODOMETER), LoadStringResource(IDS_REMINDER_COLUMN_EXPECTED)},
               {kInitialWidth, kInitialWidth, kInitialWidth, kInitialWidth});
    m_Fitting = false;
    FitContentColumns();
}

QString CNotificationListView::OdometerText(LONG odometer) {
    return QLocale().toString(static_cast<qlonglong>(odometer));
}

bool CNotificationListView::Reload(ULONG vehicleRefID) {
    const CWaitCursor wait;
    DeleteAllRows();
    m_Reminders.Clear();
    m_VehicleRefID = vehicleRefID;
    if (vehicleRefID == 0 || !TheRecords().LoadReminders(m_Reminders, vehicleRefID)) {
        m_Reminders.Clear();
        m_Readings.clear();
        m_Expected.clear();
        return false;
    }
    ReloadReadings();
    setUpdatesEnabled(false);
    for (int i = 0; i < m_Reminders.GetCount(); ++i)
        InsertRow(0, QString(), m_Icon, m_Reminders.Get(i));
    setUpdatesEnabled(true);
    FitContentColumns();
    viewport()->update();
    return true;
}

int CNotificationListView::AddOrUpdateRow(CNotification* reminder, bool update) {
    if (reminder == nullptr)
        return -1;
    if (update) {
        const int old = FindItem(reminder);
        if (old < 0)
            return -1;
        DeleteRow(old);
    } else {
        bool held = false;
        for (int i = 0; i < m_Reminders.GetCount() && !held; ++i)
            held = m_Reminders.Get(i) == reminder;
        if (!held)
            m_Reminders.Add(reminder);
    }
    const int row = InsertRow(0, QString(), m_Icon, reminder);
    FitContentColumns();
    if (update)
        SelectRow(row);
    return row;
}

void CNotificationListView::SelectRow(int row) {
    if (row < 0 || row >= GetRowCount())
        return;
    SetItemState(row, StateSelected | StateFocused, StateSelected | StateFocused);
    EnsureVisible(row);
}

CNotification* CNotificationListView::ReminderAt(int row) const {
    return static_cast<CNotification*>(GetItemData(row));
}

CNotification* CNotificationListView::GetSelectedReminder() const {
    return ReminderAt(GetNextSelectedRow());
}

bool CNotificationListView::IsRowDue(int row) const {
    const CNotification* reminder = ReminderAt(row);
    return reminder != nullptr && IsReminderDue(*reminder, TheSession().ActiveOdometer(), NowAsOleDate());
}

QString CNotificationListView::CellText(int row, int column) const {
    const CNotification* reminder = ReminderAt(row);
    if (reminder == nullptr)
        return QString();
    switch (column) {
    case ColumnDescription:
        return QString::fromUtf16(reminder->GetName());
    case ColumnDate: {
        // A repeating reminder moved on by distance alone is never due by its date.
        const std::optional<QDate> day = ReminderDueDay(*reminder);
        const QString text =
            day || reminder->GetDate() <= 0.0 ? ShortDateText(reminder->GetDate()) : QString();
        return text.isEmpty() ? LoadStringResource(IDS_NO_DATE) : text;
    }
    case ColumnOdometer:
        return reminder->GetOdometer() == kNeverDueOdometer ? LoadStringResource(IDS_NO_DATE)
                                                            : OdometerText(reminder->GetOdometer());
    case ColumnExpected: {
        // Due already, or due at no reading: nothing to expect.
        if (IsRowDue(row))
            return QString();
        const std::optional<QDate> day = ExpectedDay(*reminder);
        return day ? PredictionText(*day, LocalDayToday()) : QString();
    }
    default:
        return QString();
    }
}

QString CNotificationListView::RowText(int row) const {
    return CellText(row, ColumnDescription);
}

QVariant CNotificationListView::CellData(int row, int column, int role) const {
    if (row < 0) // the header: the reading's title stands over its right-aligned numbers
        return role == Qt::TextAlignmentRole && column == ColumnOdometer
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return column == ColumnDescription ? QVariant() : QVariant(CellText(row, column));
    case Qt::TextAlignmentRole:
        return column == ColumnOdometer ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::FontRole:
        return IsRowDue(row) ? QVariant(BoldFont()) : QVariant();
    case Qt::ToolTipRole: // the expected day may not fit its column
        return column == ColumnExpected ? QVariant(CellText(row, column)) : QVariant();
    default:
        return QVariant();
    }
}

void CNotificationListView::PrepareContextMenu(QMenu& menu) {
    const bool selected = GetSelectedReminder() != nullptr;
    for (int id : {ID_EDIT, ID_DELETE}) {
        if (QAction* action = FindCommand(menu, id))
            action->setEnabled(selected);
    }
}

void CNotificationListView::resizeEvent(QResizeEvent* event) {
    CCustomListView::resizeEvent(event);
    FitColumns();
}

void CNotificationListView::FitContentColumns() {
    // The date and the reading are shown whole, the expected day in at most half of what they leave;
    // the description takes the rest.
    const QFontMetrics normal(font());
    const QFontMetrics bold(BoldFont());
    const QFontMetrics headerFont(header()->font());
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 12;
    m_Fitting = true;
    for (int column : {ColumnDate, ColumnOdometer, ColumnExpected}) {
        int width = headerFont.horizontalAdvance(model()->headerData(column, Qt::Horizontal).toString());
        for (int row = 0; row < GetRowCount(); ++row)
            width = std::max(width, bold.horizontalAdvance(CellText(row, column)));
        if (GetRowCount() == 0)
            width = std::max(width, normal.horizontalAdvance(ShortDateText(NowAsOleDate())));
        setColumnWidth(column, width + padding);
    }
    m_ExpectedWidth = columnWidth(ColumnExpected);
    FitExpectedColumn();
    StretchColumn(ColumnDescription);
    RememberWidths();
    m_Fitting = false;
}

void CNotificationListView::FitColumns() {
    if (m_Fitting)
        return;
    m_Fitting = true;
    // A column the user resized hands the difference to its right-hand neighbour (the last
    // one to the first); otherwise the list itself changed size and the description follows.
    int changed = -1;
    for (int column = 0; column < ColumnCount && changed < 0; ++column) {
        const int width = columnWidth(column);
        if (width != 0 && width != m_Widths[column])
            changed = column;
    }
    if (changed < 0)
        FitExpectedColumn();
    const int absorbing = changed >= 0 && changed + 1 < ColumnCount ? changed + 1 : ColumnDescription;
    StretchColumn(absorbing);
    // Widened past the list's edge: the widened column stops where the list ends.
    if (changed >= 0 && changed != absorbing) {
        int total = 0;
        for (int column = 0; column < ColumnCount; ++column)
            total += columnWidth(column);
        const int excess = total - viewport()->width();
        if (excess > 0)
            setColumnWidth(changed, std::max(0, columnWidth(changed) - excess));
    }
    RememberWidths();
    m_Fitting = false;
}

void CNotificationListView::RememberWidths() {
    for (int column = 0; column < ColumnCount; ++column)
        m_Widths[column] = columnWidth(column);
}

void CNotificationListView::ReloadReadings() {
    m_Readings.clear();
    m_Expected.clear();
    std::vector<CDataLayer::FigureRow> rows;
    CEntryFilter filter;
    filter.SetVehicleID(m_VehicleRefID);
    if (m_VehicleRefID == 0 || !TheRecords().LoadFigureRows(rows, filter))
        return;
    CLocalDays days;
    m_Readings.reserve(rows.size());
    for (const CDataLayer::FigureRow& entry : rows)
        m_Readings.emplace_back(days.Day(entry.Date), entry.Odometer);
    viewport()->update();
}

std::optional<QDate> CNotificationListView::ExpectedDay(const CNotification& reminder) const {
    const std::optional<LONG> due = ReminderDueOdometer(reminder);
    if (!due)
        return std::nullopt;
    const auto known = m_Expected.find(reminder.GetRefID());
    if (known != m_Expected.end() && known->second.odometer == *due)
        return known->second.day;
    const std::optional<QDate> day = PredictDueDay(m_Readings, *due);
    m_Expected[reminder.GetRefID()] = Expected{*due, day};
    return day;
}

void CNotificationListView::FitExpectedColumn() {
    const int left = viewport()->width() - columnWidth(ColumnDate) - columnWidth(ColumnOdometer);
    setColumnWidth(ColumnExpected, std::min(m_ExpectedWidth, std::max(0, left / 2)));
}
