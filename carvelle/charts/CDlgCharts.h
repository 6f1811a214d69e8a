#pragma once
// The Charts dialog: the open vehicle's log, over the log's date range and type filter, as four
// charts on tabs (economy per fill-up with its moving average, fuel price, cost per month or year
// by kind, cost per 100 distance units), each with a line saying why it is empty or what it leaves
// out, and "Save as PNG/SVG…" for the chart in view. It changes nothing.

#include "charts/CChartData.h"

#include "widgets/CFullScreenDialog.h"

#include <array>

class CEntryFilter;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

class CDlgCharts : public CFullScreenDialog {
    Q_OBJECT

public:
    // The filter names the vehicle, its range and type; viewText says so above the charts.
    CDlgCharts(const CEntryFilter& filter, const QString& viewText, QWidget* parent = nullptr);
    ~CDlgCharts() override;

    const CChartData& Data() const { return m_Data; }
    QChartView* ChartView(CChartData::Chart chart) const;
    QLabel* Note(CChartData::Chart chart) const;
    CChartData::PeriodKind PeriodKind() const;
    void SetPeriodKind(CChartData::PeriodKind kind);

    // Asks for a file and saves the chart in view there: SVG for a name ending in .svg, else PNG.
    void OnSave();
    // False when the file could not be written.
    bool SaveChart(CChartData::Chart chart, const QString& path) const;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes the charts again: for another period, palette or locale.
    void Rebuild();
    // One chart, with as many axis labels as its view's width holds.
    void RebuildChart(CChartData::Chart chart);
    void UpdatePeriodChoice();

    CChartData m_Data;
    QString m_Folder;             // where the data file is: images are saved beside it
    QTabWidget* m_Tabs = nullptr; // child widgets
    std::array<QChartView*, CChartData::ChartCount> m_Views{};
    std::array<QLabel*, CChartData::ChartCount> m_Notes{};
    std::array<int, CChartData::ChartCount> m_Labels{}; // on each chart's time axis
    QComboBox* m_Period = nullptr;
    QPushButton* m_Save = nullptr;
    bool m_Dark = false;
};
