#include "widgets/CMenuResource.h"

#include "core/ResourceIds.h"

#include <QAction>

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

const std::vector<MenuItem> kMainFrameMenu = {
    {kPopup,
     "New",
     {{ID_NEW_VEHICLE, "Vehicle..."},
      {kSeparator, ""},
      {ID_NEW_FUEL, "Fuel Entry..."},
      {ID_NEW_REPAIR, "Repair or Maintenance..."},
      {ID_NEW_TRIP, "Trip..."},
      {ID_NEW_EXPENSE, "Other Expense..."},
      {kSeparator, ""},
      {ID_NEW_REMINDER, "Reminder..."}}},
    {kPopup,
     "Menu",
     {{ID_EDIT, "Edit..."},
      {ID_DELETE, "Delete"},
      {kSeparator, ""},
      {ID_QUICK_STATS, "Quick Stats"},
      {kPopup,
       "View Date Range",
       {{ID_DATE_RANGE_ALL, "All Dates"},
        {ID_DATE_RANGE_LAST_WEEK, "Last One Week"},
        {ID_DATE_RANGE_LAST_TWO_WEEKS, "Last Two Weeks"},
        {ID_DATE_RANGE_MONTH_TO_DATE, "Month To Date"},
        {ID_DATE_RANGE_YEAR_TO_DATE, "Year To Date"},
        {ID_DATE_RANGE_CUSTOM, "Custom Dates..."}}},
      {kPopup,
       "View Entry Type",
       {{ID_ENTRY_TYPE_ALL, "All Entries"},
        {ID_ENTRY_TYPE_FUEL, "Fuel"},
        {ID_ENTRY_TYPE_REPAIR, "Repairs/Maintenance"},
        {ID_ENTRY_TYPE_TRIP, "Trips"},
        {ID_ENTRY_TYPE_EXPENSE, "Other Expenses"}}},
      {ID_MANAGE_REMINDERS, "Manage Reminders..."},
      {kSeparator, ""},
      {ID_IMPORT, "Import..."},
      {ID_EXPORT, "Export..."},
      {ID_BACKUP, "Back Up Data File..."},
      {ID_CHECK_DATA_FILE, "Check Data File..."},
      {ID_OPEN_DATA_FILE, "Open Data File..."},
      {kSeparator, ""},
      {ID_SELECT_VEHICLE, "Select Vehicle"},
      {ID_OPTIONS, "Options..."},
      {ID_APP_ABOUT, "About..."},
      {kSeparator, ""},
      {ID_APP_EXIT, "Exit"}}},
};

const std::vector<MenuItem> kReminderListMenu = {
    {ID_NEW_REMINDER, "New"},
    {kPopup, "Menu", {{ID_EDIT, "Edit"}, {ID_DELETE, "Delete"}, {kSeparator, ""}, {ID_DONE, "Done"}}},
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
    return menu;
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
