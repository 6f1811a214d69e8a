#include "charts/CChartData.h"

#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/Units.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Bars narrower than this many pixels are grouped; never fewer than a year of months.
constexpr int kPixelsPerBar = 6;
constexpr int kLeastBars = 12;
// The economy axis leaves out points this many interquartile ranges beyond the middle half, when
// there are enough points to tell.
constexpr double kFarOff = 3.0;
constexpr std::size_t kLeastForRange = 8;

// The range of the values, a little wider so that no point sits on the frame; a flat line gets
// room above and below.
std::pair<double, double> Padded(double low, double high) {
    if (high - low < 1e-9) {
        const double room = std::max(1.0, std::abs(high) * 0.1);
        return {low - room, high + room};
    }
    const double room = (high - low) * 0.05;
    return {low - room, high + room};
}

QString Part(int id, int index) {
    return LoadStringResource(id).split(u'|').value(index);
}

} // namespace

void CChartData::Clear() {
    m_Loaded = true;
    m_Problem.clear();
    m_Economy.clear();
    m_EconomyAverage.clear();
    m_Prices.clear();
    m_EconomyRange = {0.0, 1.0};
    m_WithoutEconomy = 0;
    m_OffScale = 0;
    m_Years.clear();
    m_MonthBars = Bars();
    m_YearBars = Bars();
}

bool CChartData::Load(CRecordServices& records, const CEntryFilter& filter, int pixelWidth) {
    CEntryFilter selection(filter);
    std::vector<CDataLayer::FigureRow> rows;
    if (!records.LoadFigureRows(rows, selection)) {
        Build(std::span<const CDataLayer::FigureRow>(), filter.GetEntryType(), pixelWidth);
        m_Loaded = false;
        m_Problem = FormatStringResource(IDS_ENTRIES_NOT_READ, {records.DataFilePath()});
        return false;
    }
    Build(std::span<const CDataLayer::FigureRow>(rows), filter.GetEntryType(), pixelWidth);
    return true;
}

void CChartData::Build(const CObjectListT<CEntry>& entries, CEntry::Type typeShown, int pixelWidth) {
    Clear();
    m_TypeShown = typeShown;
    m_Months.Compute(entries, PeriodKind::Month);
    BuildAll(pixelWidth);
}

void CChartData::Build(std::span<const CDataLayer::FigureRow> entries, CEntry::Type typeShown,
                       int pixelWidth) {
    Clear();
    m_TypeShown = typeShown;
    m_Months.Compute(entries, PeriodKind::Month);
    BuildAll(pixelWidth);
}

void CChartData::BuildAll(int pixelWidth) {
    pixelWidth = std::max(pixelWidth, 1);
    BuildYears();
    BuildLines(pixelWidth);
    BuildBars(PeriodKind::Month, pixelWidth);
    BuildBars(PeriodKind::Year, pixelWidth);
}

const std::vector<CFiguresOverTime::Period>& CChartData::Periods(PeriodKind kind) const {
    return kind == PeriodKind::Year ? m_Years : m_Months.Periods();
}

void CChartData::BuildYears() {
    m_Years.clear();
    for (const CFiguresOverTime::Period& month : m_Months.Periods()) {
        if (m_Years.empty() || m_Years.back().First.year() != month.First.year()) {
            m_Years.emplace_back();
            m_Years.back().First = QDate(month.First.year(), 1, 1);
        }
        m_Years.back().Add(month);
    }
}

const CChartData::Bars& CChartData::CostBars(PeriodKind kind) const {
    return kind == PeriodKind::Year ? m_YearBars : m_MonthBars;
}

void CChartData::BuildLines(int pixelWidth) {
    const auto& fillUps = m_Months.FillUps();
    m_Economy.reserve(fillUps.size());
    m_Prices.reserve(fillUps.size());
    // The average is the economy of the last few fill-ups together (their distance over their
    // fuel), right for a unit where less is better too, where a mean of the figures is not.
    std::vector<std::pair<long long, double>> counted;
    for (std::size_t i = 0; i < fillUps.size(); ++i) {
        const CFiguresOverTime::FillUp& fillUp = fillUps[i];
        const double x = DayToX(fillUp.Day);
        if (fillUp.UnitPrice > 0.0f)
            m_Prices.emplace_back(x, fillUp.UnitPrice);
        if (!fillUp.Economy) {
            // A partial fill-up, one that starts the count anew and one without a reading have
            // none by rule; the others lack fuel or distance.
            if (fillUp.Leg.Distance && !fillUp.Partial)
                ++m_WithoutEconomy;
            continue;
        }
        m_Economy.emplace_back(x, *fillUp.Economy);
        counted.emplace_back(fillUp.Leg.Distance.value_or(0), fillUp.Leg.Volume);
        if (counted.size() < static_cast<std::size_t>(kAverageOf))
            continue;
        long long distance = 0;
        double volume = 0.0;
        for (auto last = counted.end() - kAverageOf; last != counted.end(); ++last) {
            distance += last->first;
            volume += last->second;
        }
        if (const std::optional<float> average = EconomyOf(distance, volume))
            m_EconomyAverage.emplace_back(x, *average);
    }

    if (!m_Economy.empty()) {
        std::vector<double> values;
        values.reserve(m_Economy.size());
        for (const QPointF& point : m_Economy)
            values.push_back(point.y());
        std::sort(values.begin(), values.end());
        double low = values.front();
        double high = values.back();
        if (values.size() >= kLeastForRange) {
            const double q1 = values[values.size() / 4];
            const double q3 = values[values.size() * 3 / 4];
            const double spread = std::max(q3 - q1, std::max(std::abs(q3) * 0.05, 1e-6));
            low = std::max(low, q1 - kFarOff * spread);
            high = std::min(high, q3 + kFarOff * spread);
            m_OffScale = static_cast<std::size_t>(std::count_if(
                values.begin(), values.end(), [low, high](double v) { return v < low || v > high; }));
        }
        m_EconomyRange = Padded(low, high);
        m_ShownLow = low;
        m_ShownHigh = high;
    }

    // Two points a bucket: no more points than pixels.
    const int buckets = std::max(1, pixelWidth / 2);
    m_Economy = Thin(std::move(m_Economy), buckets);
    m_EconomyAverage = Thin(std::move(m_EconomyAverage), buckets);
    m_Prices = Thin(std::move(m_Prices), buckets);
}

std::span<const int> CChartData::RoundSteps(PeriodKind kind) {
    static constexpr int kMonths[] = {1,   2,    3,    6,    12,    24,    60,    120,   240,
                                      600, 1200, 2400, 6000, 12000, 24000, 60000, 120000};
    static constexpr int kYears[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    if (kind == PeriodKind::Month)
        return kMonths;
    return kYears;
}

int CChartData::PeriodNumber(const QDate& first, PeriodKind kind) {
    return kind == PeriodKind::Month ? first.year() * 12 + first.month() - 1 : first.year();
}

void CChartData::BuildBars(PeriodKind kind, int pixelWidth) {
    const auto& periods = Periods(kind);
    Bars& bars = kind == PeriodKind::Year ? m_YearBars : m_MonthBars;
    bars = Bars();
    if (periods.empty())
        return;
    // Bars of a round number of periods (quarters, years, decades) that start on a round date,
    // as few as fit.
    const int most = std::max(kLeastBars, pixelWidth / kPixelsPerBar);
    const int first = PeriodNumber(periods.front().First, kind);
    const int last = first + static_cast<int>(periods.size()) - 1;
    int group = RoundSteps(kind).back();
    for (int step : RoundSteps(kind)) {
        if (last / step - first / step + 1 <= most) {
            group = step;
            break;
        }
    }
    bars.periodsPerBar = group;
    for (std::size_t i = 0; i < periods.size();) {
        const int start = (first + static_cast<int>(i)) / group * group;
        std::array<double, KindCount> cost{};
        double total = 0.0;
        long long distance = 0;
        for (; i < periods.size() && first + static_cast<int>(i) < start + group; ++i) {
            const CFiguresOverTime::Period& period = periods[i];
            cost[KindFuel] += period.FuelCost;
            cost[KindRepair] += period.RepairCost;
            cost[KindTrip] += period.TripCost;
            cost[KindOther] += period.ExpenseCost;
            total += period.TotalCost;
            distance += period.Distance;
        }
        bars.first.push_back(kind == PeriodKind::Month ? QDate(start / 12, start % 12 + 1, 1)
                                                       : QDate(start, 1, 1));
        for (int k = 0; k < KindCount; ++k)
            bars.cost[static_cast<std::size_t>(k)].push_back(cost[static_cast<std::size_t>(k)]);
        bars.total.push_back(total);
        bars.costPer100.push_back(distance >= 100
                                      ? std::optional<double>(total / (static_cast<double>(distance) / 100.0))
                                      : std::nullopt);
    }
}

bool CChartData::IsEmpty(Chart chart, PeriodKind kind) const {
    switch (chart) {
    case ChartEconomy:
        return m_Economy.empty();
    case ChartPrice:
        return m_Prices.empty();
    case ChartCost:
        return CostBars(kind).first.empty();
    case ChartCostPer100: {
        const auto& per100 = CostBars(kind).costPer100;
        return std::none_of(per100.begin(), per100.end(),
                            [](const auto& value) { return value.has_value(); });
    }
    default:
        return true;
    }
}

QString CChartData::Note(Chart chart, PeriodKind kind) const {
    if (!m_Loaded)
        return m_Problem;
    if (m_Months.Total().Entries == 0)
        return LoadStringResource(IDS_CHART_NO_ENTRIES);
    const std::size_t fillUps = m_Months.FillUps().size();
    const bool fuelShown = m_TypeShown == CEntry::EntryNone || m_TypeShown == CEntry::EntryFuel;
    const int periodPart = kind == PeriodKind::Year ? 1 : 0;
    const Bars& bars = CostBars(kind);
    const QString grouped = bars.periodsPerBar > 1
                                ? Part(IDS_CHART_GROUPED, periodPart)
                                      .replace(QStringLiteral("%s"), QString::number(bars.periodsPerBar))
                                : QString();
    QStringList lines;
    switch (chart) {
    case ChartEconomy:
    case ChartPrice:
        if (fillUps == 0)
            return LoadStringResource(fuelShown ? IDS_CHART_NO_FILL_UPS : IDS_CHART_FUEL_FILTERED);
        // Thousands of fill-ups on one day make a line stand on end.
        if (fillUps > 1 && m_Months.FillUps().front().Day == m_Months.FillUps().back().Day)
            lines << FormatStringResource(
                IDS_CHART_ONE_DAY,
                {QLocale().toString(m_Months.FillUps().front().Day, QLocale::ShortFormat)});
        if (chart == ChartPrice) {
            if (m_Prices.empty())
                return LoadStringResource(IDS_CHART_NO_PRICES);
            break;
        }
        if (fillUps == 1)
            return LoadStringResource(IDS_CHART_ONE_FILL_UP);
        if (m_Economy.empty())
            return LoadStringResource(IDS_CHART_NO_ECONOMY);
        if (m_WithoutEconomy > 0)
            lines << FormatStringResource(IDS_CHART_WITHOUT_ECONOMY,
                                          {QLocale().toString(static_cast<qulonglong>(m_WithoutEconomy))});
        if (m_OffScale > 0)
            lines << FormatStringResource(IDS_CHART_OFF_SCALE,
                                          {QLocale().toString(static_cast<qulonglong>(m_OffScale)),
                                           FormatNumber(static_cast<float>(m_ShownLow), kDecimalNumber),
                                           FormatNumber(static_cast<float>(m_ShownHigh), kDecimalNumber)});
        break;
    case ChartCost:
        lines << grouped;
        break;
    case ChartCostPer100:
        if (IsEmpty(chart, kind))
            return Part(IDS_CHART_NO_PER_100, periodPart)
                .replace(QStringLiteral("%s"), DistanceUnitName(true, true));
        lines << grouped;
        break;
    default:
        break;
    }
    lines.removeAll(QString());
    return lines.join(u' ');
}

std::vector<QPointF> CChartData::Thin(std::vector<QPointF> points, int buckets) {
    buckets = std::max(buckets, 1);
    if (points.size() <= static_cast<std::size_t>(buckets) * 2)
        return points;
    const double first = points.front().x();
    const double span = points.back().x() - first;
    const auto bucketOf = [first, span, buckets](double x) {
        if (!(span > 0.0))
            return 0;
        return std::clamp(static_cast<int>((x - first) / span * buckets), 0, buckets - 1);
    };
    std::vector<QPointF> thinned;
    thinned.reserve(static_cast<std::size_t>(buckets) * 2);
    std::size_t start = 0;
    while (start < points.size()) {
        const int bucket = bucketOf(points[start].x());
        std::size_t lowest = start;
        std::size_t highest = start;
        std::size_t end = start + 1;
        for (; end < points.size() && bucketOf(points[end].x()) == bucket; ++end) {
            if (points[end].y() < points[lowest].y())
                lowest = end;
            if (points[end].y() > points[highest].y())
                highest = end;
        }
        thinned.push_back(points[std::min(lowest, highest)]);
        if (lowest != highest)
            thinned.push_back(points[std::max(lowest, highest)]);
        start = end;
    }
    return thinned;
}
