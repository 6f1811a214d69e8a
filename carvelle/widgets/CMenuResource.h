#pragma once
// The program's menus, built from tables: each command action carries its command number in
// data() and the object name "cmd<number>".

#include <QMenu>

class QMenuBar;

#include <functional>
#include <memory>

// Menu 207 (context menus), 221 ("Done"/"Cancel"), 230 (the main frame's "New" and "Menu") or
// 231 (the reminder list's "New" and "Menu").
// The top-level actions of the returned menu hold the popups. Null for an unknown number.
std::unique_ptr<QMenu> LoadMenuResource(int id, QWidget* parent = nullptr);

// The menu bar of menu 230: File, Edit, View, New, Reminders, Help, holding the very actions of
// the given menu (as loaded from 230), so that both show one state and run one command.
void FillMenuBar(QMenuBar& bar, int id, QMenu& commands);

// The popup at the given top-level position, or null.
QMenu* MenuPopup(QMenu& menu, int index);

// Visits every command action of the menu and its popups with its command number.
void ForEachCommand(QMenu& menu, const std::function<void(QAction&, int)>& visit);

// The action of the given command anywhere in the menu and its popups, or null.
QAction* FindCommand(QMenu& menu, int commandId);
