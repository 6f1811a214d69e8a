#pragma once
// The welcome dialog (template 208): create a new data file or open an existing one. On Done it
// asks for the file and stores the chosen path in the settings' DBPath.

#include "widgets/CFullScreenDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

class CDlgStartup : public CFullScreenDialog {
    Q_OBJECT

public:
    explicit CDlgStartup(QWidget* parent = nullptr);
    ~CDlgStartup() override;

    // True when the user chose "Create a new database file"; valid after a run that returned 1.
    bool CreateNew() const { return m_CreateNew; }

    // A Win32-style filter string, "Description|pattern|...||", to Qt's "Description (pattern);;...".
    static QString QtFileFilter(const QString& filter);

    // Asks for the file; closes only when one was chosen.
    void OnDone() override;

private:
    bool m_CreateNew = true;
    QLabel* m_Text = nullptr; // child widgets, owned by the dialog
    QGroupBox* m_Group = nullptr;
    QRadioButton* m_CreateNewButton = nullptr;
    QRadioButton* m_OpenExistingButton = nullptr;
};
