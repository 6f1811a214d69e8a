#include "charts/CReportDocument.h"

#include "charts/CChartFactory.h"
#include "charts/CFleetTableModel.h"
#include "charts/CPeriodTableModel.h"

#include "core/CStringTable.h"
#include "core/LocalDates.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr double kMarginMm = 15.0;
// Charts are laid out at a screen size, then scaled onto the page, so their fonts keep their
// proportions on paper of any resolution.
constexpr QSizeF kChartLayout(480.0, 300.0);
constexpr double kTableLargest = 8.0; // points
constexpr double kTableSmallest = 5.5;

QString Part(int id, int index) {
    return LoadStringResource(id).split(u'|').value(index);
}

QFont Font(double points, bool bold = false) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

class CReportDocument::Pager {
public:
    Pager(QPagedPaintDevice& device, QPainter* painter, int pages)
        : m_Device(device), m_Painter(painter), m_Pages(pages) {
        const QFontMetricsF footer(Font(7.0), &device);
        m_Area = QRectF(0.0, 0.0, device.width(), device.height() - footer.height() * 2.0);
        m_Y = m_Area.top();
    }

    QPaintDevice& Device() const { return m_Device; }
    // Null while the pages are only counted.
    QPainter* Painter() const { return m_Painter; }
    const QRectF& Area() const { return m_Area; }
    double Y() const { return m_Y; }
    void Down(double height) { m_Y += height; }
    double Mm(double mm) const { return mm * m_Device.logicalDpiY() / 25.4; }
    bool Fits(double height) const { return m_Y + height <= m_Area.bottom() + 0.5; }
    bool AtTop() const { return m_Y <= m_Area.top() + 0.5; }
    int Page() const { return m_Page; }
    // A page the device could not begin: the printer or the file has failed.
    bool Failed() const { return m_Failed; }

    void NextPage() {
        Footer();
        if (m_Painter != nullptr && !m_Device.newPage())
            m_Failed = true;
        ++m_Page;
        m_Y = m_Area.top();
    }
    void Finish() { Footer(); }

private:
    void Footer() {
        if (m_Painter == nullptr)
            return;
        m_Painter->save();
        m_Painter->setFont(Font(7.0));
        m_Painter->setPen(Qt::darkGray);
        const QRectF line(0.0, m_Area.bottom(), m_Area.width(), m_Device.height() - m_Area.bottom());
        m_Painter->drawText(line, Qt::AlignLeft | Qt::AlignBottom, LoadStringResource(IDS_PRODUCT_NAME));
        m_Painter->drawText(
            line, Qt::AlignRight | Qt::AlignBottom,
            FormatStringResource(IDS_REPORT_PAGE, {QLocale().toString(m_Page), QLocale().toString(m_Pages)}));
        m_Painter->restore();
    }

    QPagedPaintDevice& m_Device;
    QPainter* m_Painter;
    int m_Pages;
    int m_Page = 1;
    QRectF m_Area;
    double m_Y = 0.0;
    bool m_Failed = false;
};

namespace {

void RenderChart(QPainter& painter, const QRectF& target, std::unique_ptr<QChart> chart) {
    QGraphicsScene scene;
    QChart* shown = chart.release();
    scene.addItem(shown); // the scene owns it from here
    shown->setGeometry(QRectF(QPointF(), kChartLayout));
    if (QGraphicsLayout* layout = shown->layout())
        layout->activate();
    scene.setSceneRect(QRectF(QPointF(), kChartLayout));
    scene.render(&painter, target, QRectF(QPointF(), kChartLayout), Qt::KeepAspectRatio);
}

} // namespace

CReportDocument::CReportDocument(const CChartData& data, const CFleetSummary& fleet, const QString& title,
                                 const QString& viewText)
    : m_Data(data), m_Fleet(fleet), m_Title(title), m_ViewText(viewText) {}

QPageSize CReportDocument::PageSizeFor(const QLocale& locale) {
    static constexpr QLocale::Territory kLetter[] = {
        QLocale::UnitedStates, QLocale::Canada, QLocale::Mexico,    QLocale::Philippines,
        QLocale::Colombia,     QLocale::Chile,  QLocale::Venezuela, QLocale::PuertoRico};
    const QLocale::Territory territory = locale.territory();
    const bool letter = locale.measurementSystem() == QLocale::ImperialUSSystem ||
                        std::find(std::begin(kLetter), std::end(kLetter), territory) != std::end(kLetter);
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

namespace {

// A table over the model's rows, its titles repeated on every page it runs over; the font shrinks
// until the columns fit the page's width, and cells are cut short only below the smallest.
void PaintTable(CReportDocument::Pager& pager, const QAbstractItemModel& model, const QString& heading);

} // namespace

bool CReportDocument::Print(QPagedPaintDevice& device, CChartData::PeriodKind kind) const {
    device.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
    // Counted first, for "Page 1 of n".
    Pager count(device, nullptr, 0);
    Lay(count, kind);
    m_Pages = count.Page();
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    Pager pager(device, &painter, m_Pages);
    Lay(pager, kind);
    pager.Finish();
    return painter.end() && !pager.Failed();
}

void CReportDocument::Lay(Pager& pager, CChartData::PeriodKind kind) const {
    QPainter* painter = pager.Painter();
    const QRectF& area = pager.Area();
    const double width = area.width();

    // The vehicle, the range in view and the day it was printed.
    const QFont titleFont = Font(16.0, true);
    const QFont textFont = Font(9.0);
    const QFontMetricsF titleMetrics(titleFont, &pager.Device());
    const QFontMetricsF textMetrics(textFont, &pager.Device());
    const QString printed =
        Part(IDS_REPORT_HEADINGS, 4)
            .replace(QStringLiteral("%s"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    if (painter != nullptr) {
        painter->setPen(Qt::black);
        painter->setFont(titleFont);
        painter->drawText(QRectF(area.left(), pager.Y(), width, titleMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          titleMetrics.elidedText(m_Title, Qt::ElideRight, width * 0.7));
        painter->setFont(textFont);
        painter->drawText(QRectF(area.left(), pager.Y(), width, titleMetrics.height()),
                          Qt::AlignRight | Qt::AlignVCenter, printed);
    }
    pager.Down(titleMetrics.height() * 1.2);
    const QRectF viewRect = textMetrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, m_ViewText);
    if (painter != nullptr) {
        painter->setFont(textFont);
        painter->drawText(QRectF(area.left(), pager.Y(), width, viewRect.height()), Qt::TextWordWrap,
                          m_ViewText);
    }
    pager.Down(viewRect.height() + pager.Mm(5.0));

    // The four charts, two by two, each with its note beneath.
    const QFont noteFont = Font(7.0);
    const QFontMetricsF noteMetrics(noteFont, &pager.Device());
    const double gap = pager.Mm(5.0);
    const double cellWidth = (width - gap) / 2.0;
    const double chartHeight = cellWidth * kChartLayout.height() / kChartLayout.width();
    const double noteHeight = noteMetrics.lineSpacing() * 2.0;
    const double rowHeight = chartHeight + noteHeight + gap / 2.0;
    for (int row = 0; row < 2; ++row) {
        if (!pager.Fits(rowHeight))
            pager.NextPage();
        for (int column = 0; column < 2; ++column) {
            const auto chart = static_cast<CChartData::Chart>(row * 2 + column);
            const QRectF cell(area.left() + column * (cellWidth + gap), pager.Y(), cellWidth, chartHeight);
            if (painter == nullptr)
                continue;
            RenderChart(*painter, cell,
                        CChartFactory::Make(m_Data, chart, kind, false, kChartLayout.width()));
            painter->setFont(noteFont);
            painter->setPen(Qt::darkGray);
            painter->drawText(QRectF(cell.left(), cell.bottom(), cellWidth, noteHeight), Qt::TextWordWrap,
                              m_Data.Note(chart, kind));
            painter->setPen(Qt::black);
        }
        pager.Down(rowHeight);
    }

    CPeriodTableModel periods;
    periods.SetPeriods(m_Data.Periods(kind), m_Data.Total(), kind);
    PaintTable(pager, periods, Part(IDS_REPORT_HEADINGS, kind == CChartData::PeriodKind::Year ? 1 : 0));
    CFleetTableModel fleet;
    fleet.SetSummary(m_Fleet);
    PaintTable(pager, fleet, Part(IDS_REPORT_HEADINGS, 2));
}

namespace {

void PaintTable(CReportDocument::Pager& pager, const QAbstractItemModel& model, const QString& heading) {
    QPainter* painter = pager.Painter();
    const QRectF& area = pager.Area();
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    const double padding = pager.Mm(1.5);

    std::vector<QString> titles;
    for (int column = 0; column < columns; ++column)
        titles.push_back(model.headerData(column, Qt::Horizontal).toString().replace(u'\n', u' '));
    // Measured in bold, the wider: the title row and the total are bold.
    const auto widths = [&](const QFontMetricsF& bold) {
        std::vector<double> natural(static_cast<std::size_t>(columns), 0.0);
        for (int column = 0; column < columns; ++column) {
            double& widest = natural[static_cast<std::size_t>(column)];
            widest = bold.horizontalAdvance(titles[static_cast<std::size_t>(column)]);
            for (int row = 0; row < rows; ++row)
                widest = std::max(widest, bold.horizontalAdvance(model.index(row, column).data().toString()));
            widest += padding * 2.0;
        }
        return natural;
    };
    double points = kTableLargest;
    std::vector<double> columnWidths;
    for (;; points -= 0.5) {
        columnWidths = widths(QFontMetricsF(Font(points, true), &pager.Device()));
        if (std::accumulate(columnWidths.begin(), columnWidths.end(), 0.0) <= area.width() ||
            points <= kTableSmallest)
            break;
    }
    // Still too wide: every column gives up its share, and its cells are cut short.
    const double total = std::accumulate(columnWidths.begin(), columnWidths.end(), 0.0);
    if (total > area.width()) {
        for (double& w : columnWidths)
            w *= area.width() / total;
    }
    const QFont plain = Font(points);
    const QFont bold = Font(points, true);
    const QFontMetricsF metrics(bold, &pager.Device());
    const double rowHeight = metrics.height() + padding;

    const auto paintRow = [&](int row) {
        if (painter == nullptr)
            return;
        const bool titleRow = row < 0;
        const bool pinned = !titleRow && model.index(row, 0).data(CPeriodTableModel::PinnedRole).toBool();
        const QRectF line(area.left(), pager.Y(), area.width(), rowHeight);
        if (!titleRow && row % 2 == 1)
            painter->fillRect(line, QColor(242, 242, 242));
        painter->setFont(titleRow || pinned ? bold : plain);
        painter->setPen(Qt::black);
        double x = area.left();
        for (int column = 0; column < columns; ++column) {
            const double w = columnWidths[static_cast<std::size_t>(column)];
            const QRectF cell(x + padding, pager.Y(), w - padding * 2.0, rowHeight);
            QString text;
            int align = column == 0 ? Qt::AlignLeft : Qt::AlignRight;
            if (titleRow) {
                text = titles[static_cast<std::size_t>(column)];
            } else {
                const QModelIndex index = model.index(row, column);
                text = index.data().toString();
                const QVariant alignment = index.data(Qt::TextAlignmentRole);
                if (alignment.isValid())
                    align = alignment.toInt() & Qt::AlignHorizontal_Mask;
            }
            text = QFontMetricsF(painter->font(), &pager.Device())
                       .elidedText(text, Qt::ElideRight, cell.width());
            painter->drawText(cell, align | Qt::AlignVCenter, text);
            x += w;
        }
        if (titleRow || pinned) {
            const double at = titleRow ? line.bottom() : line.top();
            painter->drawLine(QPointF(line.left(), at), QPointF(line.right(), at));
        }
    };

    // The heading keeps company with the titles and at least three rows (all of a shorter
    // table): a table is not begun with a lone row at the foot of a page.
    const QFont headingFont = Font(11.0, true);
    const QFontMetricsF headingMetrics(headingFont, &pager.Device());
    const double headingHeight = headingMetrics.height() + pager.Mm(2.0);
    const int firstRows = std::min(rows, 3);
    if (!pager.AtTop() && !pager.Fits(headingHeight + rowHeight * (1 + firstRows)))
        pager.NextPage();
    if (painter != nullptr) {
        painter->setFont(headingFont);
        painter->setPen(Qt::black);
        painter->drawText(QRectF(area.left(), pager.Y(), area.width(), headingMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, heading);
    }
    pager.Down(headingHeight);
    paintRow(-1);
    pager.Down(rowHeight);
    for (int row = 0; row < rows; ++row) {
        if (!pager.Fits(rowHeight)) {
            pager.NextPage();
            paintRow(-1);
            pager.Down(rowHeight);
        }
        paintRow(row);
        pager.Down(rowHeight);
    }
    pager.Down(pager.Mm(6.0));
}

} // namespace
