#include "stats/CQuickStatsListView.h"

#include "stats/CQuickStats.h"
#include "stats/Units.h"

#include "resources/CStringTable.h"
#include "resources/ResourceIds.h"
#include "shell/AppGlobals.h"
#include "views/DrawTitleBand.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

// Below the value text, above the row's dividing line.
constexpr int RowBottomGap = 3;

constexpr int kLabels[CQuickStatsListView::RowCount] = {
    IDS_STAT_DATE_RANGE,        IDS_STAT_AVERAGE_ECONOMY, IDS_STAT_RECENT_ECONOMY,
    IDS_STAT_AVERAGE_FUEL_COST, IDS_STAT_DISTANCE,        IDS_STAT_FUEL_CONSUMED,
    IDS_STAT_FUEL_EXPENSE,      IDS_STAT_OVERALL_EXPENSE, IDS_STAT_CONSUMPTION_RATE,
    IDS_STAT_COST_OF_OWNERSHIP,
};

QString Money(float value) {
    return FormatNumber(value, true, false, true);
}

QString Decimal(float value) {
    return FormatNumber(value, true, false, false);
}

QString EconomyText(float economy) {
    if (!(economy > 0.0f))
        return LoadStringResource(IDS_NOT_AVAILABLE);
    return QStringLiteral("%1 %2").arg(Decimal(economy), EconomyUnitLabel());
}

} // namespace

CQuickStatsListView::CQuickStatsListView(QWidget* parent) : CCustomListView(parent) {
    setObjectName(QStringLiteral("list%1").arg(IDC_LIST));
    SetContextMenuIndex(-1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetOwnerDrawn(true);
    SetColumns({QString()}, {0});
    for (int row = 0; row < RowCount; ++row)
        InsertRow(row, LoadStringResource(kLabels[row]), QIcon(), nullptr);
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
    const CQuickStats& s = *m_Stats;
    const QString volume = VolumeUnitName(true, true);
    const QString distance = DistanceUnitName(false, true);
    switch (row) {
    case RowDateRange:
        return s.DateRangeText;
    case RowAverageEconomy:
        return EconomyText(s.AverageEconomy);
    case RowRecentEconomy: {
        QString text = EconomyText(s.MostRecentEconomy);
        if (s.MostRecentEconomy > 0.0f && !s.PreviousVendor.isEmpty())
            text += QStringLiteral(" (%1)").arg(s.PreviousVendor);
        return text;
    }
    case RowAverageFuelCost: {
        const float cost = s.TotalFuelVolume == 0.0f ? 0.0f : s.FuelExpense / s.TotalFuelVolume;
        return QStringLiteral("%1 per %2").arg(Money(cost), volume);
    }
    case RowDistance:
        return QStringLiteral("%1 %2").arg(FormatNumber(static_cast<float>(s.Distance), false, false, false),
                                           distance);
    case RowFuelConsumed:
        return QStringLiteral("%1 %2").arg(Decimal(s.FuelConsumed), volume);
    case RowFuelExpense:
        return Money(s.FuelExpense);
    case RowOverallExpense:
        return Money(s.OverallExpense);
    case RowConsumptionRate:
        return QStringLiteral("%1 %2 per 100 %3").arg(Decimal(s.ConsumptionRate), volume, distance);
    case RowCostOfOwnership:
        return QStringLiteral("%1 per 100 %2").arg(Money(s.CostOfOwnership), distance);
    default:
        return QString();
    }
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
