#pragma once
// The program's road from process entry to exit: the single-instance rule, the settings, the
// fonts, the main frame, the desktop-synchronisation test, the data file, the unit notice, the
// message loop and the orderly end. The loop itself is run by the caller's function, so the
// program runs QApplication::exec there and a test drives the frame instead.

#include "platform/NamedMutex.h"

#include <QString>

#include <functional>
#include <memory>

class CInstanceChannel;
class CMainFrame;

class CCarvelleApp {
public:
    enum ExitCode {
        ExitOK = 0,
        ExitFailure = 1,     // no product name, or the single-instance mutex cannot be made
        ExitDidNotStart = 2, // a running copy was brought forward instead
    };

    // Runs the message loop for the shown frame until it is closed; returns the loop's result.
    using LoopRunner = std::function<int(CMainFrame& frame)>;

    // The mutex a desktop synchronisation holds while it is connected.
    static const char* const ActiveSyncMutexName;
    // Attempts to find the running copy when its mutex is held.
    static constexpr int SingleInstanceTries = 25;
    static constexpr int SingleInstanceWaitMs = 100;

    explicit CCarvelleApp(LoopRunner runLoop);
    ~CCarvelleApp();
    CCarvelleApp(const CCarvelleApp&) = delete;
    CCarvelleApp& operator=(const CCarvelleApp&) = delete;

    // The template a new data file is copied from; empty means the one beside the program.
    void SetTemplatePath(const QString& path) { m_TemplatePath = path; }

    // The whole road; returns the process's exit code. Settings are written back at every
    // normal end of a run that loaded them.
    int Run();

private:
    enum class InstanceResult { First, HandedOver, Failed };

    InstanceResult EnsureSingleInstance(const QString& productName);
    int RunApplication(const QString& productName);
    bool OnChannelMessage(const QString& message);

    LoopRunner m_RunLoop;
    QString m_TemplatePath;
    std::unique_ptr<CNamedMutex> m_InstanceMutex; // held for the life of the run
    std::unique_ptr<CMainFrame> m_Frame;
    std::unique_ptr<CInstanceChannel> m_Channel;
};
