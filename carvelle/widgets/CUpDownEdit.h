#pragma once
// A whole-number field with up and down arrows: the arrows, the Up/Down keys and the mouse wheel
// step the value within a range, but typing is free, so a stored reading outside the stepping
// range is shown and kept as it is. The field may be empty (reading it then fails). The wheel
// only steps a field that has the focus, so scrolling past a form never changes a value.

#include <QLineEdit>

#include "platform/WinTypes.h"

class CUpDownEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CUpDownEdit(QWidget* parent = nullptr);

    void SetRange(LONG minimum, LONG maximum, LONG step);
    LONG Minimum() const { return m_Minimum; }
    LONG Maximum() const { return m_Maximum; }
    LONG Step() const { return m_Step; }

    // Steps by a number of clicks (negative steps down). An unreadable text counts as the
    // minimum; a value outside the range is first brought into it, as the arrows never leave it.
    void StepBy(int clicks);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    LONG m_Minimum = 0;
    LONG m_Maximum = 1000000;
    LONG m_Step = 10;
};
