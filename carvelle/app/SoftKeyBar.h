#pragma once
// The main window's key bar at its foot, "New" at the left end and "Menu" at the right, and the
// F10 key that opens the menu bar as in the desktop's other programs.

class QMainWindow;
class QMenu;
class QToolBar;

// The bar's two keys open the first two popups of the menu.
QToolBar* AddSoftKeyBar(QMainWindow& window, QMenu& menu);
void AddMenuBarKey(QMainWindow& window);
