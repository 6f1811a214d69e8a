#include "charts/CDlgReport.h"

#include "charts/CFleetTableModel.h"
#include "charts/CPeriodTableModel.h"
#include "charts/CReportDocument.h"
#include "charts/CReportTable.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "records/CEntryFilter.h"
#include "widgets/CPrompter.h"
#include "widgets/CWaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kFirstSize(860, 600);
// Printed charts are never wider than this many pixels.
constexpr int kPrintedChartWidth = 1200;
constexpr int kPdfResolution = 300;

QString Part(int id, int index) {
    return LoadStringResource(id).split(u'|').value(index);
}

} // namespace

CDlgReport::CDlgReport(const CEntryFilter& filter, const QString& title, const QString& viewText,
                       QWidget* parent)
    : CFullScreenDialog(IDD_REPORT, LoadStringResource(IDS_REPORT_TITLE), parent), m_Title(title),
      m_ViewText(viewText) {
    {
        CWaitCursor wait;
        CRecordServices& records = TheRecords();
        m_Data.Load(records, filter, kPrintedChartWidth);
        m_Fleet.Compute(records, filter);
        m_Folder = QFileInfo(records.DataFilePath()).absolutePath();
    }

    auto* caption = new QLabel(
        title.isEmpty() ? viewText : title + LoadStringResource(IDS_FILTER_SEPARATOR) + viewText, this);
    caption->setObjectName(QStringLiteral("viewText"));
    caption->setWordWrap(true);
    Body()->addWidget(caption);

    m_Period = new QComboBox(this);
    m_Period->setObjectName(QStringLiteral("period"));
    m_Period->addItems(LoadStringResource(IDS_CHART_PERIODS).split(u'|'));
    auto* periodRow = new QHBoxLayout();
    periodRow->addWidget(m_Period);
    periodRow->addStretch(1);
    Body()->addLayout(periodRow);

    m_PeriodModel = new CPeriodTableModel(this);
    m_Periods =
        new CReportTable(m_PeriodModel, CPeriodTableModel::SortRole, CPeriodTableModel::PinnedRole, this);
    m_Periods->setObjectName(QStringLiteral("periods"));
    Body()->addWidget(m_Periods, 3);
    auto* note = new QLabel(this);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);
    Body()->addWidget(note);

    auto* heading = new QLabel(Part(IDS_REPORT_HEADINGS, 2), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    Body()->addWidget(heading);
    m_FleetModel = new CFleetTableModel(this);
    m_FleetModel->SetSummary(m_Fleet);
    m_Vehicles = new CReportTable(m_FleetModel, CFleetTableModel::SortRole, 0, this);
    m_Vehicles->setObjectName(QStringLiteral("vehicles"));
    Body()->addWidget(m_Vehicles, 1);

    auto* buttons = new QHBoxLayout();
    const QStringList names{QStringLiteral("copy"), QStringLiteral("print"), QStringLiteral("exportPdf")};
    const QStringList texts = LoadStringResource(IDS_REPORT_BUTTONS).split(u'|');
    std::vector<QPushButton*> pushed;
    buttons->addStretch(1);
    for (qsizetype i = 0; i < names.size(); ++i) {
        auto* button = new QPushButton(texts.value(i), this);
        button->setObjectName(names[i]);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        pushed.push_back(button);
    }
    Body()->addLayout(buttons);

    m_LastUsed = m_Periods;
    for (CReportTable* table : {m_Periods, m_Vehicles}) {
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, table] { m_LastUsed = table; });
    }
    connect(m_Period, &QComboBox::currentIndexChanged, this, [this, note] {
        ShowPeriods();
        note->setText(m_PeriodModel->rowCount() == 0 ? m_Data.Note(CChartData::ChartCost, PeriodKind())
                                                     : QString());
        note->setVisible(!note->text().isEmpty());
    });
    connect(pushed[0], &QPushButton::clicked, this, &CDlgReport::OnCopy);
    connect(pushed[1], &QPushButton::clicked, this, &CDlgReport::OnPrint);
    connect(pushed[2], &QPushButton::clicked, this, &CDlgReport::OnExportPdf);

    ShowPeriods();
    note->setText(m_PeriodModel->rowCount() == 0 ? m_Data.Note(CChartData::ChartCost, PeriodKind())
                                                 : QString());
    note->setVisible(!note->text().isEmpty());
    m_Periods->setFocus();
    SetFirstSize(kFirstSize);
}

CDlgReport::~CDlgReport() = default;

CChartData::PeriodKind CDlgReport::PeriodKind() const {
    return m_Period->currentIndex() == 1 ? CChartData::PeriodKind::Year : CChartData::PeriodKind::Month;
}

void CDlgReport::SetPeriodKind(CChartData::PeriodKind kind) {
    m_Period->setCurrentIndex(kind == CChartData::PeriodKind::Year ? 1 : 0);
}

void CDlgReport::ShowPeriods() {
    m_PeriodModel->SetPeriods(m_Data.Periods(PeriodKind()), m_Data.Total(), PeriodKind());
}

void CDlgReport::OnCopy() {
    m_LastUsed->Copy();
}

bool CDlgReport::PrintOn(QPagedPaintDevice& device) const {
    CWaitCursor wait;
    const CReportDocument document(m_Data, m_Fleet, m_Title, m_ViewText);
    return document.Print(device, PeriodKind());
}

void CDlgReport::OnPrint() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(CReportDocument::PageSizeFor(QLocale()));
    printer.setDocName(m_Title);
    QPrintDialog dialog(&printer, this);
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.RunModal(dialog) != QDialog::Accepted)
        return;
    if (!PrintOn(printer))
        prompter.MessageBox(this, LoadStringResource(IDS_REPORT_NOT_PRINTED),
                            LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                            CPrompter::IconWarning);
}

void CDlgReport::OnExportPdf() {
    QString name = m_Title.isEmpty() ? LoadStringResource(IDS_REPORT_TITLE) : m_Title;
    name.replace(u'/', u'-');
    CPrompter& prompter = CPrompter::Instance();
    QString path = prompter.GetSaveFileName(this, LoadStringResource(IDS_PDF_FILE_FILTER),
                                            QDir(m_Folder).filePath(name + QStringLiteral(".pdf")));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    bool written = false;
    {
        QPdfWriter writer(path);
        writer.setPageSize(CReportDocument::PageSizeFor(QLocale()));
        writer.setResolution(kPdfResolution);
        writer.setTitle(name);
        writer.setCreator(LoadStringResource(IDS_PRODUCT_NAME));
        written = PrintOn(writer);
    }
    if (!written || QFileInfo(path).size() == 0)
        prompter.MessageBox(this, FormatStringResource(IDS_REPORT_NOT_WRITTEN, {path}),
                            LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                            CPrompter::IconWarning);
}
