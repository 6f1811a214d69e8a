#pragma once
// Keeps windows and dialogs on the screen they open on: a saved place from a larger screen, a
// screen that has gone or moved, and text scaled up all leave the window's edges reachable.

#include <QMargins>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

// The window manager's frame around a window that has not been shown yet: a usual title bar and
// border.
QMargins AssumedFrame();

// Where a window whose inside is wanted goes so that it and its frame lie inside room: moved in
// first, then shrunk; never below minimum (which may then leave it larger than the room).
QRect FitInside(const QRect& wanted, const QRect& room, const QMargins& frame, const QSize& minimum);

// True when a window of this least size and its frame fit the room at all.
bool FitsInside(const QSize& minimum, const QRect& room, const QMargins& frame);

// The screen the rectangle lies on most, else the primary one; null without a screen.
QScreen* ScreenFor(const QRect& placed);

// The window's frame as the window manager drew it, else the assumed one.
QMargins FrameOf(const QWidget& window);

// Moves and shrinks a shown or about to be shown window into the available room of its screen;
// returns false when even its least size does not fit there.
bool FitOnScreen(QWidget& window);
