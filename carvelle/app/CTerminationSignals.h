#pragma once
// SIGTERM (the session ends: logout, shutdown), SIGHUP (the terminal goes) and SIGINT (Ctrl+C in
// the terminal that started the program) end the run as Exit does, so the settings are written
// and the data file is closed. The handler only writes a byte to a socket; the window's thread
// reads it and calls back. The handlers that were in place before come back when this object goes.

#include <QObject>

#include <functional>
#include <signal.h>

class QSocketNotifier;

class CTerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit CTerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    // Rejects every open dialog, as Cancel would, and closes open menus: what a user who chose
    // Exit would have done first.
    static void CloseDialogs();

private:
    static void Handler(int signal);

    std::function<void()> m_OnSignal;
    QSocketNotifier* m_Notifier = nullptr;
    struct sigaction m_OldTerm {};
    struct sigaction m_OldHup {};
    struct sigaction m_OldInt {};
    bool m_Installed = false;
};
