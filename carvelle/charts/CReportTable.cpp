#include "charts/CReportTable.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSortFilterProxyModel>
#include <QStyleOptionHeader>

#include <set>

namespace {

// Sorts by the raw figures; the pinned row goes last both ways.
class PinnedLastSort : public QSortFilterProxyModel {
public:
    PinnedLastSort(int pinnedRole, QObject* parent)
        : QSortFilterProxyModel(parent), m_PinnedRole(pinnedRole) {}

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        if (m_PinnedRole != 0) {
            const bool leftPinned = left.data(m_PinnedRole).toBool();
            const bool rightPinned = right.data(m_PinnedRole).toBool();
            if (leftPinned != rightPinned)
                return sortOrder() == Qt::AscendingOrder ? rightPinned : leftPinned;
        }
        return QSortFilterProxyModel::lessThan(left, right);
    }

private:
    int m_PinnedRole;
};

// Qt's header draws ascending as a down arrow; the log's drop-down shows it up (▲), and so does
// this one.
class UpForAscendingHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (option->sortIndicator == QStyleOptionHeader::SortDown)
            option->sortIndicator = QStyleOptionHeader::SortUp;
        else if (option->sortIndicator == QStyleOptionHeader::SortUp)
            option->sortIndicator = QStyleOptionHeader::SortDown;
    }
};

// A cell's text on one line: a tab or line end inside it would split the row.
QString Cell(const QVariant& value) {
    QString text = value.toString();
    text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
    return text;
}

} // namespace

CReportTable::CReportTable(QAbstractItemModel* model, int sortRole, int pinnedRole, QWidget* parent)
    : QTableView(parent) {
    auto* sorted = new PinnedLastSort(pinnedRole, this);
    sorted->setSourceModel(model);
    sorted->setSortRole(sortRole);
    sorted->setDynamicSortFilter(true);
    setModel(sorted);
    auto* header = new UpForAscendingHeader(Qt::Horizontal, this);
    // As the table's own header is: a click on a title sorts.
    header->setSectionsClickable(true);
    header->setHighlightSections(true);
    setHorizontalHeader(header);
    setSortingEnabled(true);
    sortByColumn(-1, Qt::AscendingOrder); // the model's own order until a title is clicked
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

QString CReportTable::SelectionText() const {
    const QAbstractItemModel* shown = model();
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty()) {
        for (int row = 0; row < shown->rowCount(); ++row)
            rows.insert(row);
    }
    QStringList lines;
    QStringList cells;
    for (int column = 0; column < shown->columnCount(); ++column)
        cells << Cell(shown->headerData(column, Qt::Horizontal));
    lines << cells.join(u'\t');
    for (int row : rows) {
        cells.clear();
        for (int column = 0; column < shown->columnCount(); ++column)
            cells << Cell(shown->index(row, column).data());
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

void CReportTable::Copy() const {
    QApplication::clipboard()->setText(SelectionText());
}

void CReportTable::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
