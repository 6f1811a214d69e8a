#pragma once
// The caption band across the top of both views and of the full-screen dialogs.

#include <QColor>
#include <QString>

#include <functional>
#include <initializer_list>

class QFontMetrics;
class QPalette;
class QPainter;
class QWidget;

enum TitleBandScheme {
    TitleBandView,   // button face band, window text caption
    TitleBandDialog, // window colour band, active caption colour caption
};

// How well two colours read on each other, from their relative luminance: 1 (the same) to 21
// (black on white). Text wants at least 4.5, a mark or a frame at least 3.
double ContrastRatio(const QColor& a, const QColor& b);
constexpr double kReadableText = 4.5;
constexpr double kReadableMark = 3.0;

// The wanted colour where it reads on the background at the ratio; else the wanted colour mixed
// towards the fallback as little as makes it read; else black or white, whichever reads better.
QColor ReadableOn(const QColor& background, const QColor& wanted, const QColor& fallback, double ratio);

struct TitleBandColours {
    QColor band;
    QColor caption;
};
// The band's and its caption's colours in the palette: in light, dark and high-contrast ones
// alike the caption keeps at least kReadableText against the band.
TitleBandColours TitleBandColoursFor(const QPalette& palette, TitleBandScheme scheme);

// Paints the band (and the line under it) across the widget's width and returns the band height.
// reservedRight keeps that many pixels at the band's right end free of caption text.
int DrawTitleBand(QPainter& painter, const QWidget& widget, const QString& caption, TitleBandScheme scheme,
                  int reservedRight = 0);

// The band height that DrawTitleBand returns, for laying controls out without painting.
int TitleBandHeight();

// True on a screen whose system icons are wider than 32 pixels: lines and margins grow there.
bool IsHighResolution(const QWidget& widget);

// Cuts text from its end, one character at a time, appending "...", until it is at most width
// wide as measured; text that fits is returned unchanged. A surrogate pair is never split.
QString CutTextToWidth(const QString& text, int width, const std::function<int(const QString&)>& measure);
QString CutTextToWidth(const QString& text, int width, const QFontMetrics& metrics);
