#pragma once
// The caption band across the top of both views and of the full-screen dialogs.

#include <QString>

#include <functional>

class QFontMetrics;
class QPainter;
class QWidget;

enum TitleBandScheme {
    TitleBandView,   // button face band, window text caption
    TitleBandDialog, // window colour band, active caption colour caption
};

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
