#pragma once
// A key of the soft-key bar at the bottom of a window or dialog: a command, or a popup that opens
// upward from the key. The popup of the key at the bar's far end lines up with that end, so it
// stays over the window; every popup stays on the screen and opens its submenus in the reading
// direction.

#include <QToolButton>

class QMenu;

class CSoftKeyButton : public QToolButton {
    Q_OBJECT

public:
    explicit CSoftKeyButton(QWidget* parent = nullptr);

    // The key's popup (not owned) opens lined up with the key's far end (in the reading
    // direction) instead of its near one.
    void SetPopup(QMenu* popup, bool alignFarEnd);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The style's own focus frame is faint in some palettes: a ring that reads on the bar.
    void paintEvent(QPaintEvent* event) override;

private:
    void PlacePopup(QMenu& popup) const;

    bool m_AlignFarEnd = false;
};
