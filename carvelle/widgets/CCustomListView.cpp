#include "widgets/CCustomListView.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/CMenuResource.h"
#include "widgets/CPrompter.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGestureEvent>
#include <QHeaderView>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTapAndHoldGesture>

#include <algorithm>
#include <memory>

namespace {

// Where the empty-list text starts below the top of the rows' area.
constexpr int EmptyTextTop = 10;
// The rows a list asks room for.
constexpr int HintRows = 12;

} // namespace

// The rows: each holds the record's address and, for lists that keep them, a text and an icon.
class CCustomListView::RowModel : public QAbstractTableModel {
public:
    struct Row {
        void* data = nullptr;
        QString text;
        QIcon icon;
        std::uint32_t tag = 0;
    };

    explicit RowModel(CCustomListView& list) : QAbstractTableModel(&list), m_List(list) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_Titles.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return QVariant();
        QVariant cell = m_List.CellData(index.row(), index.column(), role);
        if (cell.isValid() || index.column() != 0)
            return cell;
        switch (role) {
        case Qt::DisplayRole:
            return m_List.RowText(index.row());
        case Qt::DecorationRole:
            return m_Rows[index.row()].icon;
        default:
            return QVariant();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < m_Titles.size())
            return m_Titles.at(section);
        if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
            return m_List.CellData(-1, section, role);
        return QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void SetTitles(const QStringList& titles) {
        beginResetModel();
        m_Titles = titles;
        endResetModel();
    }
    void Insert(int row, Row value) {
        beginInsertRows(QModelIndex(), row, row);
        m_Rows.insert(m_Rows.begin() + row, std::move(value));
        endInsertRows();
    }
    void Remove(int first, int last) {
        beginRemoveRows(QModelIndex(), first, last);
        m_Rows.erase(m_Rows.begin() + first, m_Rows.begin() + last + 1);
        endRemoveRows();
    }
    void Reset(std::vector<Row> rows) {
        beginResetModel();
        m_Rows = std::move(rows);
        endResetModel();
    }
    void Changed(int row) { emit dataChanged(index(row, 0), index(row, 0)); }
    // Reorders the rows as order says (order[i] = the old row now at i), keeping the selection.
    void Reorder(const std::vector<int>& order) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<Row> rows;
        rows.reserve(m_Rows.size());
        std::vector<int> newRowOf(m_Rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            rows.push_back(std::move(m_Rows[order[i]]));
            newRowOf[order[i]] = static_cast<int>(i);
        }
        m_Rows = std::move(rows);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before)
            after.append(index(newRowOf[old.row()], old.column()));
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    std::vector<Row>& Rows() { return m_Rows; }
    const std::vector<Row>& Rows() const { return m_Rows; }

private:
    CCustomListView& m_List;
    QStringList m_Titles;
    std::vector<Row> m_Rows;
};

// Hands painting and measuring to the list when its rows are owner-drawn.
class CCustomListView::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(CCustomListView& list) : QStyledItemDelegate(&list), m_List(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!m_List.m_OwnerDrawn) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        // The owner draws the whole row at once, when asked for its first cell.
        if (index.column() != 0) {
            return;
        }
        QStyleOptionViewItem rowOption(option);
        initStyleOption(&rowOption, index);
        int right = option.rect.right();
        for (int column = 1; column < m_List.m_Model->columnCount(); ++column) {
            if (!m_List.isColumnHidden(column)) {
                right =
                    std::max(right, m_List.columnViewportPosition(column) + m_List.columnWidth(column) - 1);
            }
        }
        rowOption.rect.setRight(right);
        painter->save();
        m_List.DrawRow(*painter, rowOption, index.row());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (m_List.m_OwnerDrawn) {
            const int height = m_List.MeasureRow(option);
            if (height > 0) {
                size.setHeight(height);
            }
        }
        return size;
    }

private:
    CCustomListView& m_List;
};

CCustomListView::CCustomListView(QWidget* parent) : QTreeView(parent) {
    m_Model = new RowModel(*this);
    setModel(m_Model);
    m_Delegate = new Delegate(*this);
    setItemDelegate(m_Delegate);

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);

    viewport()->grabGesture(Qt::TapAndHoldGesture);
}

CCustomListView::~CCustomListView() = default;

void CCustomListView::SetOwnerDrawn(bool ownerDrawn) {
    m_OwnerDrawn = ownerDrawn;
    doItemsLayout();
    viewport()->update();
}

void CCustomListView::SetColumns(const QStringList& titles, const QList<int>& widths) {
    m_Model->SetTitles(titles);
    for (int column = 0; column < titles.size() && column < widths.size(); ++column) {
        setColumnWidth(column, widths.at(column));
    }
}

int CCustomListView::GetRowCount() const {
    return m_Model->rowCount();
}

int CCustomListView::InsertRow(int row, const QString& text, const QIcon& icon, void* itemData,
                               std::uint32_t tag) {
    row = std::clamp(row, 0, GetRowCount());
    m_Model->Insert(row, RowModel::Row{itemData, text, icon, tag});
    if (GetRowCount() == 1) {
        viewport()->update(); // the empty-list text goes away
    }
    return row;
}

void CCustomListView::SetRows(const std::vector<void*>& itemData, const std::vector<QIcon>& icons,
                              const std::vector<std::uint32_t>& tags) {
    std::vector<RowModel::Row> rows(itemData.size());
    for (std::size_t i = 0; i < itemData.size(); ++i) {
        rows[i].data = itemData[i];
        if (i < icons.size()) {
            rows[i].icon = icons[i];
        }
        if (i < tags.size()) {
            rows[i].tag = tags[i];
        }
    }
    m_Model->Reset(std::move(rows));
    viewport()->update();
}

void CCustomListView::SetRowText(int row, const QString& text) {
    if (row >= 0 && row < GetRowCount()) {
        m_Model->Rows()[row].text = text;
        m_Model->Changed(row);
    }
}

QString CCustomListView::GetRowText(int row) const {
    return row >= 0 && row < GetRowCount() ? RowText(row) : QString();
}

QIcon CCustomListView::GetRowIcon(int row) const {
    return row >= 0 && row < GetRowCount() ? m_Model->Rows()[row].icon : QIcon();
}

QString CCustomListView::RowText(int row) const {
    return m_Model->Rows()[row].text;
}

QVariant CCustomListView::CellData(int, int, int) const {
    return QVariant();
}

void CCustomListView::DeleteRow(int row) {
    if (row >= 0 && row < GetRowCount()) {
        // Left current, the view would move the selection to the next row; the list control
        // leaves nothing selected instead.
        if (currentIndex().row() == row) {
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
        m_Model->Remove(row, row);
        if (GetRowCount() == 0) {
            viewport()->update();
        }
    }
}

void CCustomListView::DeleteAllRows() {
    m_Model->Reset({});
    viewport()->update();
}

std::uint32_t CCustomListView::GetRowTag(int row) const {
    return row >= 0 && row < GetRowCount() ? m_Model->Rows()[row].tag : 0;
}

void* CCustomListView::GetItemData(int row) const {
    return row >= 0 && row < GetRowCount() ? m_Model->Rows()[row].data : nullptr;
}

int CCustomListView::FindItem(const void* itemData) const {
    const auto& rows = m_Model->Rows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].data == itemData) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

void CCustomListView::SortRows(const std::function<int(int rowA, int rowB)>& compare) {
    std::vector<int> order(static_cast<std::size_t>(GetRowCount()));
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::stable_sort(order.begin(), order.end(), [&compare](int a, int b) { return compare(a, b) < 0; });
    m_Model->Reorder(order);
}

void CCustomListView::ReorderRows(const std::vector<int>& order) {
    if (order.size() == static_cast<std::size_t>(GetRowCount())) {
        m_Model->Reorder(order);
    }
}

void CCustomListView::SetItemState(int row, int state, int mask) {
    const QModelIndex index = m_Model->index(row, 0);
    if (!index.isValid()) {
        return;
    }
    QItemSelectionModel* selection = selectionModel();
    if (mask & StateSelected) {
        if (state & StateSelected) {
            const auto how = selectionMode() == QAbstractItemView::SingleSelection
                                 ? QItemSelectionModel::ClearAndSelect
                                 : QItemSelectionModel::Select;
            selection->select(index, how | QItemSelectionModel::Rows);
        } else {
            selection->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        }
    }
    if (mask & StateFocused) {
        if (state & StateFocused) {
            selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        } else if (selection->currentIndex().row() == row) {
            selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    }
}

bool CCustomListView::IsRowSelected(int row) const {
    const QModelIndex index = m_Model->index(row, 0);
    return index.isValid() && selectionModel()->isSelected(index);
}

int CCustomListView::GetNextSelectedRow(int after) const {
    // From the selection's ranges, not a walk over every row: lists can be long.
    int next = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        const int first = std::max(range.top(), after + 1);
        if (first <= range.bottom() && (next < 0 || first < next)) {
            next = first;
        }
    }
    return next;
}

int CCustomListView::GetSelectedCount() const {
    return static_cast<int>(selectionModel()->selectedRows().size());
}

void CCustomListView::ClearSelection() {
    selectionModel()->clearSelection();
}

void CCustomListView::EnsureVisible(int row) {
    const QModelIndex index = m_Model->index(row, 0);
    if (index.isValid()) {
        scrollTo(index);
    }
}

int CCustomListView::HitTest(const QPoint& viewportPoint) const {
    if (!viewport()->rect().contains(viewportPoint)) {
        return -1;
    }
    QModelIndex index = indexAt(viewportPoint);
    if (!index.isValid()) {
        // Rows are selected across their whole width, beyond the last column as well.
        index = indexAt(QPoint(columnViewportPosition(0), viewportPoint.y()));
    }
    return index.isValid() ? index.row() : -1;
}

QRect CCustomListView::RowRect(int row) const {
    const QModelIndex index = m_Model->index(row, 0);
    return index.isValid() ? visualRect(index) : QRect();
}

void CCustomListView::StretchColumn(int column) {
    if (column < 0 || column >= m_Model->columnCount()) {
        return;
    }
    int others = 0;
    for (int c = 0; c < m_Model->columnCount(); ++c) {
        if (c != column && !isColumnHidden(c)) {
            others += columnWidth(c);
        }
    }
    setColumnWidth(column, std::max(0, viewport()->width() - others));
}

QSize CCustomListView::sizeHint() const {
    QSize size = QTreeView::sizeHint();
    const int rows = std::min(GetRowCount(), HintRows);
    if (rows == 0) {
        return size;
    }
    int height = 2 * frameWidth() + (isHeaderHidden() ? 0 : header()->sizeHint().height());
    for (int row = 0; row < rows; ++row) {
        height += std::max(0, sizeHintForRow(row));
    }
    size.setHeight(std::max(size.height(), height));
    return size;
}

void CCustomListView::ContextGesture(const QPoint& viewportPoint) {
    if (m_ContextMenuIndex < 0) {
        return;
    }
    OpenContextMenu(HitTest(viewportPoint), viewportPoint);
}

void CCustomListView::OpenContextMenu(int row, const QPoint& viewportPoint) {
    if (row >= 0) {
        EnsureVisible(row);
        if (selectionMode() == QAbstractItemView::SingleSelection) {
            SetItemState(row, StateSelected | StateFocused, StateSelected | StateFocused);
            EnsureVisible(row);
        } else if (!IsRowSelected(row)) {
            ClearSelection();
            SetItemState(row, StateSelected | StateFocused, StateSelected | StateFocused);
        }
    }
    ShowContextMenu(viewportPoint);
}

void CCustomListView::ShowContextMenu(const QPoint& viewportPoint) {
    int command = 0;
    {
        std::unique_ptr<QMenu> menu = LoadMenuResource(IDR_CONTEXT_MENUS, this);
        QMenu* popup = menu ? MenuPopup(*menu, m_ContextMenuIndex) : nullptr;
        if (!popup) {
            return;
        }
        PrepareContextMenu(*popup);
        if (QAction* chosen =
                CPrompter::Instance().TrackPopupMenu(*popup, viewport()->mapToGlobal(viewportPoint))) {
            command = chosen->data().toInt();
        }
    }
    // The menu is gone before the command runs: the command may change the rows.
    if (command != 0 && m_CommandHandler) {
        m_CommandHandler(command);
    }
}

void CCustomListView::PrepareContextMenu(QMenu&) {}

void CCustomListView::DrawRow(QPainter&, const QStyleOptionViewItem&, int) {}

int CCustomListView::MeasureRow(const QStyleOptionViewItem&) {
    return 0;
}

void CCustomListView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_ContextMenuIndex < 0) {
        event->ignore();
        return;
    }
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // From the keyboard the menu belongs to the selected row, if any.
        const int row = GetNextSelectedRow();
        if (row >= 0) {
            OpenContextMenu(row, RowRect(row).center());
        } else {
            ShowContextMenu(QPoint(0, 0));
        }
        return;
    }
    ContextGesture(event->pos());
}

void CCustomListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && m_CommandHandler) {
        // The key does what the list's Delete command does.
        event->accept();
        m_CommandHandler(ID_DELETE);
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        emit EnterPressed();
    }
    QTreeView::keyPressEvent(event);
    // A handled Enter must not reach a dialog's default button as well.
    if (enter && isSignalConnected(QMetaMethod::fromSignal(&CCustomListView::EnterPressed))) {
        event->accept();
    }
}

void CCustomListView::mousePressEvent(QMouseEvent* event) {
    m_GestureSincePress = false;
    m_PressFromTouch = event->device() && event->device()->type() == QInputDevice::DeviceType::TouchScreen;
    if (event->button() == Qt::RightButton && m_ContextMenuIndex >= 0) {
        // The context menu event that follows decides what happens to the selection.
        m_PressedRow = -1;
        event->accept();
        return;
    }
    m_PressedRow = event->button() == Qt::LeftButton ? HitTest(event->position().toPoint()) : -1;
    QTreeView::mousePressEvent(event);
}

void CCustomListView::mouseReleaseEvent(QMouseEvent* event) {
    const int row = event->button() == Qt::LeftButton ? HitTest(event->position().toPoint()) : -1;
    const bool click = row >= 0 && row == m_PressedRow && !m_GestureSincePress;
    m_PressedRow = -1;
    QTreeView::mouseReleaseEvent(event);
    if (click) {
        emit RowClicked(row);
    }
}

void CCustomListView::paintEvent(QPaintEvent* event) {
    if (GetRowCount() > 0) {
        QTreeView::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    // The system font as it is, not the list's own (bold) font merged into it.
    QFont systemFont = QApplication::font();
    systemFont.setResolveMask(QFont::AllPropertiesResolved);
    painter.setFont(systemFont);
    painter.setPen(palette().color(QPalette::Text));
    const QRect textRect(0, EmptyTextTop, viewport()->width(),
                         std::max(0, viewport()->height() - EmptyTextTop));
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     LoadStringResource(IDS_EMPTY_LIST));
}

void CCustomListView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    if (GetRowCount() == 0) {
        viewport()->update(); // the centred, wrapped text moves with the width
    }
}

bool CCustomListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Gesture && m_ContextMenuIndex >= 0) {
        auto* gestureEvent = static_cast<QGestureEvent*>(event);
        if (auto* hold = static_cast<QTapAndHoldGesture*>(gestureEvent->gesture(Qt::TapAndHoldGesture))) {
            gestureEvent->accept(hold);
            // A long press with the mouse stays a plain press; on a touch screen it is the
            // press-and-hold that opens the menu.
            if (hold->state() == Qt::GestureFinished && m_PressFromTouch) {
                m_GestureSincePress = true;
                ContextGesture(viewport()->mapFromGlobal(hold->position().toPoint()));
            }
            return true;
        }
    }
    return QTreeView::viewportEvent(event);
}
