#pragma once
// The one seam for everything that waits on the user: message boxes, file dialogs, modal runs
// and popup menus. Tests install a scripted prompter that answers instead of a person.

#include <QPoint>
#include <QString>

class QAction;
class QDialog;
class QMenu;
class QWidget;

class CPrompter {
public:
    enum Buttons { ButtonsOK, ButtonsYesNo };
    enum Icon { IconInformation, IconWarning };
    enum { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

    CPrompter() = default;
    virtual ~CPrompter();
    CPrompter(const CPrompter&) = delete;
    CPrompter& operator=(const CPrompter&) = delete;

    // An empty caption stands for the system's default caption. Returns IDOK, IDYES or IDNO.
    virtual int MessageBox(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                           Icon icon);
    // Empty when cancelled. Saving asks before overwriting; opening requires an existing file.
    // The filter is in Qt's form ("Carvelle Data Files (*.dat)").
    virtual QString GetSaveFileName(QWidget* parent, const QString& filter, const QString& initialPath);
    virtual QString GetOpenFileName(QWidget* parent, const QString& filter, const QString& initialPath);
    // Runs the dialog modally and returns its result code.
    virtual int RunModal(QDialog& dialog);
    // Shows the popup at a global position; the chosen action, or null.
    virtual QAction* TrackPopupMenu(QMenu& menu, const QPoint& globalPos);

    // The installed prompter, else the one that asks the person at the screen.
    static CPrompter& Instance();
    // Installs a prompter (not owned); null restores the default.
    static void Install(CPrompter* prompter);
    // Once the session ends (logout, SIGTERM) nothing more is asked: while set, Instance() answers
    // every prompt at once as a cancel (No, OK, no file, Cancel, no command) without showing it.
    static void SetRefusing(bool refusing);
    static bool IsRefusing();
};
