#include "charts/CFleetTableModel.h"

#include "core/CStringTable.h"
#include "core/Units.h"

#include <QLocale>

CFleetTableModel::CFleetTableModel(QObject* parent) : QAbstractTableModel(parent), m_Titles(ColumnTitles()) {}

QStringList CFleetTableModel::ColumnTitles() {
    QStringList titles = LoadStringResource(IDS_FLEET_COLUMNS).split(u'|');
    titles.resize(ColumnCount);
    const QString distance = DistanceUnitName(true, true);
    titles[ColumnDistance] += QStringLiteral(" (%1)").arg(distance);
    titles[ColumnCostPer100].replace(QStringLiteral("%s"), distance);
    titles[ColumnEconomy] += QStringLiteral(" (%1)").arg(EconomyUnitLabel());
    return titles;
}

void CFleetTableModel::SetSummary(const CFleetSummary& summary) {
    beginResetModel();
    m_Titles = ColumnTitles();
    m_Rows = summary.Vehicles();
    endResetModel();
}

int CFleetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int CFleetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CFleetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return QVariant();
    const CFleetSummary::Vehicle& vehicle = m_Rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole)
        return index.column() == ColumnVehicle ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                               : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != SortRole)
        return QVariant();
    const bool sorting = role == SortRole;
    const CFiguresOverTime::Period& figures = vehicle.Figures;
    const QString notAvailable = LoadStringResource(IDS_NOT_AVAILABLE);
    switch (index.column()) {
    case ColumnVehicle:
        return sorting ? QVariant(vehicle.Name.toLower()) : QVariant(vehicle.Name);
    case ColumnEntries:
        return sorting ? QVariant(figures.Entries) : QVariant(QLocale().toString(figures.Entries));
    case ColumnDistance:
        return sorting ? QVariant(figures.Distance) : QVariant(QLocale().toString(figures.Distance));
    case ColumnTotalCost:
        return sorting ? QVariant(figures.TotalCost) : QVariant(FormatSum(figures.TotalCost, kMoney));
    case ColumnCostPer100:
        if (sorting)
            return figures.CostPer100 ? *figures.CostPer100 : -1.0;
        return figures.CostPer100 ? FormatSum(*figures.CostPer100, kMoney) : notAvailable;
    case ColumnEconomy:
        if (sorting)
            return vehicle.AverageEconomy ? static_cast<double>(*vehicle.AverageEconomy) : -1.0;
        return vehicle.AverageEconomy ? FormatNumber(*vehicle.AverageEconomy, kDecimalNumber) : notAvailable;
    default:
        return QVariant();
    }
}

QVariant CFleetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    // The unit on a line of its own keeps the columns narrow; copied, it is one line again.
    return m_Titles.value(section)
        .replace(QStringLiteral(" ("), QStringLiteral("\n("))
        .replace(QStringLiteral(" 100 "), QStringLiteral("\n100 "));
}
