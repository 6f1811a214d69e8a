#pragma once
// The frame's commands: which handler runs for each command, and the state table that says which
// commands are enabled and which radio item is checked. The states are set on every
// menu that shows the commands, each time one of its popups opens.

#include <QObject>

#include <functional>
#include <map>
#include <span>
#include <vector>

class QMenu;

class CFrameCommands : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void()>;

    explicit CFrameCommands(QObject* parent = nullptr);

    // The handler of one command.
    void Bind(int id, Handler handler);
    // The commands are drawn as radio items, one of them checked.
    void MakeRadioGroup(std::span<const int> ids);
    // Runs the command's handler; false for a command without one.
    bool Run(int id) const;

    // Watches the menu: its actions run their commands and show the table's states.
    void Attach(QMenu& menu);

    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    void SetEnabled(int id, bool enabled);
    void SetEnabled(std::span<const int> ids, bool enabled);
    // Checks the radio item and unchecks the rest of its group (all of them for a command outside
    // the group).
    void CheckRadio(std::span<const int> group, int id);
    // Sets the table's states on the menu's actions and those of its popups.
    void Apply(QMenu& menu) const;

private:
    struct State {
        bool enabled = true;
        bool radio = false;
        bool checked = false;
    };
    void ApplyEverywhere() const;

    std::map<int, Handler> m_Handlers;
    std::map<int, int> m_RadioGroups; // the first command of its group, by command
    std::map<int, State> m_States;
    std::vector<QMenu*> m_Menus; // watched, not owned
};
