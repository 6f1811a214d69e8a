#include "widgets/DrawTitleBand.h"

#include "widgets/SharedFonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int CaptionLeft = 8;
const QString Ellipsis = QStringLiteral("...");

} // namespace

QString CutTextToWidth(const QString& text, int width, const std::function<int(const QString&)>& measure) {
    if (measure(text) <= width) {
        return text;
    }
    qsizetype keep = text.size();
    while (keep > 0) {
        --keep;
        // Dropping only the low half of a pair would leave a broken character behind.
        if (keep > 0 && text.at(keep).isLowSurrogate() && text.at(keep - 1).isHighSurrogate()) {
            --keep;
        }
        QString candidate = text.left(keep) + Ellipsis;
        if (measure(candidate) <= width) {
            return candidate;
        }
    }
    return Ellipsis;
}

QString CutTextToWidth(const QString& text, int width, const QFontMetrics& metrics) {
    return CutTextToWidth(text, width, [&metrics](const QString& s) { return metrics.horizontalAdvance(s); });
}

int TitleBandHeight() {
    const QFontMetrics metrics(SmallBoldFont());
    return metrics.height() * 3 / 2;
}

bool IsHighResolution(const QWidget& widget) {
    return widget.style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, &widget) > 32;
}

int DrawTitleBand(QPainter& painter, const QWidget& widget, const QString& caption, TitleBandScheme scheme,
                  int reservedRight) {
    const QPalette& palette = widget.palette();
    const QColor band =
        scheme == TitleBandView ? palette.color(QPalette::Button) : palette.color(QPalette::Base);
    const QColor text =
        scheme == TitleBandView ? palette.color(QPalette::WindowText) : palette.color(QPalette::Highlight);

    const int height = TitleBandHeight();
    const int width = widget.width();

    painter.save();
    painter.fillRect(QRect(0, 0, width, height), band);

    painter.setFont(SmallBoldFont());
    painter.setPen(text);
    const QRect textRect(CaptionLeft, 0, std::max(0, width - reservedRight - CaptionLeft), height);
    const QString shown = CutTextToWidth(caption, textRect.width(), painter.fontMetrics());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);

    // The line lies on the band's bottom edge, the first row below the band itself.
    const int lineWidth = IsHighResolution(widget) ? 2 : 1;
    painter.fillRect(QRect(0, height, width, lineWidth), palette.color(QPalette::WindowText));
    painter.restore();
    return height;
}
