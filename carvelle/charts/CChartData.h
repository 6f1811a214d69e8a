#pragma once
// What the four charts draw, computed from one vehicle's figures over time: the points of the
// economy and price lines, thinned to the pixels there are to draw them on, and the bars of the
// cost charts, grouped when there are more periods than bars fit. Each chart has a line that says
// why it is empty or what it leaves out. No widget: the dialog, the printed report and the bench
// build the same charts from it.

#include "core/CFiguresOverTime.h"

#include "records/CEntry.h"

#include <QPointF>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class CEntryFilter;
class CRecordServices;
template <class T> class CObjectListT;

class CChartData {
public:
    using PeriodKind = CFiguresOverTime::PeriodKind;
    enum Chart { ChartEconomy, ChartPrice, ChartCost, ChartCostPer100, ChartCount };
    enum Kind { KindFuel, KindRepair, KindTrip, KindOther, KindCount };
    // The moving average of the economy line runs over this many fill-ups.
    static constexpr int kAverageOf = 5;

    struct Bars {
        int periodsPerBar = 1;
        // The first day of each bar; a bar of several periods starts on a round date, which may
        // be before the first entry.
        std::vector<QDate> first;
        std::array<std::vector<double>, KindCount> cost;
        std::vector<double> total;
        std::vector<std::optional<double>> costPer100; // empty below a distance of 100
    };

    // Loads the entries that the filter selects (one vehicle, its range and type) and builds;
    // false when they cannot be loaded (every chart is then empty and says so). pixelWidth is the
    // widest the charts will be drawn.
    bool Load(CRecordServices& records, const CEntryFilter& filter, int pixelWidth);
    // typeShown is the filter's entry type: the notes tell a log without fill-ups from one whose
    // filter leaves them out.
    void Build(const CObjectListT<CEntry>& entries, CEntry::Type typeShown, int pixelWidth);
    void Build(std::span<const CDataLayer::FigureRow> entries, CEntry::Type typeShown, int pixelWidth);

    // The fill-ups and the months.
    const CFiguresOverTime& Figures() const { return m_Months; }
    // Every month or year from the first entry's to the last's, and their sums.
    const std::vector<CFiguresOverTime::Period>& Periods(PeriodKind kind) const;
    const CFiguresOverTime::Period& Total() const { return m_Months.Total(); }

    // x is the local day as a Julian day number.
    const std::vector<QPointF>& Economy() const { return m_Economy; }
    const std::vector<QPointF>& EconomyAverage() const { return m_EconomyAverage; }
    const std::vector<QPointF>& Prices() const { return m_Prices; }
    // The economy axis: the range of the points but for those far off the rest.
    std::pair<double, double> EconomyRange() const { return m_EconomyRange; }
    const Bars& CostBars(PeriodKind kind) const;

    // Why the chart is empty, or what it leaves out; empty when there is nothing to say.
    QString Note(Chart chart, PeriodKind kind) const;
    bool IsEmpty(Chart chart, PeriodKind kind) const;

    static double DayToX(const QDate& day) { return static_cast<double>(day.toJulianDay()); }
    static QDate XToDay(double x) { return QDate::fromJulianDay(static_cast<qint64>(x + 0.5)); }

    // The round numbers of months or years that bars group and axes step by.
    static std::span<const int> RoundSteps(PeriodKind kind);
    // Months or years since year 0.
    static int PeriodNumber(const QDate& first, PeriodKind kind);

    // At most two points per bucket of the x range (the lowest and highest, in their order), so
    // a line keeps its look; unchanged when it has no more than that already.
    static std::vector<QPointF> Thin(std::vector<QPointF> points, int buckets);

private:
    void Clear();
    void BuildAll(int pixelWidth);
    void BuildYears();
    void BuildLines(int pixelWidth);
    void BuildBars(PeriodKind kind, int pixelWidth);

    bool m_Loaded = true;
    QString m_Problem; // why the entries are not there
    CEntry::Type m_TypeShown = CEntry::EntryNone;
    CFiguresOverTime m_Months;
    // Summed from the months: a year's distance is the sum of its months', as the highest reading
    // less the one before adds up; one pass over the entries fewer.
    std::vector<CFiguresOverTime::Period> m_Years;
    std::vector<QPointF> m_Economy;
    std::vector<QPointF> m_EconomyAverage;
    std::vector<QPointF> m_Prices;
    std::pair<double, double> m_EconomyRange{0.0, 1.0};
    double m_ShownLow = 0.0; // the figures the economy axis keeps, unpadded
    double m_ShownHigh = 0.0;
    std::size_t m_WithoutEconomy = 0; // fill-ups after the first without a figure
    std::size_t m_OffScale = 0;
    Bars m_MonthBars;
    Bars m_YearBars;
};
