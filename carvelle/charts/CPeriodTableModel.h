#pragma once
// The report's table of one vehicle per month or year: a row per period and one for the total,
// the figures as the user's locale shows them, raw numbers under SortRole. A long run of empty
// periods (a year typed wrong leaves centuries of them) is one row.

#include "core/CFiguresOverTime.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class CPeriodTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        ColumnPeriod,
        ColumnEntries,
        ColumnDistance,
        ColumnFuelVolume,
        ColumnFuelCost,
        ColumnRepairCost,
        ColumnTripCost,
        ColumnExpenseCost,
        ColumnTotalCost,
        ColumnCostPer100,
        ColumnCount
    };
    // The number or day a cell sorts by; true for the total row under PinnedRole.
    enum { SortRole = Qt::UserRole, PinnedRole };

    explicit CPeriodTableModel(QObject* parent = nullptr);

    // The periods of that kind, then their total.
    void SetPeriods(const std::vector<CFiguresOverTime::Period>& periods,
                    const CFiguresOverTime::Period& total, CFiguresOverTime::PeriodKind kind);
    CFiguresOverTime::PeriodKind Kind() const { return m_Kind; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The column titles, in the user's units.
    static QStringList ColumnTitles();

private:
    QString PeriodText(const QDate& first, const QDate& last) const;

    struct Row {
        CFiguresOverTime::Period figures;
        QDate last; // the first day of the last period of a run of empty ones; else invalid
    };

    CFiguresOverTime::PeriodKind m_Kind = CFiguresOverTime::PeriodKind::Month;
    std::vector<Row> m_Rows; // the periods, then the total
    QStringList m_Titles;
};
