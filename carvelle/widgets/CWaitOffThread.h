#pragma once
// Runs a long piece of work (opening a data file, loading a log) on a thread of its own while the
// window keeps drawing and answering. Input waits meanwhile; after a moment a line says what is
// going on, with a Cancel button. The end of the session cancels it like the button does.

#include <QString>

#include <functional>

class QWidget;

class CWaitOffThread {
public:
    // The wait line shows once the work has taken this long.
    static constexpr int ShowAfterMs = 300;

    // Runs work to its end; cancel is called on the window's thread to make it end early (it must
    // be safe while work runs). True when it ended without a cancel. The work is over on return.
    static bool Run(QWidget* parent, const QString& text, const std::function<void()>& work,
                    const std::function<void()>& cancel);

    // True while work runs: what would touch the same data must wait.
    static bool IsRunning();
    // Called once no work runs any more, to let what waited go on.
    static void SetOnFinished(std::function<void()> onFinished);
};
