#include "app/WindowPlacement.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "widgets/ScreenFit.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace {

// A first start without a screen to measure.
constexpr int kFirstWidth = 640;
constexpr int kFirstHeight = 480;
// Small enough for a small screen, big enough for the menu bar and a few rows.
constexpr int kMinimumWidth = 360;
constexpr int kMinimumHeight = 320;

} // namespace

void RestoreWindowPlacement(QMainWindow& window) {
    window.setMinimumSize(kMinimumWidth, kMinimumHeight);
    const std::optional<CAppSettings::WindowPlacement>& stored = TheSettings().MainWindow;
    QRect wanted = stored ? QRect(stored->Left, stored->Top, stored->Width, stored->Height) : QRect();
    // A window left on a screen that is no longer there comes back on the primary one.
    const QScreen* screen = stored ? ScreenFor(wanted) : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    if (!stored) {
        // About two thirds of the screen; placed by us, not later by the window manager, so the
        // first notices centre over it.
        wanted = QRect(QPoint(), room.isValid() ? room.size() * 2 / 3 : QSize(kFirstWidth, kFirstHeight));
        wanted.moveCenter(room.center());
    }
    // Larger text makes the menus and views ask for more than a size saved before.
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    window.setGeometry(FitInside(wanted, room, AssumedFrame(), least));
    if ((stored && stored->Maximized) || (room.isValid() && !FitsInside(least, room, AssumedFrame())))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void StoreWindowPlacement(const QMainWindow& window) {
    const bool maximized = window.isMaximized();
    const QRect normal = maximized || window.isFullScreen() ? window.normalGeometry() : window.geometry();
    if (!normal.isValid())
        return;
    TheSettings().MainWindow =
        CAppSettings::WindowPlacement{normal.x(), normal.y(), normal.width(), normal.height(), maximized};
}
