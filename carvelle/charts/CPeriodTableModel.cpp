#include "charts/CPeriodTableModel.h"

#include "core/CStringTable.h"
#include "core/Units.h"

#include <QLocale>

namespace {

// Runs of empty periods longer than this are one row.
constexpr std::size_t kLongestEmptyRun = 12;

QString Money(double value) {
    return FormatSum(value, kMoney);
}

} // namespace

CPeriodTableModel::CPeriodTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_Titles(ColumnTitles()) {}

QStringList CPeriodTableModel::ColumnTitles() {
    QStringList titles = LoadStringResource(IDS_REPORT_COLUMNS).split(u'|');
    titles.resize(ColumnCount);
    const QString distance = DistanceUnitName(true, true);
    titles[ColumnDistance] += QStringLiteral(" (%1)").arg(distance);
    titles[ColumnFuelVolume] += QStringLiteral(" (%1)").arg(VolumeUnitName(true, true));
    titles[ColumnCostPer100].replace(QStringLiteral("%s"), distance);
    return titles;
}

void CPeriodTableModel::SetPeriods(const std::vector<CFiguresOverTime::Period>& periods,
                                   const CFiguresOverTime::Period& total, CFiguresOverTime::PeriodKind kind) {
    beginResetModel();
    m_Kind = kind;
    m_Titles = ColumnTitles();
    m_Rows.clear();
    for (std::size_t i = 0; i < periods.size();) {
        std::size_t end = i;
        while (end < periods.size() && periods[end].Entries == 0)
            ++end;
        if (end - i > kLongestEmptyRun) {
            m_Rows.push_back({periods[i], periods[end - 1].First});
            i = end;
        } else {
            m_Rows.push_back({periods[i], QDate()});
            ++i;
        }
    }
    if (!m_Rows.empty())
        m_Rows.push_back({total, QDate()});
    endResetModel();
}

QString CPeriodTableModel::PeriodText(const QDate& first, const QDate& last) const {
    const QString format =
        m_Kind == CFiguresOverTime::PeriodKind::Month ? QStringLiteral("MMM yyyy") : QStringLiteral("yyyy");
    const QLocale locale;
    QString text = locale.toString(first, format);
    if (last.isValid())
        text += QStringLiteral(" \u2013 ") + locale.toString(last, format);
    return text;
}

int CPeriodTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int CPeriodTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CPeriodTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return QVariant();
    const auto row = static_cast<std::size_t>(index.row());
    const CFiguresOverTime::Period& period = m_Rows[row].figures;
    const bool total = row + 1 == m_Rows.size();
    if (role == PinnedRole)
        return total;
    if (role == Qt::TextAlignmentRole)
        return index.column() == ColumnPeriod ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                              : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != SortRole)
        return QVariant();
    const bool sorting = role == SortRole;
    switch (index.column()) {
    case ColumnPeriod:
        if (sorting)
            return period.First;
        if (total)
            return LoadStringResource(IDS_REPORT_TOTAL);
        return PeriodText(period.First, m_Rows[row].last);
    case ColumnEntries:
        return sorting ? QVariant(period.Entries) : QVariant(QLocale().toString(period.Entries));
    case ColumnDistance:
        return sorting ? QVariant(period.Distance) : QVariant(QLocale().toString(period.Distance));
    case ColumnFuelVolume:
        return sorting ? QVariant(period.FuelVolume) : QVariant(FormatSum(period.FuelVolume, kDecimalNumber));
    case ColumnFuelCost:
        return sorting ? QVariant(period.FuelCost) : QVariant(Money(period.FuelCost));
    case ColumnRepairCost:
        return sorting ? QVariant(period.RepairCost) : QVariant(Money(period.RepairCost));
    case ColumnTripCost:
        return sorting ? QVariant(period.TripCost) : QVariant(Money(period.TripCost));
    case ColumnExpenseCost:
        return sorting ? QVariant(period.ExpenseCost) : QVariant(Money(period.ExpenseCost));
    case ColumnTotalCost:
        return sorting ? QVariant(period.TotalCost) : QVariant(Money(period.TotalCost));
    case ColumnCostPer100:
        // A period without the figure sorts below every one with it.
        if (sorting)
            return period.CostPer100 ? *period.CostPer100 : -1.0;
        return period.CostPer100 ? Money(*period.CostPer100) : LoadStringResource(IDS_NOT_AVAILABLE);
    default:
        return QVariant();
    }
}

QVariant CPeriodTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    // The unit on a line of its own keeps the columns narrow; copied, it is one line again.
    return m_Titles.value(section)
        .replace(QStringLiteral(" ("), QStringLiteral("\n("))
        .replace(QStringLiteral(" 100 "), QStringLiteral("\n100 "));
}
