#pragma once
// The clock, looked at every minute: a new local day, or a wake from sleep (a look that comes
// late), is when due reminders are checked again.

#include <QObject>

#include <functional>

class QTimer;

class CClockWatch : public QObject {
    Q_OBJECT

public:
    explicit CClockWatch(QObject* parent = nullptr);
    ~CClockWatch() override;

    // Looks at the clock now: true when a new day began or the computer slept since the last
    // look, never at the first.
    bool Look();
    // From now on, tick runs every minute.
    void Start(std::function<void()> tick);

private:
    QTimer* m_Timer = nullptr; // a child
    double m_LastTick = 0.0;   // OLE date of the last look
    int m_LastDay = 0;         // the local day then, as yyyymmdd
};
