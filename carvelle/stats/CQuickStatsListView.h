#pragma once
// The Quick Stats list: ten fixed two-line rows, a bold label over the figure's text. It shows
// a computed CQuickStats and has no context menu.

#include "widgets/CCustomListView.h"

class CQuickStats;

class CQuickStatsListView : public CCustomListView {
    Q_OBJECT

public:
    enum Row {
        RowDateRange,
        RowAverageEconomy,
        RowRecentEconomy,
        RowAverageFuelCost,
        RowDistance,
        RowFuelConsumed,
        RowFuelExpense,
        RowOverallExpense,
        RowConsumptionRate,
        RowCostOfOwnership,
        RowCount
    };

    explicit CQuickStatsListView(QWidget* parent = nullptr);
    ~CQuickStatsListView() override;

    // Shows the figures (not owned; null shows "N/A" everywhere) and selects the first row.
    void SetStats(const CQuickStats* stats);

    // The figure's text of a row, as drawn under its label.
    QString ValueText(int row) const;

protected:
    void DrawRow(QPainter& painter, const QStyleOptionViewItem& option, int row) override;
    int MeasureRow(const QStyleOptionViewItem& option) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const CQuickStats* m_Stats = nullptr;
};
