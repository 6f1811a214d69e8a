#include "views/CEntryListView.h"

#include "widgets/AppIcons.h"
#include "widgets/CWaitCursor.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "core/Units.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"
#include "widgets/SharedFonts.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <optional>

namespace {

constexpr int kMenuEntryListView = 1;
constexpr int kDescriptionColumnWidth = 100;
// Even rows of a light palette; a dark palette uses its own alternate base instead.
const QColor kEvenRowColour(206, 239, 165);

int Compare(double a, double b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

QString Text(LPCWSTR text) {
    return QString::fromUtf16(text);
}

// The sort keys of the rows, made once per sort: descriptions only when they are needed.
class SortKeys {
public:
    explicit SortKeys(const CEntryListView& list) : m_List(list), m_Folded(list.GetRowCount()) {}

    const QString& Description(int row) {
        std::optional<QString>& key = m_Folded[row];
        if (!key)
            key = CEntryListView::EntryDescription(*m_List.EntryAt(row)).toCaseFolded();
        return *key;
    }

private:
    const CEntryListView& m_List;
    std::vector<std::optional<QString>> m_Folded;
};

} // namespace

CEntryListView::CEntryListView(QWidget* parent) : CCustomListView(parent) {
    SetContextMenuIndex(kMenuEntryListView);
    setObjectName(QStringLiteral("list%1").arg(IDC_LIST));
    setHeaderHidden(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Ctrl and Shift extend the selection; Edit still needs exactly one row.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetColumns({LoadStringResource(IDS_SORT_DESCRIPTION)}, {kDescriptionColumnWidth});
}

CEntryListView::~CEntryListView() {
    // The rows hold the records' addresses: drop them before the records go.
    DeleteAllRows();
}

QString CEntryListView::EntryDescription(const CEntry& entry) {
    const QString vendor = Text(entry.GetVendor());
    QString text;
    if (entry.GetType() == CEntry::EntryFuel) {
        text = QStringLiteral("%1 %2 @ %3")
                   .arg(FormatNumber(entry.GetCustom1(), kDecimalNumber), VolumeUnitName(true, true),
                        FormatNumber(entry.GetCustom2(), kMoney));
        if (!vendor.isEmpty())
            text += QStringLiteral(" (") + vendor + QStringLiteral(")");
        return text;
    }
    if (!vendor.isEmpty())
        return QStringLiteral("%1 (%2)").arg(Text(entry.GetName()), vendor);
    return Text(entry.GetName());
}

void CEntryListView::SetUp() {
    setFont(BoldFont());
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    setIconSize(QSize(iconSize, iconSize));
    const int icons[] = {IDI_FUEL, IDI_REPAIR, IDI_TRIP, IDI_EXPENSE};
    for (int i = 0; i < 4; ++i)
        m_Icons[i] = LoadIconResource(icons[i]);
    SetOwnerDrawn(true);
    StretchColumn(0);
}

QIcon CEntryListView::IconFor(const CEntry& entry) const {
    const int index = static_cast<int>(entry.GetType()) - 1;
    return index >= 0 && index < 4 ? m_Icons[index] : QIcon();
}

bool CEntryListView::Reload(CEntryFilter* filter) {
    CWaitCursor wait;
    DeleteAllRows();
    m_Entries.Clear();
    if (!filter)
        return true;
    if (!TheRecords().LoadEntries(m_Entries, *filter)) {
        m_Entries.Clear(); // a failed load may leave some records behind
        return false;
    }
    const int count = m_Entries.GetCount();
    std::vector<void*> rows(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rows[i] = m_Entries.Get(i);
    setUpdatesEnabled(false);
    SetRows(rows, {});
    SortItems(-1);
    setUpdatesEnabled(true);
    if (count > 0) {
        SelectOnly(0);
        scrollToTop();
    }
    viewport()->update();
    return true;
}

void CEntryListView::AddEntry(CEntry* entry) {
    if (!entry)
        return;
    m_Entries.Add(entry);
    ClearSelection();
    const int row = InsertRow(GetRowCount(), QString(), QIcon(), entry);
    SelectOnly(row);
    SortItems(-1);
    EnsureVisible(FindItem(entry));
}

void CEntryListView::UpdateEntry(CEntry* entry) {
    const int row = FindItem(entry);
    if (row < 0)
        return;
    SelectOnly(row);
    SortItems(-1);
    EnsureVisible(FindItem(entry));
    viewport()->update();
}

void CEntryListView::RemoveEntryRow(CEntry* entry) {
    DeleteRow(FindItem(entry));
}

void CEntryListView::SelectOnly(int row) {
    ClearSelection();
    SetItemState(row, StateSelected | StateFocused, StateSelected | StateFocused);
}

void CEntryListView::SortItems(int column) {
    CAppSettings& settings = TheSettings();
    if (column < 0)
        column = settings.LastColSorted;
    if (column < 0)
        return;
    CWaitCursor wait;
    const bool descending = settings.SortAscending == 0;
    SortKeys keys(*this);
    // The direction swaps the two before they are compared, so every tie-break follows it. Ties
    // end with the date and the ID, so equal rows always come out in the same order.
    SortRows([this, column, descending, &keys](int rowA, int rowB) {
        if (descending)
            std::swap(rowA, rowB);
        const CEntry* a = EntryAt(rowA);
        const CEntry* b = EntryAt(rowB);
        int result = 0;
        switch (column) {
        case SortDate:
            result = Compare(a->GetDate(), b->GetDate());
            if (result == 0)
                result = keys.Description(rowA).compare(keys.Description(rowB));
            break;
        case SortDescription:
            result = keys.Description(rowA).compare(keys.Description(rowB));
            break;
        case SortOdometer:
            result = a->GetOdometer() < b->GetOdometer() ? -1 : (a->GetOdometer() > b->GetOdometer() ? 1 : 0);
            if (result == 0)
                result = Compare(a->GetAmount(), b->GetAmount());
            break;
        case SortAmount:
            result = Compare(a->GetAmount(), b->GetAmount());
            break;
        default:
            return 0;
        }
        if (result == 0)
            result = Compare(a->GetDate(), b->GetDate());
        if (result == 0)
            result = a->GetID() < b->GetID() ? -1 : (a->GetID() > b->GetID() ? 1 : 0);
        return result;
    });
    settings.LastColSorted = column;
}

std::vector<CEntry*> CEntryListView::SelectedEntries() const {
    std::vector<CEntry*> selected;
    for (int row = GetNextSelectedRow(); row >= 0; row = GetNextSelectedRow(row))
        selected.push_back(EntryAt(row));
    return selected;
}

CEntry* CEntryListView::EntryAt(int row) const {
    return static_cast<CEntry*>(GetItemData(row));
}

QString CEntryListView::DateText(int row) const {
    const CEntry* entry = EntryAt(row);
    if (!entry)
        return QString();
    // A stored date that no calendar has shows as none.
    const QString text = ShortDateText(entry->GetDate());
    return text.isEmpty() ? LoadStringResource(IDS_NO_DATE) : text;
}

QString CEntryListView::RowText(int row) const {
    return DateText(row);
}

void CEntryListView::PrepareContextMenu(QMenu& menu) {
    const int selected = GetSelectedCount();
    for (QAction* action : menu.actions()) {
        const int command = action->data().toInt();
        if (command == ID_EDIT)
            action->setEnabled(selected == 1);
        else if (command == ID_DELETE)
            action->setEnabled(selected > 0);
    }
}

int CEntryListView::RowHeight() const {
    const QFontMetrics metrics(BoldFont());
    return 2 * (metrics.height() + metrics.leading()) + 3;
}

int CEntryListView::MeasureRow(const QStyleOptionViewItem&) {
    return RowHeight();
}

void CEntryListView::DrawRow(QPainter& painter, const QStyleOptionViewItem& option, int row) {
    const CEntry* entry = EntryAt(row);
    if (!entry)
        return;
    const QString date = DateText(row);
    const QString odometer = FormatNumber(static_cast<float>(entry->GetOdometer()), kWholeNumber);
    const QString description = EntryDescription(*entry);
    const QString amount = FormatNumber(entry->GetAmount(), kMoney);

    const QPalette& colours = palette();
    const bool selected = option.state & QStyle::State_Selected;
    QColor fill = colours.color(QPalette::Base);
    QColor text = colours.color(QPalette::Text);
    if (selected) {
        fill = colours.color(QPalette::Highlight);
        text = colours.color(QPalette::HighlightedText);
    } else if (row % 2 == 0) {
        const bool dark = colours.color(QPalette::Base).lightness() < 128;
        fill = dark ? colours.color(QPalette::AlternateBase) : kEvenRowColour;
        if (!dark)
            text = Qt::black;
    }
    const QRect whole = option.rect;
    painter.fillRect(whole, fill);

    const int iconSide = iconSize().width();
    const QFontMetrics metrics(font());
    const int gap = metrics.horizontalAdvance(QLatin1Char(' '));
    QRect label(whole.left() + iconSide + 2, whole.top(), whole.width() - iconSide - 2, whole.height());
    label.setLeft(label.left() + gap);
    label.setBottom(label.bottom() - 3);
    const int lineHeight = metrics.height();

    painter.setFont(font());
    painter.setPen(text);
    // One line: the right text ends a space before the label's right edge, the left text runs up
    // to a space before it and is cut with an ellipsis.
    const auto drawLine = [&](int top, const QString& left, const QString& right) {
        const int rightWidth = metrics.horizontalAdvance(right);
        const int rightStart = label.right() - gap - rightWidth;
        painter.drawText(QRect(rightStart, top, rightWidth + 1, lineHeight),
                         Qt::AlignRight | Qt::TextSingleLine, right);
        const int leftWidth = std::max(0, rightStart - gap - label.left());
        painter.drawText(QRect(label.left(), top, leftWidth, lineHeight), Qt::AlignLeft | Qt::TextSingleLine,
                         metrics.elidedText(left, Qt::ElideRight, leftWidth));
    };
    drawLine(label.top(), date, odometer);
    // The second line ends at the raised bottom.
    drawLine(label.bottom() - lineHeight + 1, description, amount);

    const QIcon icon = IconFor(*entry);
    if (!icon.isNull())
        icon.paint(&painter, whole.left() + 2, whole.top() + 2, iconSide, iconSide);

    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(0, whole.bottom(), label.right(), whole.bottom());
}

void CEntryListView::resizeEvent(QResizeEvent* event) {
    CCustomListView::resizeEvent(event);
    StretchColumn(0);
}
