#include "widgets/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QMargins AssumedFrame() {
    return QMargins(8, 40, 8, 8);
}

QRect FitInside(const QRect& wanted, const QRect& room, const QMargins& frame, const QSize& minimum) {
    if (!room.isValid())
        return wanted;
    const QRect inside = room.marginsRemoved(frame);
    QRect placed = wanted;
    placed.setSize(wanted.size().boundedTo(inside.size()).expandedTo(minimum));
    // Where it cannot fit, the top left stays on the screen: the title bar and menus are there.
    placed.moveLeft(std::clamp(placed.left(), inside.left(),
                               std::max(inside.left(), inside.right() + 1 - placed.width())));
    placed.moveTop(std::clamp(placed.top(), inside.top(),
                              std::max(inside.top(), inside.bottom() + 1 - placed.height())));
    return placed;
}

bool FitsInside(const QSize& minimum, const QRect& room, const QMargins& frame) {
    const QSize inside = room.marginsRemoved(frame).size();
    return minimum.width() <= inside.width() && minimum.height() <= inside.height();
}

QScreen* ScreenFor(const QRect& placed) {
    QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(placed);
        const qint64 area = common.isValid() ? qint64(common.width()) * common.height() : 0;
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best ? best : QGuiApplication::primaryScreen();
}

QMargins FrameOf(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins drawn(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // Before the window manager has framed it, both are the same.
    if (!window.isVisible() || drawn.isNull())
        return AssumedFrame();
    return drawn;
}

bool FitOnScreen(QWidget& window) {
    const QScreen* screen = ScreenFor(window.geometry());
    if (!screen)
        return true;
    const QRect room = screen->availableGeometry();
    const QMargins frame = FrameOf(window);
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize()).expandedTo(QSize(1, 1));
    const QRect placed = FitInside(window.geometry(), room, frame, least);
    if (placed != window.geometry())
        window.setGeometry(placed);
    return FitsInside(least, room, frame);
}
