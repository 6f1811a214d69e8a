#pragma once
// The frame's commands: which handler runs for each command number, and the state table that
// says which commands are enabled and which radio item is checked. The states are set on every
// menu that shows the commands, each time one of its popups opens.

#include <QObject>

#include <functional>
#include <map>
#include <vector>

class QMenu;

class CFrameCommands : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void()>;
    using RangeHandler = std::function<void(int id)>;

    explicit CFrameCommands(QObject* parent = nullptr);

    // The handler of one command, or of count commands from first (a radio group when radio).
    void Bind(int id, Handler handler);
    void BindRange(int first, int count, bool radio, RangeHandler handler);
    // Runs the command's handler; false for a command without one.
    bool Run(int id) const;

    // Watches the menu: its actions run their commands and show the table's states.
    void Attach(QMenu& menu);

    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    void SetEnabled(int id, bool enabled);
    void SetEnabled(int first, int count, bool enabled);
    // Checks the radio item at first + index and unchecks the rest of its group.
    void CheckRadio(int first, int count, int index);
    // Sets the table's states on the menu's actions and those of its popups.
    void Apply(QMenu& menu) const;

private:
    struct State {
        bool enabled = true;
        bool radio = false;
        bool checked = false;
    };
    struct Range {
        int count = 0;
        RangeHandler handler;
    };

    void ApplyEverywhere() const;

    std::map<int, Handler> m_Handlers;
    std::map<int, Range> m_Ranges; // by first command
    std::map<int, State> m_States;
    std::vector<QMenu*> m_Menus; // watched, not owned
};
