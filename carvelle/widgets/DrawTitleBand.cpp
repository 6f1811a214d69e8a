#include "widgets/DrawTitleBand.h"

#include "widgets/SharedFonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>

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

double ContrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](double channel) {
            return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        const QColor rgb = colour.toRgb();
        return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
    };
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor ReadableOn(const QColor& background, const QColor& wanted, const QColor& fallback, double ratio) {
    const QColor from = wanted.toRgb();
    const QColor to = fallback.toRgb();
    // In tenths: the accent keeps as much of its hue as it can.
    for (int step = 0; step <= 10; ++step) {
        const double t = step / 10.0;
        const QColor mixed =
            QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * t),
                             static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * t),
                             static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * t));
        if (ContrastRatio(mixed, background) >= ratio)
            return mixed;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

TitleBandColours TitleBandColoursFor(const QPalette& palette, TitleBandScheme scheme) {
    if (scheme == TitleBandView) {
        const QColor band = palette.color(QPalette::Button);
        return {band, ReadableOn(band, palette.color(QPalette::WindowText),
                                 palette.color(QPalette::ButtonText), kReadableText)};
    }
    // The accent colour as a heading, where it reads on the dialog; dark palettes often pair a
    // deep accent with a grey base.
    const QColor band = palette.color(QPalette::Base);
    return {band, ReadableOn(band, palette.color(QPalette::Highlight), palette.color(QPalette::Text),
                             kReadableText)};
}

int DrawTitleBand(QPainter& painter, const QWidget& widget, const QString& caption, TitleBandScheme scheme,
                  int reservedRight) {
    const QPalette& palette = widget.palette();
    const TitleBandColours colours = TitleBandColoursFor(palette, scheme);
    const QColor& band = colours.band;
    const QColor& text = colours.caption;

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
