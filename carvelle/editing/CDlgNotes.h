#pragma once
// The "Notes" page that closes every sheet: one multi-line field filling the page, where Enter
// makes a new line.

#include "widgets/CPropertyPage.h"

class QPlainTextEdit;

class CDlgNotes : public CPropertyPage {
    Q_OBJECT

public:
    CDlgNotes();
    ~CDlgNotes() override;

    QString notes;

    bool OnApply() override;
    QWidget* FirstField() const override;

    // A multi-line field as the pages use them: Tab moves on, Enter makes a new line.
    static QPlainTextEdit* MakeMultiLine(QWidget* parent, const char* name);

protected:
    void OnInitDialog() override;

private:
    QPlainTextEdit* m_NotesCtl = nullptr; // child widget
};
