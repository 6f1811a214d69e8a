#include "editing/CDlgNotes.h"

#include "core/ResourceIds.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

CDlgNotes::CDlgNotes() : CPropertyPage(IDD_NOTES, QStringLiteral("Notes")) {}

CDlgNotes::~CDlgNotes() = default;

QPlainTextEdit* CDlgNotes::MakeMultiLine(QWidget* parent, const char* name) {
    auto* edit = Named(new QPlainTextEdit(parent), name);
    edit->setTabChangesFocus(true);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return edit;
}

void CDlgNotes::OnInitDialog() {
    m_NotesCtl = MakeMultiLine(this, "notes");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_NotesCtl);
    m_NotesCtl->setPlainText(notes);
}

bool CDlgNotes::OnApply() {
    notes = m_NotesCtl->toPlainText();
    return true;
}

QWidget* CDlgNotes::FirstField() const {
    return m_NotesCtl;
}
