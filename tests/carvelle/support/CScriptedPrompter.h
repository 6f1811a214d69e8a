#pragma once
// Answers in place of the person at the screen, and records everything the program showed.
// Installs itself while it lives.
//
// - Message boxes with only OK are answered OK by themselves; Yes/No boxes take the next
//   queued answer (none queued: the test fails and the answer is No).
// - File dialogs take the next queued path; an empty path is a cancel.
// - Modal dialogs are shown and handed to the next queued script, which works the controls and
//   presses "Done" or "Cancel"; a dialog still open afterwards fails the test.
// - Popup menus take the next queued command number (0: dismissed).
// Answers left unused when the prompter goes fail the test.

#include "widgets/CPrompter.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

class QWidget;

class CScriptedPrompter : public CPrompter {
public:
    struct Shown {
        enum Kind { Message, SaveFile, OpenFile, Modal, Popup };
        Kind kind = Message;
        QString text;    // message text; the dialog's title for Modal
        QString caption; // message caption (empty = the system's default)
        Buttons buttons = ButtonsOK;
        Icon icon = IconInformation;
        QString filter;      // file dialogs
        QString initialPath; // file dialogs
        QString objectName;  // Modal: the dialog's object name
    };
    using DialogScript = std::function<void(QDialog& dialog)>;

    CScriptedPrompter();
    ~CScriptedPrompter() override;

    void AnswerMessage(int answer); // IDYES or IDNO for the next Yes/No box
    void AnswerFile(const QString& path);
    void AnswerModal(DialogScript script);
    void AnswerPopup(int commandId);

    const std::vector<Shown>& History() const { return m_History; }
    std::vector<Shown> Messages() const; // the message boxes alone, in order
    int Count(Shown::Kind kind) const;
    void ClearHistory() { m_History.clear(); }

    // Triggers the command (its action "cmd<id>", else the button "softkey<n>" that carries it)
    // inside the widget: the way a test presses "Done", "Cancel" or a menu item.
    static bool Press(QWidget& widget, int commandId);
    // Clicks the button of that name inside the widget.
    static bool Click(QWidget& widget, const char* name);

    int MessageBox(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override;
    QString GetSaveFileName(QWidget* parent, const QString& filter, const QString& initialPath) override;
    QString GetOpenFileName(QWidget* parent, const QString& filter, const QString& initialPath) override;
    int RunModal(QDialog& dialog) override;
    QAction* TrackPopupMenu(QMenu& menu, const QPoint& globalPos) override;

private:
    QString NextFile(Shown::Kind kind, const QString& filter, const QString& initialPath);

    std::deque<int> m_MessageAnswers;
    std::deque<QString> m_FileAnswers;
    std::deque<DialogScript> m_ModalScripts;
    std::deque<int> m_PopupAnswers;
    std::vector<Shown> m_History;
};
