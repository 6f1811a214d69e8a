#include "widgets/CMenuResource.h"

#include "core/ResourceIds.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>

#include <vector>

namespace {

// A menu item: a command, a separator (id 0, no text) or a popup (id -1 with children).
struct MenuItem {
    int id;
    const char* text;
    std::vector<MenuItem> children = {};
};

constexpr int kSeparator = 0;
constexpr int kPopup = -1;

void AddItems(QMenu& menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.id == kSeparator) {
            menu.addSeparator();
        } else if (item.id == kPopup) {
            QMenu* popup = menu.addMenu(QString::fromUtf8(item.text));
            popup->setObjectName(QStringLiteral("popup") + QString::fromUtf8(item.text).remove(' '));
            AddItems(*popup, item.children);
        } else {
            QAction* action = menu.addAction(QString::fromUtf8(item.text));
            action->setData(item.id);
            action->setObjectName(QStringLiteral("cmd%1").arg(item.id));
        }
    }
}

const std::vector<MenuItem> kContextMenus = {
    {kPopup,
     "VehicleListView",
     {{ID_EDIT, "Edit"}, {ID_DELETE, "Delete"}, {kSeparator, ""}, {ID_NEW_VEHICLE, "New Vehicle..."}}},
    {kPopup, "EntryListView", {{ID_EDIT, "Edit"}, {kSeparator, ""}, {ID_DELETE, "Delete"}}},
    {kPopup,
     "Sort By",
     {{ID_SORT_DATE, "Date"},
      {ID_SORT_DESCRIPTION, "Description"},
      {ID_SORT_ODOMETER, "Odometer"},
      {ID_SORT_AMOUNT, "Amount"},
      {kSeparator, ""},
      {ID_SORT_ASCENDING, "Ascending"},
      {ID_SORT_DESCENDING, "Descending"}}},
};

const std::vector<MenuItem> kDoneCancel = {
    {ID_DONE, "Done"},
    {ID_CANCEL, "Cancel"},
};

// The texts carry the mnemonics of the menu bar, which shows these same actions.
const std::vector<MenuItem> kMainFrameMenu = {
    {kPopup,
     "New",
     {{ID_NEW_VEHICLE, "&Vehicle..."},
      {kSeparator, ""},
      {ID_NEW_FUEL, "&Fuel Entry..."},
      {ID_NEW_REPAIR, "&Repair or Maintenance..."},
      {ID_NEW_TRIP, "&Trip..."},
      {ID_NEW_EXPENSE, "&Other Expense..."},
      {kSeparator, ""},
      {ID_NEW_REMINDER, "&New Reminder..."}}},
    {kPopup,
     "Menu",
     {{ID_EDIT, "&Edit..."},
      {ID_DELETE, "&Delete"},
      {kSeparator, ""},
      {ID_QUICK_STATS, "&Quick Stats"},
      {ID_VIEW_CHARTS, "C&harts"},
      {ID_VIEW_REPORT, "Re&port..."},
      {kPopup,
       "View Date Range",
       {{ID_DATE_RANGE_ALL, "&All Dates"},
        {ID_DATE_RANGE_LAST_WEEK, "Last &One Week"},
        {ID_DATE_RANGE_LAST_TWO_WEEKS, "Last &Two Weeks"},
        {ID_DATE_RANGE_MONTH_TO_DATE, "&Month To Date"},
        {ID_DATE_RANGE_YEAR_TO_DATE, "&Year To Date"},
        {ID_DATE_RANGE_CUSTOM, "&Custom Dates..."}}},
      {kPopup,
       "View Entry Type",
       {{ID_ENTRY_TYPE_ALL, "&All Entries"},
        {ID_ENTRY_TYPE_FUEL, "&Fuel"},
        {ID_ENTRY_TYPE_REPAIR, "&Repairs/Maintenance"},
        {ID_ENTRY_TYPE_TRIP, "&Trips"},
        {ID_ENTRY_TYPE_EXPENSE, "&Other Expenses"}}},
      {ID_MANAGE_REMINDERS, "&Manage Reminders..."},
      {kSeparator, ""},
      {ID_IMPORT, "&Import..."},
      {ID_EXPORT, "&Export..."},
      {ID_BACKUP, "&Back Up Data File..."},
      {ID_CHECK_DATA_FILE, "&Check Data File..."},
      {ID_OPEN_DATA_FILE, "&Open Data File..."},
      {kSeparator, ""},
      {ID_SELECT_VEHICLE, "&Select Vehicle"},
      {ID_OPTIONS, "O&ptions..."},
      {ID_APP_ABOUT, "&About..."},
      {kSeparator, ""},
      {ID_APP_EXIT, "E&xit"}}},
};

// The desktop's keys for the main frame's commands, the same under every platform theme.
struct MenuShortcut {
    int id;
    QKeyCombination key;
    Qt::ShortcutContext context;
};
const MenuShortcut kMainFrameShortcuts[] = {
    {ID_OPEN_DATA_FILE, Qt::CTRL | Qt::Key_O, Qt::WindowShortcut},
    {ID_APP_EXIT, Qt::CTRL | Qt::Key_Q, Qt::WindowShortcut},
    {ID_NEW_FUEL, Qt::CTRL | Qt::Key_N, Qt::WindowShortcut},
    // Shown in the menu only: the lists act on the key themselves, on their own selection.
    {ID_DELETE, QKeyCombination(Qt::Key_Delete), Qt::WidgetShortcut},
};

// The main frame's menu bar: the menus a desktop user looks in, each holding commands of menu
// 230 (by number; the text here names a menu or a submenu only).
const std::vector<MenuItem> kMainFrameMenuBar = {
    {kPopup,
     "&File",
     {{ID_OPEN_DATA_FILE, ""},
      {ID_BACKUP, ""},
      {ID_CHECK_DATA_FILE, ""},
      {kSeparator, ""},
      {ID_IMPORT, ""},
      {ID_EXPORT, ""},
      {kSeparator, ""},
      {ID_APP_EXIT, ""}}},
    {kPopup, "&Edit", {{ID_EDIT, ""}, {ID_DELETE, ""}, {kSeparator, ""}, {ID_OPTIONS, ""}}},
    {kPopup,
     "&View",
     {{kPopup,
       "Entry &Type",
       {{ID_ENTRY_TYPE_ALL, ""},
        {ID_ENTRY_TYPE_FUEL, ""},
        {ID_ENTRY_TYPE_REPAIR, ""},
        {ID_ENTRY_TYPE_TRIP, ""},
        {ID_ENTRY_TYPE_EXPENSE, ""}}},
      {kPopup,
       "&Date Range",
       {{ID_DATE_RANGE_ALL, ""},
        {ID_DATE_RANGE_LAST_WEEK, ""},
        {ID_DATE_RANGE_LAST_TWO_WEEKS, ""},
        {ID_DATE_RANGE_MONTH_TO_DATE, ""},
        {ID_DATE_RANGE_YEAR_TO_DATE, ""},
        {ID_DATE_RANGE_CUSTOM, ""}}},
      {kSeparator, ""},
      // The figures of the log.
      {ID_QUICK_STATS, ""},
      {ID_VIEW_CHARTS, ""},
      {ID_VIEW_REPORT, ""},
      {kSeparator, ""},
      {ID_SELECT_VEHICLE, ""}}},
    {kPopup,
     "&New",
     {{ID_NEW_VEHICLE, ""},
      {kSeparator, ""},
      {ID_NEW_FUEL, ""},
      {ID_NEW_REPAIR, ""},
      {ID_NEW_TRIP, ""},
      {ID_NEW_EXPENSE, ""}}},
    {kPopup, "&Reminders", {{ID_NEW_REMINDER, ""}, {ID_MANAGE_REMINDERS, ""}}},
    {kPopup, "&Help", {{ID_APP_ABOUT, ""}}},
};

// Adds the commands' own actions, found in the given menu, to a menu of the bar. A command the
// menu does not hold is left out, and so is a separator that would then lead or double.
void AddBarItems(QMenu& menu, const std::vector<MenuItem>& items, QMenu& commands) {
    for (const MenuItem& item : items) {
        if (item.id == kSeparator) {
            const QList<QAction*> actions = menu.actions();
            if (!actions.isEmpty() && !actions.back()->isSeparator())
                menu.addSeparator();
        } else if (item.id == kPopup) {
            QMenu* popup = menu.addMenu(QString::fromUtf8(item.text));
            popup->setObjectName(QStringLiteral("bar") +
                                 QString::fromUtf8(item.text).remove('&').remove(' '));
            AddBarItems(*popup, item.children, commands);
        } else if (QAction* action = FindCommand(commands, item.id)) {
            menu.addAction(action);
        }
    }
    const QList<QAction*> actions = menu.actions();
    if (!actions.isEmpty() && actions.back()->isSeparator())
        menu.removeAction(actions.back());
}

const std::vector<MenuItem> kReminderListMenu = {
    {ID_NEW_REMINDER, "New"},
    {kPopup,
     "Menu",
     {{ID_EDIT, "Edit"},
      {ID_DELETE, "Delete"},
      {ID_REMINDER_WORK_DONE, "Done..."},
      {kSeparator, ""},
      {ID_DONE, "Done"}}},
};

} // namespace

std::unique_ptr<QMenu> LoadMenuResource(int id, QWidget* parent) {
    const std::vector<MenuItem>* items = nullptr;
    switch (id) {
    case IDR_CONTEXT_MENUS:
        items = &kContextMenus;
        break;
    case IDR_DONE_CANCEL:
        items = &kDoneCancel;
        break;
    case IDR_MAINFRAME_MENU:
        items = &kMainFrameMenu;
        break;
    case IDR_REMINDER_LIST_MENU:
        items = &kReminderListMenu;
        break;
    default:
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(QStringLiteral("menu%1").arg(id));
    AddItems(*menu, *items);
    if (id == IDR_MAINFRAME_MENU) {
        for (const MenuShortcut& shortcut : kMainFrameShortcuts) {
            if (QAction* action = FindCommand(*menu, shortcut.id)) {
                action->setShortcut(QKeySequence(shortcut.key));
                action->setShortcutContext(shortcut.context);
            }
        }
    }
    return menu;
}

void FillMenuBar(QMenuBar& bar, int id, QMenu& commands) {
    if (id != IDR_MAINFRAME_MENU)
        return;
    for (const MenuItem& item : kMainFrameMenuBar) {
        QMenu* menu = bar.addMenu(QString::fromUtf8(item.text));
        menu->setObjectName(QStringLiteral("bar") + QString::fromUtf8(item.text).remove('&'));
        AddBarItems(*menu, item.children, commands);
    }
}

QMenu* MenuPopup(QMenu& menu, int index) {
    const QList<QAction*> actions = menu.actions();
    int position = 0;
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            continue;
        }
        if (position++ == index) {
            return action->menu();
        }
    }
    return nullptr;
}

void ForEachCommand(QMenu& menu, const std::function<void(QAction&, int)>& visit) {
    for (QAction* action : menu.actions()) {
        if (QMenu* popup = action->menu()) {
            ForEachCommand(*popup, visit);
        } else if (!action->isSeparator()) {
            const int id = action->data().toInt();
            if (id != 0) {
                visit(*action, id);
            }
        }
    }
}

QAction* FindCommand(QMenu& menu, int commandId) {
    QAction* found = nullptr;
    ForEachCommand(menu, [&found, commandId](QAction& action, int id) {
        if (!found && id == commandId) {
            found = &action;
        }
    });
    return found;
}
