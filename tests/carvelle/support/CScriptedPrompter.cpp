#include "carvelle/support/CScriptedPrompter.h"

#include "widgets/CMenuResource.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QMenu>

#include <gtest/gtest.h>

CScriptedPrompter::CScriptedPrompter() {
    CPrompter::Install(this);
}

CScriptedPrompter::~CScriptedPrompter() {
    CPrompter::Install(nullptr);
    EXPECT_TRUE(m_MessageAnswers.empty()) << m_MessageAnswers.size() << " message answer(s) never asked for";
    EXPECT_TRUE(m_FileAnswers.empty()) << m_FileAnswers.size() << " file answer(s) never asked for";
    EXPECT_TRUE(m_ModalScripts.empty()) << m_ModalScripts.size() << " dialog script(s) never run";
    EXPECT_TRUE(m_PopupAnswers.empty()) << m_PopupAnswers.size() << " popup answer(s) never asked for";
}

void CScriptedPrompter::AnswerMessage(int answer) {
    m_MessageAnswers.push_back(answer);
}

void CScriptedPrompter::AnswerFile(const QString& path) {
    m_FileAnswers.push_back(path);
}

void CScriptedPrompter::AnswerModal(DialogScript script) {
    m_ModalScripts.push_back(std::move(script));
}

void CScriptedPrompter::AnswerPopup(int commandId) {
    m_PopupAnswers.push_back(commandId);
}

std::vector<CScriptedPrompter::Shown> CScriptedPrompter::Messages() const {
    std::vector<Shown> messages;
    for (const Shown& shown : m_History) {
        if (shown.kind == Shown::Message)
            messages.push_back(shown);
    }
    return messages;
}

int CScriptedPrompter::Count(Shown::Kind kind) const {
    int count = 0;
    for (const Shown& shown : m_History)
        count += shown.kind == kind ? 1 : 0;
    return count;
}

bool CScriptedPrompter::Press(QWidget& widget, int commandId) {
    for (QAction* action : widget.findChildren<QAction*>(QStringLiteral("cmd%1").arg(commandId))) {
        if (action->isEnabled()) {
            action->trigger();
            return true;
        }
    }
    ADD_FAILURE() << "no enabled command " << commandId << " in " << widget.objectName().toStdString();
    return false;
}

bool CScriptedPrompter::Click(QWidget& widget, const char* name) {
    if (auto* button = widget.findChild<QAbstractButton*>(QLatin1String(name))) {
        button->click();
        return true;
    }
    ADD_FAILURE() << "no button " << name << " in " << widget.objectName().toStdString();
    return false;
}

int CScriptedPrompter::MessageBox(QWidget*, const QString& text, const QString& caption, Buttons buttons,
                                  Icon icon) {
    Shown shown;
    shown.kind = Shown::Message;
    shown.text = text;
    shown.caption = caption;
    shown.buttons = buttons;
    shown.icon = icon;
    m_History.push_back(shown);
    if (buttons == ButtonsOK)
        return IDOK;
    if (m_MessageAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return IDNO;
    }
    const int answer = m_MessageAnswers.front();
    m_MessageAnswers.pop_front();
    return answer;
}

QString CScriptedPrompter::NextFile(Shown::Kind kind, const QString& filter, const QString& initialPath) {
    Shown shown;
    shown.kind = kind;
    shown.filter = filter;
    shown.initialPath = initialPath;
    m_History.push_back(shown);
    if (m_FileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file dialog at " << initialPath.toStdString();
        return QString();
    }
    QString answer = m_FileAnswers.front();
    m_FileAnswers.pop_front();
    return answer;
}

QString CScriptedPrompter::GetSaveFileName(QWidget*, const QString& filter, const QString& initialPath) {
    return NextFile(Shown::SaveFile, filter, initialPath);
}

QString CScriptedPrompter::GetOpenFileName(QWidget*, const QString& filter, const QString& initialPath) {
    return NextFile(Shown::OpenFile, filter, initialPath);
}

int CScriptedPrompter::RunModal(QDialog& dialog) {
    Shown shown;
    shown.kind = Shown::Modal;
    shown.text = dialog.windowTitle();
    shown.objectName = dialog.objectName();
    m_History.push_back(shown);
    if (m_ModalScripts.empty()) {
        ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
        return 2;
    }
    DialogScript script = std::move(m_ModalScripts.front());
    m_ModalScripts.pop_front();
    dialog.setResult(0);
    dialog.show();
    QCoreApplication::processEvents();
    script(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "dialog " << dialog.objectName().toStdString() << " left open by its script";
        dialog.done(2);
    }
    return dialog.result();
}

QAction* CScriptedPrompter::TrackPopupMenu(QMenu& menu, const QPoint&) {
    Shown shown;
    shown.kind = Shown::Popup;
    shown.objectName = menu.objectName();
    m_History.push_back(shown);
    if (m_PopupAnswers.empty())
        return nullptr;
    const int id = m_PopupAnswers.front();
    m_PopupAnswers.pop_front();
    // The menu is about to show: its states are set first, as they would be on screen.
    emit menu.aboutToShow();
    QAction* action = id != 0 ? FindCommand(menu, id) : nullptr;
    if (id != 0 && action == nullptr)
        ADD_FAILURE() << "no command " << id << " in popup " << menu.objectName().toStdString();
    if (action != nullptr && !action->isEnabled())
        return nullptr; // a disabled item cannot be chosen
    return action;
}
