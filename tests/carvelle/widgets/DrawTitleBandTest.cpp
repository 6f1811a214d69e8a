#include "widgets/DrawTitleBand.h"

#include "widgets/SharedFonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Ten pixels per UTF-16 code unit: widths become easy to reason about.
int TenPerUnit(const QString& text) {
    return static_cast<int>(text.size()) * 10;
}

// True when every pixel of the rectangle has the colour.
bool AllPixels(const QImage& image, const QRect& rect, const QColor& colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (image.pixelColor(x, y) != colour) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(CutTextToWidth, KeepsFittingTextAndCutsLongTextToTheLongestFittingStart) {
    EXPECT_EQ(CutTextToWidth(QStringLiteral("abcde"), 50, TenPerUnit), QStringLiteral("abcde"));
    EXPECT_EQ(CutTextToWidth(QStringLiteral("abcdefghij"), 75, TenPerUnit), QStringLiteral("abcd..."));
    EXPECT_EQ(CutTextToWidth(QStringLiteral("abcdefghij"), 10, TenPerUnit), QStringLiteral("..."));
    EXPECT_EQ(CutTextToWidth(QString(), 0, TenPerUnit), QString());
}

TEST(CutTextToWidth, NeverSplitsASurrogatePair) {
    const QString face = QString::fromUcs4(U"\U0001F600", 1);
    const QString text = QStringLiteral("ab") + face + face + face + face;
    // Ten code units wide; a cut after the second face's high half would just fit 80 pixels.
    const QString cut = CutTextToWidth(text, 80, TenPerUnit);
    EXPECT_EQ(cut, QStringLiteral("ab") + face + QStringLiteral("..."));
    EXPECT_TRUE(cut.isValidUtf16());
    for (int width = 0; width <= 110; ++width) {
        EXPECT_TRUE(CutTextToWidth(text, width, TenPerUnit).isValidUtf16()) << width;
    }
}

TEST(CutTextToWidth, FitsWithRealFontMetrics) {
    const QFontMetrics metrics(SmallBoldFont());
    const QString caption = QStringLiteral("A rather long vehicle name that cannot fit (2004)");
    const int width = metrics.horizontalAdvance(caption) / 2;
    const QString cut = CutTextToWidth(caption, width, metrics);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LE(metrics.horizontalAdvance(cut), width);
    EXPECT_TRUE(caption.startsWith(cut.left(cut.size() - 3)));
}

TEST(DrawTitleBand, PaintsBandCaptionAndLineInTheSchemeColours) {
    QWidget widget;
    widget.resize(240, 60);
    const QPalette& palette = widget.palette();
    const int reserved = 60;
    const QString caption = QStringLiteral("My Vehicles with a caption far too long for the band");

    for (TitleBandScheme scheme : {TitleBandView, TitleBandDialog}) {
        QImage image(widget.size(), QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        const int height = DrawTitleBand(painter, widget, caption, scheme, reserved);
        painter.end();

        EXPECT_EQ(height, QFontMetrics(SmallBoldFont()).height() * 3 / 2);
        EXPECT_EQ(height, TitleBandHeight());
        const QColor band = palette.color(scheme == TitleBandView ? QPalette::Button : QPalette::Base);
        // The band is filled to the right edge, and nothing is written in the reserved room.
        EXPECT_TRUE(AllPixels(image, QRect(240 - reserved, 0, reserved, height), band));
        EXPECT_TRUE(AllPixels(image, QRect(0, 0, 8, height), band));
        // The caption was drawn somewhere between the left margin and the reserved room.
        EXPECT_FALSE(AllPixels(image, QRect(8, 0, 240 - reserved - 8, height), band));
        // The line under the band, across the whole width; below it nothing was touched.
        EXPECT_TRUE(AllPixels(image, QRect(0, height, 240, 1), palette.color(QPalette::WindowText)));
        EXPECT_EQ(image.pixelColor(0, height + 3), QColor(Qt::magenta));
    }
}

namespace {

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x3D, 0x3D, 0x3D));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Button, QColor(0x40, 0x40, 0x40));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Highlight, QColor(0x12, 0x60, 0x8A));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

QPalette LightPalette() {
    QPalette light(QColor(0xEF, 0xEF, 0xEF));
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    light.setColor(QPalette::Highlight, QColor(0x30, 0x8C, 0xC6));
    return light;
}

} // namespace

TEST(DrawTitleBand, CaptionsReadInLightDarkAndHighContrastPalettes) {
    // Black on white is 21:1, the same colour 1:1.
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(0x3D, 0x3D, 0x3D), QColor(0x3D, 0x3D, 0x3D)), 1.0, 0.001);
    // The dark palette's accent on its base reads at 1.6:1 only.
    EXPECT_LT(ContrastRatio(QColor(0x12, 0x60, 0x8A), QColor(0x3D, 0x3D, 0x3D)), 2.0);

    QPalette highContrast(Qt::white, Qt::black);
    highContrast.setColor(QPalette::Base, Qt::black);
    highContrast.setColor(QPalette::Text, Qt::white);
    highContrast.setColor(QPalette::Highlight, QColor(0x00, 0x00, 0xFF));
    for (const QPalette& palette : {LightPalette(), DarkPalette(), highContrast}) {
        for (TitleBandScheme scheme : {TitleBandView, TitleBandDialog}) {
            const TitleBandColours colours = TitleBandColoursFor(palette, scheme);
            EXPECT_GE(ContrastRatio(colours.caption, colours.band), kReadableText)
                << colours.caption.name().toStdString() << " on " << colours.band.name().toStdString();
        }
    }
    // Where the accent reads, it is kept as it is.
    QPalette deep = LightPalette();
    deep.setColor(QPalette::Highlight, QColor(0x0B, 0x3D, 0x91));
    EXPECT_EQ(TitleBandColoursFor(deep, TitleBandDialog).caption, QColor(0x0B, 0x3D, 0x91));

    // What is painted under the dark palette is that readable caption on the band.
    QWidget widget;
    widget.setPalette(DarkPalette());
    widget.resize(240, 60);
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    const int height = DrawTitleBand(painter, widget, QStringLiteral("Welcome!"), TitleBandDialog);
    painter.end();
    const TitleBandColours colours = TitleBandColoursFor(DarkPalette(), TitleBandDialog);
    double best = 1.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 240; ++x)
            best = std::max(best, ContrastRatio(image.pixelColor(x, y), colours.band));
    }
    EXPECT_GE(best, kReadableText);
}
