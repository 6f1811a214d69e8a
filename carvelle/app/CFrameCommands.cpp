#include "app/CFrameCommands.h"

#include "widgets/CMenuResource.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

CFrameCommands::CFrameCommands(QObject* parent) : QObject(parent) {}

void CFrameCommands::Bind(int id, Handler handler) {
    m_Handlers[id] = std::move(handler);
}

void CFrameCommands::BindRange(int first, int count, bool radio, RangeHandler handler) {
    m_Ranges[first] = Range{count, std::move(handler)};
    for (int i = 0; i < count; ++i)
        m_States[first + i].radio = radio;
}

bool CFrameCommands::Run(int id) const {
    if (const auto it = m_Handlers.find(id); it != m_Handlers.end()) {
        it->second();
        return true;
    }
    for (const auto& [first, range] : m_Ranges) {
        if (id >= first && id < first + range.count) {
            range.handler(id);
            return true;
        }
    }
    return false;
}

void CFrameCommands::Attach(QMenu& menu) {
    m_Menus.push_back(&menu);
    connect(&menu, &QObject::destroyed, this,
            [this, gone = &menu] { std::erase(m_Menus, static_cast<QMenu*>(gone)); });
    // The states are set on every popup as it opens.
    std::function<void(QMenu&)> hook = [this, &hook](QMenu& popup) {
        connect(&popup, &QMenu::aboutToShow, this, [this, &popup] { Apply(popup); });
        for (QAction* action : popup.actions()) {
            if (QMenu* sub = action->menu())
                hook(*sub);
        }
    };
    hook(menu);

    // Each radio group is drawn as radio items.
    std::map<int, QActionGroup*> groups;
    ForEachCommand(menu, [this, &menu, &groups](QAction& action, int id) {
        for (const auto& [first, range] : m_Ranges) {
            if (id >= first && id < first + range.count && m_States[id].radio) {
                QActionGroup*& group = groups[first];
                if (!group)
                    group = new QActionGroup(&menu);
                group->addAction(&action);
            }
        }
        connect(&action, &QAction::triggered, this, [this, id] {
            Run(id);
            // A radio item checks itself when triggered; the table decides (a cancelled
            // custom range keeps the old check).
            ApplyEverywhere();
        });
    });
    Apply(menu);
}

bool CFrameCommands::IsEnabled(int id) const {
    const auto it = m_States.find(id);
    return it == m_States.end() || it->second.enabled;
}

bool CFrameCommands::IsChecked(int id) const {
    const auto it = m_States.find(id);
    return it != m_States.end() && it->second.checked;
}

void CFrameCommands::SetEnabled(int id, bool enabled) {
    m_States[id].enabled = enabled;
    ApplyEverywhere();
}

void CFrameCommands::SetEnabled(int first, int count, bool enabled) {
    for (int i = 0; i < count; ++i)
        m_States[first + i].enabled = enabled;
    ApplyEverywhere();
}

void CFrameCommands::CheckRadio(int first, int count, int index) {
    for (int i = 0; i < count; ++i)
        m_States[first + i].checked = (i == index);
    ApplyEverywhere();
}

void CFrameCommands::Apply(QMenu& menu) const {
    ForEachCommand(menu, [this](QAction& action, int id) {
        const auto it = m_States.find(id);
        if (it == m_States.end())
            return;
        action.setEnabled(it->second.enabled);
        action.setCheckable(it->second.radio);
        if (it->second.radio)
            action.setChecked(it->second.checked);
    });
}

void CFrameCommands::ApplyEverywhere() const {
    for (QMenu* menu : m_Menus)
        Apply(*menu);
}
