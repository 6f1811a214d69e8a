#include "widgets/CEditEx.h"

#include <QKeyEvent>
#include <QLineEdit>

CEditEx::CEditEx(QWidget* previous, QWidget* next) : m_Previous(previous), m_Next(next) {}

CEditEx::~CEditEx() = default;

void CEditEx::Attach(QLineEdit* edit) {
    Detach();
    m_Edit = edit;
    if (edit) {
        setParent(edit);
        edit->installEventFilter(this);
    }
}

void CEditEx::Detach() {
    if (m_Edit)
        m_Edit->removeEventFilter(this);
    m_Edit = nullptr;
}

bool CEditEx::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_Edit || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || m_Edit->hasSelectedText())
        return false;
    if (key->key() == Qt::Key_Left && m_Edit->cursorPosition() == 0 && m_Previous)
        m_Previous->setFocus(Qt::OtherFocusReason);
    else if (key->key() == Qt::Key_Right && m_Edit->cursorPosition() == m_Edit->text().size() && m_Next)
        m_Next->setFocus(Qt::OtherFocusReason);
    return false;
}
