#pragma once
// The frame of the program's full-screen dialogs: the title band with the dialog's title, the
// "Done"/"Cancel" soft keys of menu 221 at the bottom, and the keyboard of a desktop: Enter on a
// focused push button presses that button (Cancel cancels); anywhere else it is "Done", but a
// multi-line field keeps it for new lines and an open list keeps it for its choice. Escape and
// the close box are "Cancel". Above the soft keys a line tells why a value was refused.
// Derived dialogs put their controls into Body() and decide what Done and Cancel do.
// On a desktop the dialog is sized to its content (at most about 640 pixels wide), centred over
// the main window and resizable; a size the user gave it is kept for the next time.

#include "core/ResourceIds.h"

#include <QDialog>
#include <QPointer>

#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QToolButton;
class QVBoxLayout;

class CFullScreenDialog : public QDialog {
    Q_OBJECT

public:
    // The soft keys come from menu 221 unless another menu is given (a popup in it becomes a key
    // that opens that popup).
    CFullScreenDialog(int templateId, const QString& title, QWidget* parent = nullptr,
                      int softKeyMenu = IDR_DONE_CANCEL);
    ~CFullScreenDialog() override;

    // Closes with 1 by default; a derived dialog checks its fields first.
    virtual void OnDone();
    // Closes with 2.
    virtual void OnCancel();

    void reject() override;

    // Shows why the field's value was refused, in the line above the soft keys, until the
    // field's refusal is cleared.
    void ShowRefusal(QWidget* field, const QString& reason);
    void ClearRefusal(QWidget* field);
    QString RefusalText() const;

protected:
    // A command of the soft keys: Done and Cancel here; a dialog with other keys adds its own.
    virtual void OnSoftKeyCommand(int id);
    QMenu* SoftKeyMenu() const { return m_SoftKeys.get(); }

    // The layout below the title band, above the soft keys.
    QVBoxLayout* Body() const { return m_Body; }
    // No margin around the body: a list that fills the dialog.
    void FillToEdges();
    // Charts and wide tables want more room than their content asks for: the size the dialog
    // opens at until the user gives it one.
    void SetFirstSize(const QSize& size) { m_FirstSize = size; }
    // An editable combo keeps Enter to itself; this makes it "Done" there too, as in any
    // single-line field. Showing the dialog does it for the controls that exist by then.
    void CatchEnterIn(QWidget* root);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The size of the content, or the one the user gave this dialog before, within the screen.
    void SizeToContent();
    void CentreOverOwner();
    // Enter with the focus here presses it.
    static bool IsPushButton(const QWidget* widget);
    // The first control Tab reaches that is not a soft key, or null.
    QWidget* FirstControl() const;

    std::unique_ptr<QMenu> m_SoftKeys; // menu 221: "Done" and "Cancel"
    QVBoxLayout* m_Body = nullptr;     // owned by the dialog's layout
    int m_TemplateId = 0;
    bool m_Sized = false;
    QSize m_OpenedSize;          // as first shown: a different size at closing is the user's
    QLabel* m_Refusal = nullptr; // child widget
    QPointer<QWidget> m_RefusedField;
    std::vector<QToolButton*> m_SoftKeyButtons; // child widgets
    QSize m_FirstSize;                          // invalid: the content's
};
