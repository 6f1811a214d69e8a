#include "app/CModalGate.h"

#include "reminders/CheckReminders.h"
#include "widgets/CWaitOffThread.h"

#include <QApplication>

CModalGate::CModalGate(std::function<void(int held)> run, QObject* parent)
    : QObject(parent), m_Run(std::move(run)) {}

CModalGate::Scope::Scope(CModalGate& gate) : m_Gate(gate) {
    ++m_Gate.m_Depth;
}

CModalGate::Scope::~Scope() {
    if (--m_Gate.m_Depth == 0)
        m_Gate.Release();
}

bool CModalGate::IsOpen() const {
    return m_Depth > 0 || IsCheckingReminders() || CWaitOffThread::IsRunning() ||
           QApplication::activeModalWidget() != nullptr;
}

bool CModalGate::Hold(Held what) {
    if (!IsOpen())
        return false;
    m_Held |= what;
    return true;
}

void CModalGate::Release() {
    if (m_Held != 0)
        QMetaObject::invokeMethod(this, &CModalGate::RunHeld, Qt::QueuedConnection);
}

void CModalGate::RunHeld() {
    // Another dialog may have opened meanwhile; its close releases the gate again.
    if (IsOpen() || m_Held == 0)
        return;
    int held = m_Held;
    m_Held = 0;
    if (held & HeldShutdown)
        held = HeldShutdown;
    else if (held & HeldRefresh)
        held &= ~HeldCheck; // the refresh makes the vehicle active again, which runs the check
    m_Run(held);
}
