#include "widgets/CUpDownEdit.h"
#include "core/DecimalText.h"

#include <QAction>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "core/CStringTable.h"
#include "widgets/CWinDataExchangeLocale.h"

CUpDownEdit::CUpDownEdit(QWidget* parent) : QLineEdit(parent) {
    // Digits only as typed; a stored value is shown whatever it is.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    // Tab and a click give the focus; the wheel alone does not.
    setFocusPolicy(Qt::StrongFocus);
    QAction* down = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    QAction* up = addAction(style()->standardIcon(QStyle::SP_ArrowUp), QLineEdit::TrailingPosition);
    up->setObjectName(QStringLiteral("stepUp"));
    down->setObjectName(QStringLiteral("stepDown"));
    connect(this, &QLineEdit::inputRejected, this, [this] {
        CWinDataExchangeLocale::ExplainRejectedKey(this, LoadStringResource(IDS_DIGITS_ONLY));
    });
    connect(up, &QAction::triggered, this, [this] { StepBy(1); });
    connect(down, &QAction::triggered, this, [this] { StepBy(-1); });
}

void CUpDownEdit::SetRange(LONG minimum, LONG maximum, LONG step) {
    m_Minimum = minimum;
    m_Maximum = std::max(minimum, maximum);
    m_Step = std::max<LONG>(1, step);
}

void CUpDownEdit::StepBy(int clicks) {
    const std::optional<LONG> current = ParseIntegerText(text());
    int64_t value = current ? *current : m_Minimum;
    value = std::clamp<int64_t>(value, m_Minimum, m_Maximum);
    value = std::clamp<int64_t>(value + int64_t{clicks} * m_Step, m_Minimum, m_Maximum);
    // Through the undo stack, as typing would, and with textEdited for the page.
    selectAll();
    insert(FormatIntegerText(static_cast<LONG>(value)));
    selectAll();
}

void CUpDownEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        StepBy(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CUpDownEdit::wheelEvent(QWheelEvent* event) {
    const int clicks = event->angleDelta().y() / 120;
    if (!hasFocus() || clicks == 0) {
        event->ignore(); // the form scrolls instead
        return;
    }
    StepBy(clicks);
    event->accept();
}
