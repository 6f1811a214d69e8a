#include "widgets/CSoftKeyButton.h"

#include "widgets/DrawTitleBand.h"

#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <algorithm>

CSoftKeyButton::CSoftKeyButton(QWidget* parent) : QToolButton(parent) {
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void CSoftKeyButton::SetPopup(QMenu* popup, bool alignFarEnd) {
    m_AlignFarEnd = alignFarEnd;
    setMenu(popup);
    setPopupMode(QToolButton::InstantPopup);
    if (popup)
        popup->installEventFilter(this);
}

bool CSoftKeyButton::eventFilter(QObject* watched, QEvent* event) {
    // The popup has its size by now and is not on the screen yet: placing it here does not
    // flicker.
    if (event->type() == QEvent::Show && watched == menu() && isVisible())
        PlacePopup(*menu());
    return QToolButton::eventFilter(watched, event);
}

void CSoftKeyButton::PlacePopup(QMenu& popup) const {
    const QRect key(mapToGlobal(QPoint(0, 0)), size());
    const QSize size = popup.size();
    const bool farIsRight = !isRightToLeft();
    const bool alignRight = m_AlignFarEnd == farIsRight;
    QPoint at(alignRight ? key.right() + 1 - size.width() : key.left(), key.top() - size.height());
    const QScreen* screen = this->screen();
    if (!screen) {
        popup.move(at);
        return;
    }
    const QRect room = screen->availableGeometry();
    // Above the key when it fits there, else below it; always inside the screen.
    if (at.y() < room.top())
        at.setY(key.bottom() + 1);
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width())));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
    popup.move(at);
}

void CSoftKeyButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (!hasFocus() || !isEnabled())
        return;
    const QPalette& colours = palette();
    const QColor behind = colours.color(QPalette::Button);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(ReadableOn(behind, colours.color(QPalette::Highlight), colours.color(QPalette::ButtonText),
                        kReadableMark),
             2);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
}
