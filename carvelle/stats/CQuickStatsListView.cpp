#include "stats/CQuickStatsListView.h"

#include "core/CQuickStats.h"
#include "core/Units.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/DrawTitleBand.h"
#include "widgets/SharedFonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

// Below the value text, above the row's dividing line.
constexpr int RowBottomGap = 3;

} // namespace

CQuickStatsListView::CQuickStatsListView(QWidget* parent) : CCustomListView(parent) {
    setObjectName(QStringLiteral("quickStatsList"));
    SetContextMenuIndex(-1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetOwnerDrawn(true);
    SetColumns({QString()}, {0});
    for (int row = 0; row < RowCount; ++row)
        InsertRow(row, CQuickStats::FigureLabel(row), QIcon(), nullptr);
}

CQuickStatsListView::~CQuickStatsListView() = default;

void CQuickStatsListView::SetStats(const CQuickStats* stats) {
    m_Stats = stats;
    viewport()->update();
    SetItemState(0, StateSelected | StateFocused, StateSelected | StateFocused);
    EnsureVisible(0);
}

QString CQuickStatsListView::ValueText(int row) const {
    if (m_Stats == nullptr || row < 0 || row >= RowCount)
        return LoadStringResource(IDS_NOT_AVAILABLE);
    return m_Stats->FigureText(row);
}

void CQuickStatsListView::DrawRow(QPainter& painter, const QStyleOptionViewItem& option, int row) {
    // Palette roles only, so that a dark theme keeps the texts readable.
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter.fillRect(option.rect, palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter.setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));

    const QFont& bold = BoldFont();
    const QFont& normal = NormalFont();
    const QFontMetrics boldMetrics(bold);
    const QFontMetrics normalMetrics(normal);
    const int space = normalMetrics.horizontalAdvance(QLatin1Char(' '));
    const int left = option.rect.left() + space;
    const int width = std::max(0, option.rect.right() - space - left + 1);
    const int bottom = option.rect.bottom() - RowBottomGap;

    const QRect labelRect(left, option.rect.top(), width, boldMetrics.height());
    painter.setFont(bold);
    painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     CutTextToWidth(GetRowText(row), width, boldMetrics));

    const QRect valueRect(left, bottom - normalMetrics.height() + 1, width, normalMetrics.height());
    painter.setFont(normal);
    painter.drawText(valueRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     CutTextToWidth(ValueText(row), width, normalMetrics));

    painter.setPen(palette.color(QPalette::Mid));
    painter.drawLine(0, option.rect.bottom(), option.rect.right(), option.rect.bottom());
}

int CQuickStatsListView::MeasureRow(const QStyleOptionViewItem&) {
    const QFontMetrics bold(BoldFont());
    const QFontMetrics normal(NormalFont());
    return bold.height() + std::max(0, bold.leading()) + normal.height() + std::max(0, normal.leading()) +
           RowBottomGap;
}

void CQuickStatsListView::resizeEvent(QResizeEvent* event) {
    CCustomListView::resizeEvent(event);
    StretchColumn(0);
}
