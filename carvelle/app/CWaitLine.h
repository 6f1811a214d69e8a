#pragma once
// A wait for another program that holds the data file: the wait cursor, and a line at the foot of
// the window in front saying so, until the wait is over.

#include "core/CRecordServices.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class QWidget;

class CWaitLine : public QObject {
    Q_OBJECT

public:
    // The line goes over the frame, or over the modal window in front of it; onStart runs as
    // each wait begins.
    CWaitLine(QWidget& frame, std::function<void()> onStart);
    ~CWaitLine() override;

    // From Attach to Detach, each wait the record services tell of is shown.
    void Attach();
    void Detach();
    void Show(CRecordServices::Wait wait);

private:
    QWidget& m_Frame;
    std::function<void()> m_OnStart;
    bool m_Waiting = false;
    QPointer<QLabel> m_Line; // a child of the window in front during a wait
};
