#include "views/CEntryListView.h"

#include "widgets/AppIcons.h"
#include "widgets/CWaitCursor.h"
#include "widgets/CWaitOffThread.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ResourceIds.h"
#include "core/Units.h"
#include "datastore/CDataLayer.h"
#include "records/CEntry.h"
#include "records/CEntryFilter.h"
#include "widgets/SharedFonts.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <numeric>

namespace {

constexpr int kMenuEntryListView = 1;
constexpr int kDescriptionColumnWidth = 100;
// Even rows of a light palette; a dark palette uses its own alternate base instead.
const QColor kEvenRowColour(206, 239, 165);

template <class T> int Compare(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

QString Text(LPCWSTR text) {
    return QString::fromUtf16(text);
}

} // namespace

CEntryListView::CEntryListView(QWidget* parent) : CCustomListView(parent) {
    SetContextMenuIndex(kMenuEntryListView);
    setObjectName(QStringLiteral("entryList"));
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
    m_Keys.clear();
    m_Descriptions.clear();
    m_DescriptionRanks.clear();
    m_FillFlags.clear();
    m_Cancelled = false;
    if (!filter)
        return true;
    // Loaded, keyed and put in order off the window's thread, which keeps drawing the empty list
    // meanwhile; nothing else touches the entries until it is over.
    const LONG column = TheSettings().LastColSorted;
    const bool descending = TheSettings().SortAscending == 0;
    bool loaded = false;
    std::vector<int> order;
    const bool finished = CWaitOffThread::Run(
        this, LoadStringResource(IDS_WAIT_LOADING_LOG),
        [&] {
            loaded = TheRecords().LoadEntries(m_Entries, *filter);
            if (!loaded)
                return;
            const auto count = static_cast<std::size_t>(m_Entries.GetCount());
            m_Keys.resize(count);
            m_Descriptions.resize(count);
            std::vector<std::uint32_t> tags(count);
            for (std::size_t i = 0; i < count; ++i) {
                tags[i] = static_cast<std::uint32_t>(i);
                SetKey(tags[i], *m_Entries.Get(static_cast<int>(i)));
            }
            if (column >= 0 && column <= SortAmount)
                order = OrderOf(tags, column, descending);
        },
        [] { TheRecords().Interrupt(); });
    if (!finished || !loaded) {
        // A failed load may leave some records behind.
        m_Entries.Clear();
        m_Keys.clear();
        m_Descriptions.clear();
        m_DescriptionRanks.clear();
        m_Cancelled = !finished;
        return false;
    }
    // Without its marks the log still reads right; a file whose flags cannot be read shows none.
    std::vector<std::pair<ULONG, DWORD>> flags;
    if (filter->GetEntryType() == CEntry::EntryNone || filter->GetEntryType() == CEntry::EntryFuel) {
        if (TheRecords().LoadFillFlags(flags))
            m_FillFlags.insert(flags.begin(), flags.end());
    }
    const int count = m_Entries.GetCount();
    std::vector<void*> rows(static_cast<std::size_t>(count));
    std::vector<std::uint32_t> tags(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int at = order.empty() ? i : order[static_cast<std::size_t>(i)];
        rows[static_cast<std::size_t>(i)] = m_Entries.Get(at);
        tags[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(at);
    }
    setUpdatesEnabled(false);
    SetRows(rows, {}, tags);
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
    ReadFillFlags(*entry);
    const auto tag = static_cast<std::uint32_t>(m_Entries.GetCount() - 1);
    m_Keys.resize(tag + 1);
    m_Descriptions.resize(tag + 1);
    SetKey(tag, *entry);
    m_DescriptionRanks.clear();
    ClearSelection();
    const int row = InsertRow(GetRowCount(), QString(), QIcon(), entry, tag);
    SelectOnly(row);
    SortItems(-1);
    EnsureVisible(FindItem(entry));
}

void CEntryListView::UpdateEntry(CEntry* entry) {
    const int row = FindItem(entry);
    if (row < 0)
        return;
    ReadFillFlags(*entry);
    const std::uint32_t tag = GetRowTag(row);
    if (tag < m_Keys.size()) {
        SetKey(tag, *entry);
        m_Descriptions[tag].reset();
        m_DescriptionRanks.clear();
    }
    SelectOnly(row);
    SortItems(-1);
    EnsureVisible(FindItem(entry));
    viewport()->update();
}

void CEntryListView::ReadFillFlags(const CEntry& entry) {
    DWORD flags = 0;
    if (entry.GetType() == CEntry::EntryFuel && entry.GetID() != 0 &&
        TheRecords().GetFillFlags(entry, flags) && flags != 0)
        m_FillFlags[entry.GetRefID()] = flags;
    else
        m_FillFlags.erase(entry.GetRefID());
}

void CEntryListView::RemoveEntryRow(CEntry* entry) {
    DeleteRow(FindItem(entry));
}

void CEntryListView::SelectOnly(int row) {
    ClearSelection();
    SetItemState(row, StateSelected | StateFocused, StateSelected | StateFocused);
}

void CEntryListView::SetKey(std::uint32_t tag, const CEntry& entry) {
    m_Keys[tag] = SortKey{entry.GetDate(), entry.GetAmount(), entry.GetOdometer(), entry.GetID()};
}

const QString& CEntryListView::FoldedDescription(std::uint32_t tag) {
    std::optional<QString>& text = m_Descriptions[tag];
    if (!text)
        text = EntryDescription(*m_Entries.Get(static_cast<int>(tag))).toCaseFolded();
    return *text;
}

void CEntryListView::RankDescriptions() {
    if (!m_DescriptionRanks.empty() || m_Keys.empty())
        return;
    std::vector<std::uint32_t> tags(m_Keys.size());
    std::iota(tags.begin(), tags.end(), 0u);
    for (std::uint32_t tag : tags)
        FoldedDescription(tag);
    std::sort(tags.begin(), tags.end(),
              [this](std::uint32_t a, std::uint32_t b) { return *m_Descriptions[a] < *m_Descriptions[b]; });
    m_DescriptionRanks.assign(m_Keys.size(), 0u);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (i > 0 && *m_Descriptions[tags[i]] != *m_Descriptions[tags[i - 1]])
            ++rank;
        m_DescriptionRanks[tags[i]] = rank;
    }
}

void CEntryListView::SortItems(int column) {
    CAppSettings& settings = TheSettings();
    if (column < 0)
        column = settings.LastColSorted;
    if (column < 0)
        return;
    CWaitCursor wait;
    settings.LastColSorted = column;
    if (column > SortAmount)
        return; // any other column leaves every row where it is
    const int count = GetRowCount();
    std::vector<std::uint32_t> tags(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row)
        tags[static_cast<std::size_t>(row)] = GetRowTag(row);
    ReorderRows(OrderOf(tags, column, settings.SortAscending == 0));
}

std::vector<int> CEntryListView::OrderOf(const std::vector<std::uint32_t>& tags, int column,
                                         bool descending) {
    if (column == SortDescription)
        RankDescriptions();

    // One item per row with the keys of the column, so the comparisons read a flat array.
    struct Item {
        double first;
        double second;
        double date;
        LONG id;
        std::uint32_t tag;
        int row;
    };
    const int count = static_cast<int>(tags.size());
    std::vector<Item> items(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        const std::uint32_t tag = tags[static_cast<std::size_t>(row)];
        const SortKey& key = m_Keys[tag];
        double first = 0.0;
        double second = 0.0;
        switch (column) {
        case SortDate:
            first = key.date;
            break;
        case SortDescription:
            first = m_DescriptionRanks[tag];
            break;
        case SortOdometer:
            first = key.odometer;
            second = key.amount;
            break;
        default:
            first = key.amount;
            break;
        }
        items[row] = Item{first, second, key.date, key.id, tag, row};
    }
    // Rows that share a date go by their description: only theirs are formatted, once each, and
    // ranked, so that the sort itself compares numbers.
    if (column == SortDate) {
        std::vector<std::size_t> byDate(items.size());
        std::iota(byDate.begin(), byDate.end(), std::size_t{0});
        std::sort(byDate.begin(), byDate.end(), [&items](std::size_t a, std::size_t b) {
            return Compare(items[a].first, items[b].first) < 0;
        });
        std::vector<std::size_t> tied;
        for (std::size_t i = 0; i < byDate.size();) {
            std::size_t end = i + 1;
            while (end < byDate.size() && Compare(items[byDate[end]].first, items[byDate[i]].first) == 0)
                ++end;
            if (end - i > 1)
                tied.insert(tied.end(), byDate.begin() + static_cast<std::ptrdiff_t>(i),
                            byDate.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
        }
        for (std::size_t index : tied)
            FoldedDescription(items[index].tag);
        std::sort(tied.begin(), tied.end(), [this, &items](std::size_t a, std::size_t b) {
            return *m_Descriptions[items[a].tag] < *m_Descriptions[items[b].tag];
        });
        double rank = 0.0;
        for (std::size_t k = 0; k < tied.size(); ++k) {
            if (k > 0 && *m_Descriptions[items[tied[k]].tag] != *m_Descriptions[items[tied[k - 1]].tag])
                rank += 1.0;
            items[tied[k]].second = rank;
        }
    }
    // The direction swaps the two before they are compared, so every tie-break follows it. Ties
    // end with the date and the ID, so equal rows always come out in the same order; rows equal
    // in all of that keep their order.
    const auto compare = [](const Item& a, const Item& b) {
        int result = Compare(a.first, b.first);
        if (result == 0)
            result = Compare(a.second, b.second);
        if (result == 0)
            result = Compare(a.date, b.date);
        if (result == 0)
            result = Compare(a.id, b.id);
        return result;
    };
    std::sort(items.begin(), items.end(), [&compare, descending](const Item& a, const Item& b) {
        const int result = descending ? compare(b, a) : compare(a, b);
        return result != 0 ? result < 0 : a.row < b.row;
    });
    std::vector<int> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].row;
    return order;
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
    QString date = DateText(row);
    if (entry->GetType() == CEntry::EntryFuel && !m_FillFlags.empty()) {
        if (const auto found = m_FillFlags.find(entry->GetRefID()); found != m_FillFlags.end()) {
            if (found->second & CDataLayer::FillPartial)
                date += LoadStringResource(IDS_PARTIAL_FILL_UP_MARK);
            if (found->second & CDataLayer::FillMissed)
                date += LoadStringResource(IDS_MISSED_FILL_UP_MARK);
        }
    }
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
