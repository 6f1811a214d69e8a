#include "charts/CDlgCharts.h"

#include "charts/CChartFactory.h"

#include "core/AppData.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/CPrompter.h"
#include "widgets/CWaitCursor.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr QSize kFirstSize(860, 600);
constexpr QSize kLeastChart(360, 240);
// Images of a chart not yet laid out.
constexpr QSize kImageSize(960, 600);

// The most pixels a chart may get: the points are thinned to that.
int WidestChart() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 1920;
    return static_cast<int>(screen->availableGeometry().width() * screen->devicePixelRatio());
}

// Before the dialog is first laid out, the width it will most likely have.
int ChartWidth(const QWidget& view) {
    const int width =
        view.testAttribute(Qt::WA_Resized) || view.isVisible() ? view.width() : kFirstSize.width() - 40;
    return std::max(width, kLeastChart.width());
}

void ReplaceChart(QChartView& view, std::unique_ptr<QChart> chart) {
    QChart* old = view.chart();
    view.setChart(chart.release());
    // The view lets go of the chart it had, but does not delete it.
    delete old;
}

} // namespace

CDlgCharts::CDlgCharts(const CEntryFilter& filter, const QString& viewText, QWidget* parent)
    : CFullScreenDialog(IDD_CHARTS, LoadStringResource(IDS_CHARTS_TITLE), parent) {
    {
        CWaitCursor wait;
        CRecordServices& records = TheRecords();
        m_Data.Load(records, filter, WidestChart());
        m_Folder = QFileInfo(records.DataFilePath()).absolutePath();
    }
    m_Dark = CChartFactory::IsDark(palette());

    auto* caption = new QLabel(viewText, this);
    caption->setObjectName(QStringLiteral("viewText"));
    caption->setWordWrap(true);
    Body()->addWidget(caption);

    m_Tabs = new QTabWidget(this);
    m_Tabs->setObjectName(QStringLiteral("charts"));
    for (int i = 0; i < CChartData::ChartCount; ++i) {
        auto* page = new QWidget(m_Tabs);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new QChartView(page);
        view->setObjectName(QStringLiteral("chart%1").arg(i));
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(kLeastChart);
        view->installEventFilter(this);
        auto* note = new QLabel(page);
        note->setObjectName(QStringLiteral("note%1").arg(i));
        note->setWordWrap(true);
        layout->addWidget(view, 1);
        layout->addWidget(note);
        m_Views[static_cast<std::size_t>(i)] = view;
        m_Notes[static_cast<std::size_t>(i)] = note;
        m_Tabs->addTab(page, CChartFactory::ChartName(static_cast<CChartData::Chart>(i)));
    }
    Body()->addWidget(m_Tabs, 1);

    auto* row = new QHBoxLayout();
    m_Period = new QComboBox(this);
    m_Period->setObjectName(QStringLiteral("period"));
    m_Period->addItems(LoadStringResource(IDS_CHART_PERIODS).split(u'|'));
    m_Save = new QPushButton(LoadStringResource(IDS_CHART_SAVE), this);
    m_Save->setObjectName(QStringLiteral("save"));
    m_Save->setAutoDefault(false);
    row->addWidget(m_Period);
    row->addStretch(1);
    row->addWidget(m_Save);
    Body()->addLayout(row);

    connect(m_Period, &QComboBox::currentIndexChanged, this, [this] { Rebuild(); });
    connect(m_Tabs, &QTabWidget::currentChanged, this, [this] { UpdatePeriodChoice(); });
    connect(m_Save, &QPushButton::clicked, this, &CDlgCharts::OnSave);

    Rebuild();
    UpdatePeriodChoice();
    // The tabs take Ctrl+Tab and the arrow keys from the start.
    m_Tabs->setFocus();
    SetFirstSize(kFirstSize);
}

CDlgCharts::~CDlgCharts() = default;

QChartView* CDlgCharts::ChartView(CChartData::Chart chart) const {
    return chart >= 0 && chart < CChartData::ChartCount ? m_Views[static_cast<std::size_t>(chart)] : nullptr;
}

QLabel* CDlgCharts::Note(CChartData::Chart chart) const {
    return chart >= 0 && chart < CChartData::ChartCount ? m_Notes[static_cast<std::size_t>(chart)] : nullptr;
}

CChartData::PeriodKind CDlgCharts::PeriodKind() const {
    return m_Period->currentIndex() == 1 ? CChartData::PeriodKind::Year : CChartData::PeriodKind::Month;
}

void CDlgCharts::SetPeriodKind(CChartData::PeriodKind kind) {
    m_Period->setCurrentIndex(kind == CChartData::PeriodKind::Year ? 1 : 0);
}

void CDlgCharts::Rebuild() {
    for (int i = 0; i < CChartData::ChartCount; ++i)
        RebuildChart(static_cast<CChartData::Chart>(i));
}

void CDlgCharts::RebuildChart(CChartData::Chart chart) {
    const auto at = static_cast<std::size_t>(chart);
    const CChartData::PeriodKind kind = PeriodKind();
    QChartView& view = *m_Views[at];
    const int width = ChartWidth(view);
    m_Labels[at] = CChartFactory::LabelsFor(width);
    ReplaceChart(view, CChartFactory::Make(m_Data, chart, kind, m_Dark, width));
    const QString note = m_Data.Note(chart, kind);
    m_Notes[at]->setText(note);
    m_Notes[at]->setVisible(!note.isEmpty());
}

bool CDlgCharts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        for (int i = 0; i < CChartData::ChartCount; ++i) {
            QChartView* view = m_Views[static_cast<std::size_t>(i)];
            if (watched == view &&
                CChartFactory::LabelsFor(ChartWidth(*view)) != m_Labels[static_cast<std::size_t>(i)])
                RebuildChart(static_cast<CChartData::Chart>(i));
        }
    }
    return CFullScreenDialog::eventFilter(watched, event);
}

void CDlgCharts::UpdatePeriodChoice() {
    const int current = m_Tabs->currentIndex();
    m_Period->setEnabled(current == CChartData::ChartCost || current == CChartData::ChartCostPer100);
}

void CDlgCharts::OnSave() {
    const auto chart = static_cast<CChartData::Chart>(m_Tabs->currentIndex());
    const QString name = CChartFactory::ChartName(chart) + QStringLiteral(".png");
    CPrompter& prompter = CPrompter::Instance();
    QString path = prompter.GetSaveFileName(this, LoadStringResource(IDS_CHART_FILE_FILTER),
                                            QDir(m_Folder).filePath(name));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    if (!SaveChart(chart, path))
        prompter.MessageBox(this, FormatStringResource(IDS_CHART_NOT_SAVED, {path}),
                            LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                            CPrompter::IconWarning);
}

bool CDlgCharts::SaveChart(CChartData::Chart chart, const QString& path) const {
    QChartView* view = ChartView(chart);
    if (view == nullptr)
        return false;
    // A chart on a tab not yet shown has no size of its own.
    QSize size = view->size();
    if (size.width() < kLeastChart.width() || size.height() < kLeastChart.height())
        size = kImageSize;
    if (view->size() != size)
        view->resize(size);
    if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setTitle(CChartFactory::ChartName(chart));
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        view->render(&painter);
        return painter.end() && QFileInfo(path).size() > 0;
    }
    const qreal ratio = view->devicePixelRatioF();
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(view->palette().color(view->backgroundRole()));
    {
        QPainter painter(&image);
        view->render(&painter);
    }
    return image.save(path);
}

void CDlgCharts::changeEvent(QEvent* event) {
    CFullScreenDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::LocaleChange) {
        const bool dark = CChartFactory::IsDark(palette());
        if (dark != m_Dark || event->type() == QEvent::LocaleChange) {
            m_Dark = dark;
            if (m_Tabs != nullptr)
                Rebuild();
        }
    }
}
