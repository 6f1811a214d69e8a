#include "charts/CChartFactory.h"

#include "core/CStringTable.h"
#include "core/Units.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QLegend>
#include <QLineSeries>
#include <QPalette>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace {

using PeriodKind = CChartData::PeriodKind;

// Up to this many points a line shows each of them as a dot too.
constexpr std::size_t kDotsUpTo = 60;

QString Part(int id, int index) {
    return LoadStringResource(id).split(u'|').value(index);
}

QString WithoutColon(QString text) {
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}

QString EconomyText(double value) {
    return FormatSum(value, kDecimalNumber) + u' ' + EconomyUnitLabel();
}

// A value axis over the range, with round ticks and as many decimals as its steps need.
QValueAxis* ValueAxis(double low, double high, const QString& title) {
    auto* axis = new QValueAxis();
    axis->setRange(low, high);
    axis->applyNiceNumbers();
    const double span = axis->max() - axis->min();
    axis->setLabelFormat(span < 1.0    ? QStringLiteral("%.2f")
                         : span < 10.0 ? QStringLiteral("%.1f")
                                       : QStringLiteral("%.0f"));
    axis->setTitleText(title);
    return axis;
}

// Labels at chosen values of an axis from low to high.
QCategoryAxis* LabelAxis(double low, double high, const std::vector<std::pair<double, QString>>& labels) {
    auto* axis = new QCategoryAxis();
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setStartValue(low);
    double last = low;
    for (const auto& [value, label] : labels) {
        if (value <= last || value > high)
            continue;
        axis->append(label, value);
        last = value;
    }
    axis->setRange(low, high);
    return axis;
}

QLineSeries* Line(const std::vector<QPointF>& points, const QString& objectName, const QString& name) {
    auto* line = new QLineSeries();
    line->setObjectName(objectName);
    line->setName(name);
    line->replace(QList<QPointF>(points.begin(), points.end()));
    line->setPointsVisible(points.size() <= kDotsUpTo);
    return line;
}

// How long a tip stays while the pointer rests on it.
constexpr int kTipMs = 60 * 1000;

// A tip that stays while the pointer rests near where it was shown and goes once it moves away:
// the chart's own "hover left" comes as soon as the tip shows, too early to go by.
void ShowTipAtPointer(const QString& text) {
    const QPoint at = QCursor::pos();
    QWidget* under = QApplication::widgetAt(at);
    if (!under) {
        QToolTip::showText(at, text);
        return;
    }
    constexpr int kRest = 12;
    const QRect around(under->mapFromGlobal(at) - QPoint(kRest, kRest), QSize(2 * kRest, 2 * kRest));
    QToolTip::showText(at, text, under, around, kTipMs);
}

// The tooltip of the point nearest the pointer on the line.
void ShowTips(QLineSeries* line, CChartData::Chart chart, const QLocale& locale) {
    QObject::connect(line, &QXYSeries::hovered, line, [line, chart, locale](const QPointF& at, bool state) {
        if (!state)
            return;
        const QList<QPointF> points = line->points();
        if (points.isEmpty())
            return;
        auto next = std::lower_bound(points.begin(), points.end(), at.x(),
                                     [](const QPointF& point, double x) { return point.x() < x; });
        if (next == points.end() || (next != points.begin() && at.x() - (next - 1)->x() < next->x() - at.x()))
            --next;
        ShowTipAtPointer(line->name() + u'\n' + CChartFactory::PointTip(chart, *next, locale));
    });
}

// The x axis of the economy and price lines, a little wider than the days they cover.
QCategoryAxis* DayAxis(const std::vector<QPointF>& points, int most, const QLocale& locale) {
    const auto [low, high] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const double room = std::max(0.5, (high->x() - low->x()) * 0.02);
    QCategoryAxis* axis =
        LabelAxis(low->x() - room, high->x() + room,
                  CChartFactory::DayTicks(CChartData::XToDay(low->x() - room),
                                          CChartData::XToDay(high->x() + room), most, locale));
    axis->setGridLineVisible(true);
    return axis;
}

// Labels on bars that start on round dates (quarters, years, decades), as many as fit.
QCategoryAxis* BarAxis(const CChartData::Bars& bars, PeriodKind kind, int most, const QLocale& locale) {
    const auto count = static_cast<int>(bars.first.size());
    const auto number = [&bars, kind](int i) {
        return CChartData::PeriodNumber(bars.first[static_cast<std::size_t>(i)], kind);
    };
    int step = CChartData::RoundSteps(kind).back();
    for (int candidate : CChartData::RoundSteps(kind)) {
        if (candidate % bars.periodsPerBar != 0)
            continue;
        int labels = 0;
        for (int i = 0; i < count && labels <= most; ++i)
            labels += number(i) % candidate == 0 ? 1 : 0;
        if (labels <= most) {
            step = candidate;
            break;
        }
    }
    const bool yearsOnly = kind == PeriodKind::Year || step >= 12;
    std::vector<std::pair<double, QString>> labels;
    for (int i = 0; i < count; ++i) {
        if (number(i) % step != 0)
            continue;
        const QDate& first = bars.first[static_cast<std::size_t>(i)];
        labels.emplace_back(i, yearsOnly ? locale.toString(first, QStringLiteral("yyyy"))
                                         : CChartFactory::PeriodText(first, PeriodKind::Month, locale));
    }
    QCategoryAxis* axis = LabelAxis(-0.5, count - 0.5, labels);
    axis->setGridLineVisible(false);
    return axis;
}

void AddLines(QChart& chart, const CChartData& data, CChartData::Chart which, int most,
              const QLocale& locale) {
    const bool economy = which == CChartData::ChartEconomy;
    const std::vector<QPointF>& points = economy ? data.Economy() : data.Prices();
    if (points.empty())
        return;
    std::vector<QLineSeries*> lines{Line(points,
                                         economy ? QStringLiteral("economy") : QStringLiteral("price"),
                                         CChartFactory::ChartName(which))};
    if (economy && !data.EconomyAverage().empty())
        lines.push_back(
            Line(data.EconomyAverage(), QStringLiteral("average"),
                 FormatStringResource(IDS_CHART_AVERAGE, {QString::number(CChartData::kAverageOf)})));
    for (QLineSeries* line : lines) {
        chart.addSeries(line);
        ShowTips(line, which, locale);
    }
    double low = 0.0;
    double high = 0.0;
    QString title;
    if (economy) {
        std::tie(low, high) = data.EconomyRange();
        title = FormatStringResource(IDS_CHART_ECONOMY_AXIS, {EconomyUnitLabel()});
    } else {
        const auto [lowest, highest] = std::minmax_element(
            points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        const double room = std::max((highest->y() - lowest->y()) * 0.05, std::abs(highest->y()) * 0.02);
        low = std::max(0.0, lowest->y() - room);
        high = highest->y() + std::max(room, 0.01);
        title = WithoutColon(FuelUnitPriceLabel());
        if (title.isEmpty())
            title = LoadStringResource(IDS_CHART_PRICE_AXIS);
    }
    QCategoryAxis* x = DayAxis(points, most, locale);
    QValueAxis* y = ValueAxis(low, high, title);
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    for (QLineSeries* line : lines) {
        line->attachAxis(x);
        line->attachAxis(y);
    }
    chart.legend()->setVisible(lines.size() > 1);
}

void AddBars(QChart& chart, const CChartData& data, CChartData::Chart which, PeriodKind kind, int most,
             const QLocale& locale) {
    if (data.IsEmpty(which, kind))
        return;
    // The tooltips keep their own copy: the chart may outlive the data it was made from.
    const auto bars = std::make_shared<const CChartData::Bars>(data.CostBars(kind));
    QAbstractBarSeries* series = nullptr;
    double high = 0.0;
    QString title;
    const auto tips = [bars, kind, locale](QBarSet* set, int barKind) {
        QObject::connect(set, &QBarSet::hovered, set, [bars, kind, locale, barKind](bool state, int index) {
            if (state)
                ShowTipAtPointer(CChartFactory::BarTip(*bars, kind, barKind, index, locale));
        });
    };
    if (which == CChartData::ChartCost) {
        series = new QStackedBarSeries();
        series->setObjectName(QStringLiteral("cost"));
        for (int k = 0; k < CChartData::KindCount; ++k) {
            auto* set = new QBarSet(Part(IDS_CHART_KINDS, k));
            const std::vector<double>& values = bars->cost[static_cast<std::size_t>(k)];
            set->append(QList<qreal>(values.begin(), values.end()));
            series->append(set);
            tips(set, k);
        }
        high = *std::max_element(bars->total.begin(), bars->total.end());
        title = FormatStringResource(IDS_CHART_COST_AXIS, {CurrencySymbol()});
    } else {
        series = new QBarSeries();
        series->setObjectName(QStringLiteral("per100"));
        auto* set = new QBarSet(CChartFactory::ChartName(which));
        QList<qreal> values;
        values.reserve(static_cast<qsizetype>(bars->costPer100.size()));
        for (const std::optional<double>& value : bars->costPer100) {
            values.append(value.value_or(0.0));
            high = std::max(high, value.value_or(0.0));
        }
        set->append(values);
        series->append(set);
        tips(set, CChartData::KindCount);
        title = FormatStringResource(IDS_CHART_PER_100_AXIS, {DistanceUnitName(true, true)});
    }
    // A bar or two would fill the plot: they keep the width of one of six.
    series->setBarWidth(0.8 * std::min(1.0, static_cast<double>(bars->first.size()) / 6.0));
    chart.addSeries(series);
    QCategoryAxis* x = BarAxis(*bars, kind, most, locale);
    QValueAxis* y = ValueAxis(0.0, high > 0.0 ? high * 1.05 : 1.0, title);
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart.legend()->setVisible(which == CChartData::ChartCost);
}

} // namespace

std::unique_ptr<QChart> CChartFactory::Make(const CChartData& data, CChartData::Chart chart, PeriodKind kind,
                                            bool dark, double width, const QLocale& locale) {
    const int most = LabelsFor(width);
    auto made = std::make_unique<QChart>();
    made->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    made->setAnimationOptions(QChart::NoAnimation);
    made->setLocalizeNumbers(true);
    made->setLocale(locale);
    made->setTitle(ChartName(chart));
    made->legend()->setAlignment(Qt::AlignBottom);
    made->legend()->setVisible(false);
    switch (chart) {
    case CChartData::ChartEconomy:
    case CChartData::ChartPrice:
        AddLines(*made, data, chart, most, locale);
        break;
    case CChartData::ChartCost:
    case CChartData::ChartCostPer100:
        AddBars(*made, data, chart, kind, most, locale);
        break;
    default:
        break;
    }
    return made;
}

int CChartFactory::LabelsFor(double width) {
    // A label such as "Sept. 2025" and the room around it.
    constexpr double kPixelsPerLabel = 110.0;
    return std::clamp(static_cast<int>(width / kPixelsPerLabel), 3, 10);
}

bool CChartFactory::IsDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QString CChartFactory::ChartName(CChartData::Chart chart) {
    return Part(IDS_CHART_NAMES, chart).replace(QStringLiteral("%s"), DistanceUnitName(true, true));
}

QString CChartFactory::PointTip(CChartData::Chart chart, const QPointF& point, const QLocale& locale) {
    const QString day = locale.toString(CChartData::XToDay(point.x()), QLocale::ShortFormat);
    // A price is quoted to a tenth of a cent.
    const QString value = chart == CChartData::ChartEconomy
                              ? EconomyText(point.y())
                              : locale.toCurrencyString(point.y(), QString(), 3);
    return FormatStringResource(IDS_CHART_TIP, {day, value});
}

QString CChartFactory::BarTip(const CChartData::Bars& bars, PeriodKind kind, int barKind, int index,
                              const QLocale& locale) {
    if (index < 0 || static_cast<std::size_t>(index) >= bars.first.size())
        return QString();
    const auto at = static_cast<std::size_t>(index);
    QString period = PeriodText(bars.first[at], kind, locale);
    if (bars.periodsPerBar > 1) {
        const int more = bars.periodsPerBar - 1;
        const QDate last =
            kind == PeriodKind::Month ? bars.first[at].addMonths(more) : bars.first[at].addYears(more);
        period += QStringLiteral(" \u2013 ") + PeriodText(last, kind, locale);
    }
    const QString total = FormatSum(bars.total[at], kMoney);
    if (barKind >= CChartData::KindCount) {
        const std::optional<double>& per100 = bars.costPer100[at];
        const QString value = per100 ? FormatSum(*per100, kMoney) : LoadStringResource(IDS_NOT_AVAILABLE);
        return FormatStringResource(IDS_CHART_PER_100_TIP,
                                    {period, ChartName(CChartData::ChartCostPer100), value, total});
    }
    return FormatStringResource(IDS_CHART_BAR_TIP,
                                {period, Part(IDS_CHART_KINDS, barKind),
                                 FormatSum(bars.cost[static_cast<std::size_t>(barKind)][at], kMoney), total});
}

QString CChartFactory::PeriodText(const QDate& first, PeriodKind kind, const QLocale& locale) {
    return locale.toString(first,
                           kind == PeriodKind::Month ? QStringLiteral("MMM yyyy") : QStringLiteral("yyyy"));
}

std::vector<std::pair<double, QString>> CChartFactory::DayTicks(const QDate& first, const QDate& last,
                                                                int most, const QLocale& locale) {
    std::vector<std::pair<double, QString>> ticks;
    if (!first.isValid() || !last.isValid() || last < first)
        return ticks;
    most = std::max(most, 1);
    // Days, then months, then years, the first step that gives no more than most ticks.
    enum Unit { Days, Months, Years };
    static constexpr std::pair<Unit, int> kSteps[] = {
        {Days, 1},    {Days, 2},    {Days, 7},    {Days, 14},    {Months, 1},   {Months, 2},   {Months, 3},
        {Months, 6},  {Years, 1},   {Years, 2},   {Years, 5},    {Years, 10},   {Years, 20},   {Years, 50},
        {Years, 100}, {Years, 200}, {Years, 500}, {Years, 1000}, {Years, 2000}, {Years, 5000}, {Years, 10000},
    };
    const auto collect = [&first, &last, most](Unit unit, int step, std::vector<QDate>& days) {
        days.clear();
        QDate day;
        if (unit == Days) {
            day = first;
        } else if (unit == Months) {
            day = QDate(first.year(), first.month(), 1);
            while ((day.year() * 12 + day.month() - 1) % step != 0 || day < first)
                day = day.addMonths(1);
        } else {
            int year = first.year() + (first.month() == 1 && first.day() == 1 ? 0 : 1);
            year += (step - year % step) % step;
            day = QDate(year, 1, 1);
        }
        while (day.isValid() && day <= last) {
            days.push_back(day);
            if (static_cast<int>(days.size()) > most)
                return false;
            day = unit == Days     ? day.addDays(step)
                  : unit == Months ? day.addMonths(step)
                                   : day.addYears(step);
        }
        return true;
    };
    std::vector<QDate> days;
    Unit unit = Years;
    for (const auto& [candidate, step] : kSteps) {
        if (collect(candidate, step, days)) {
            unit = candidate;
            break;
        }
    }
    for (const QDate& day : days) {
        const QString label = unit == Days     ? locale.toString(day, QLocale::ShortFormat)
                              : unit == Months ? locale.toString(day, QStringLiteral("MMM yyyy"))
                                               : locale.toString(day, QStringLiteral("yyyy"));
        ticks.emplace_back(CChartData::DayToX(day), label);
    }
    return ticks;
}
