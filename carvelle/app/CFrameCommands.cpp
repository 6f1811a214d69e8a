#include "app/CFrameCommands.h"

#include "widgets/CMenuResource.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

CFrameCommands::CFrameCommands(QObject* parent) : QObject(parent) {}

void CFrameCommands::Bind(int id, Handler handler) {
    m_Handlers[id] = std::move(handler);
}

void CFrameCommands::MakeRadioGroup(std::span<const int> ids) {
    if (ids.empty())
        return;
    for (int id : ids) {
        m_States[id].radio = true;
        m_RadioGroups[id] = ids.front();
    }
}

bool CFrameCommands::Run(int id) const {
    const auto it = m_Handlers.find(id);
    if (it == m_Handlers.end())
        return false;
    it->second();
    return true;
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
        if (const auto it = m_RadioGroups.find(id); it != m_RadioGroups.end()) {
            QActionGroup*& group = groups[it->second];
            if (!group)
                group = new QActionGroup(&menu);
            group->addAction(&action);
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

void CFrameCommands::SetEnabled(std::span<const int> ids, bool enabled) {
    for (int id : ids)
        m_States[id].enabled = enabled;
    ApplyEverywhere();
}

void CFrameCommands::CheckRadio(std::span<const int> group, int id) {
    for (int member : group)
        m_States[member].checked = (member == id);
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
