#pragma once
// Makes the Qt charts of a CChartData: their series, axes in the user's units, labels in the
// locale's numbers and dates, the light or dark theme, and tooltips with the exact figure and day.

#include "charts/CChartData.h"

#include <QLocale>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QChart;
class QPalette;

class CChartFactory {
public:
    using PeriodKind = CChartData::PeriodKind;
    // The chart, titled, with its series named by objectName ("economy", "average", "price",
    // "cost", "per100"); the bars' sets follow the kinds. A chart without data has no series. Its
    // time axis has as many labels as fit in width pixels.
    static std::unique_ptr<QChart> Make(const CChartData& data, CChartData::Chart chart, PeriodKind kind,
                                        bool dark, double width, const QLocale& locale = QLocale());
    // The labels of a time axis that fit in a chart of that width without running into each other.
    static int LabelsFor(double width);

    // Dark when the window is darker than its text: the desktop's dark theme.
    static bool IsDark(const QPalette& palette);

    static QString ChartName(CChartData::Chart chart);

    // The tooltip of a point of the economy or price line.
    static QString PointTip(CChartData::Chart chart, const QPointF& point, const QLocale& locale = QLocale());
    // The tooltip of a bar: its period, the figure of the kind (KindCount: cost per 100) and the total.
    static QString BarTip(const CChartData::Bars& bars, PeriodKind kind, int barKind, int index,
                          const QLocale& locale = QLocale());
    // A bar's period as the axis names it ("Mar 2024", "2024").
    static QString PeriodText(const QDate& first, PeriodKind kind, const QLocale& locale = QLocale());

    // Ticks on a time axis from first to last, at whole days, months or years, at most most of
    // them, each with its label.
    static std::vector<std::pair<double, QString>> DayTicks(const QDate& first, const QDate& last, int most,
                                                            const QLocale& locale = QLocale());
};
