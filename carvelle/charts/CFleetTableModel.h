#pragma once
// The report's table across vehicles: each vehicle's entries, distance, total cost, cost per 100
// distance units and average economy over the range, as the user's locale shows them.

#include "core/CFleetSummary.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class CFleetTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        ColumnVehicle,
        ColumnEntries,
        ColumnDistance,
        ColumnTotalCost,
        ColumnCostPer100,
        ColumnEconomy,
        ColumnCount
    };
    enum { SortRole = Qt::UserRole };

    explicit CFleetTableModel(QObject* parent = nullptr);

    void SetSummary(const CFleetSummary& summary);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static QStringList ColumnTitles();

private:
    std::vector<CFleetSummary::Vehicle> m_Rows;
    QStringList m_Titles;
};
