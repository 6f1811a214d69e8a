#pragma once
// The Report dialog: the open vehicle's figures per month or year and the summary across vehicles,
// over the log's date range and type filter, in two sortable tables whose rows copy as text for a
// spreadsheet; "Print…" and "Export as PDF…" lay the report out with its charts on A4 or Letter.

#include "charts/CChartData.h"

#include "core/CFleetSummary.h"
#include "widgets/CFullScreenDialog.h"

class CEntryFilter;
class CFleetTableModel;
class CPeriodTableModel;
class CReportTable;
class QComboBox;
class QPagedPaintDevice;
class QPushButton;

class CDlgReport : public CFullScreenDialog {
    Q_OBJECT

public:
    // title names the vehicle; viewText says which range and entries are in view.
    CDlgReport(const CEntryFilter& filter, const QString& title, const QString& viewText,
               QWidget* parent = nullptr);
    ~CDlgReport() override;

    CReportTable* PeriodTable() const { return m_Periods; }
    CReportTable* FleetTable() const { return m_Vehicles; }
    CChartData::PeriodKind PeriodKind() const;
    void SetPeriodKind(CChartData::PeriodKind kind);

    // Copies the rows chosen in the table last used (the periods by default).
    void OnCopy();
    // The print dialog, then the report on the printer it gives.
    void OnPrint();
    // Asks for a file and writes the report there as PDF, on the paper usual in the locale.
    void OnExportPdf();
    // Paints the report on the device; false when it cannot be painted on.
    bool PrintOn(QPagedPaintDevice& device) const;

private:
    void ShowPeriods();

    CChartData m_Data;
    CFleetSummary m_Fleet;
    QString m_Title;
    QString m_ViewText;
    QString m_Folder;                           // the data file's: the PDF goes beside it
    CPeriodTableModel* m_PeriodModel = nullptr; // children
    CFleetTableModel* m_FleetModel = nullptr;
    CReportTable* m_Periods = nullptr;
    CReportTable* m_Vehicles = nullptr;
    CReportTable* m_LastUsed = nullptr;
    QComboBox* m_Period = nullptr;
};
