#include "widgets/AppIcons.h"

#include "core/ResourceIds.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>

// The resources live in a static library: they must be pulled in by name.
static void InitResources() {
    Q_INIT_RESOURCE(carvelle);
}

namespace {

// Draws an SVG whose "currentColor" is the ink of the application's palette at the time it is
// drawn, so outlines and arrows show on a dark palette as on a light one.
class PaletteSvgEngine : public QIconEngine {
public:
    explicit PaletteSvgEngine(QByteArray svg) : m_Svg(std::move(svg)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QGuiApplication::palette();
        const QColor ink =
            palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                          mode == QIcon::Selected ? QPalette::HighlightedText : QPalette::WindowText);
        const QString key =
            QStringLiteral("%1x%2/%3/%4").arg(size.width()).arg(size.height()).arg(ink.name()).arg(mode);
        if (const auto found = m_Cache.constFind(key); found != m_Cache.constEnd())
            return *found;
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        if (!size.isEmpty()) {
            QByteArray svg = m_Svg;
            svg.replace("currentColor", ink.name().toLatin1());
            QSvgRenderer renderer(svg);
            QPainter painter(&picture);
            if (mode == QIcon::Disabled)
                painter.setOpacity(0.5);
            renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        // A handful of sizes and palettes at most.
        if (m_Cache.size() > 32)
            m_Cache.clear();
        m_Cache.insert(key, picture);
        return picture;
    }

    QIconEngine* clone() const override { return new PaletteSvgEngine(m_Svg); }
    QString key() const override { return QStringLiteral("CarvellePaletteSvg"); }

private:
    QByteArray m_Svg;
    QHash<QString, QPixmap> m_Cache;
};

} // namespace

QString IconResourcePath(int id) {
    switch (id) {
    case IDI_PROGRAM:
        return QStringLiteral(":/icons/carvelle.svg");
    case IDB_PRODUCT:
        return QStringLiteral(":/icons/product.svg");
    case IDI_REPAIR:
        return QStringLiteral(":/icons/repair.svg");
    case IDI_REMINDER:
        return QStringLiteral(":/icons/reminder.svg");
    case IDI_FUEL:
        return QStringLiteral(":/icons/fuel.svg");
    case IDI_EXPENSE:
        return QStringLiteral(":/icons/expense.svg");
    case IDI_TRIP:
        return QStringLiteral(":/icons/trip.svg");
    case IDI_DROP_ARROW:
        return QStringLiteral(":/icons/droparrow.svg");
    case IDI_CHARTS:
        return QStringLiteral(":/icons/charts.svg");
    default:
        return QString();
    }
}

QIcon LoadIconResource(int id) {
    static const bool initialised = (InitResources(), true);
    (void)initialised;
    const QString path = IconResourcePath(id);
    if (path.isEmpty())
        return QIcon();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    const QByteArray svg = file.readAll();
    // The icon takes the engine over.
    return svg.contains("currentColor") ? QIcon(new PaletteSvgEngine(svg)) : QIcon(path);
}
