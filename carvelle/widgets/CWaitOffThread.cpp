#include "widgets/CWaitOffThread.h"

#include "core/CStringTable.h"

#include <QDialog>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

int g_Running = 0;
std::function<void()> g_OnFinished;

class RunningScope {
public:
    RunningScope() { ++g_Running; }
    ~RunningScope() {
        if (--g_Running == 0 && g_OnFinished)
            g_OnFinished();
    }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;
};

// The line with its Cancel button: modal, so the rest of the program waits with it. Escape, the
// close box and the end of the session cancel as the button does; it closes when the work ends.
class WaitLine : public QDialog {
public:
    WaitLine(QWidget* parent, const QString& text, std::function<void()> cancel)
        : QDialog(parent ? parent->window() : nullptr), m_Cancel(std::move(cancel)) {
        setObjectName(QStringLiteral("waitOffThread"));
        setModal(true);
        setWindowTitle(LoadStringResource(IDS_PRODUCT_NAME));
        auto* layout = new QHBoxLayout(this);
        auto* label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("waitText"));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label, 1);
        m_Button = new QPushButton(LoadStringResource(IDS_WAIT_CANCEL), this);
        m_Button->setObjectName(QStringLiteral("waitCancel"));
        connect(m_Button, &QPushButton::clicked, this, &WaitLine::reject);
        layout->addWidget(m_Button);
    }

    void reject() override {
        // Stays until the work has ended: the program must not go on beside it.
        if (m_Cancelled)
            return;
        m_Cancelled = true;
        m_Button->setEnabled(false);
        if (m_Cancel)
            m_Cancel();
    }

    bool Cancelled() const { return m_Cancelled; }

private:
    std::function<void()> m_Cancel;
    QPushButton* m_Button = nullptr;
    bool m_Cancelled = false;
};

} // namespace

bool CWaitOffThread::IsRunning() {
    return g_Running > 0;
}

void CWaitOffThread::SetOnFinished(std::function<void()> onFinished) {
    g_OnFinished = std::move(onFinished);
}

bool CWaitOffThread::Run(QWidget* parent, const QString& text, const std::function<void()>& work,
                         const std::function<void()>& cancel) {
    const RunningScope running;
    std::unique_ptr<QThread> thread(QThread::create([&work] { work(); }));
    bool cancelled = false;
    {
        // At first nothing is shown, and clicks and keys wait: most work is over before a user
        // would see a line come and go.
        QEventLoop first;
        QObject::connect(thread.get(), &QThread::finished, &first, &QEventLoop::quit);
        QTimer::singleShot(ShowAfterMs, &first, &QEventLoop::quit);
        thread->start();
        first.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!thread->isFinished()) {
        WaitLine line(parent, text, cancel);
        QEventLoop rest;
        QObject::connect(thread.get(), &QThread::finished, &rest, &QEventLoop::quit);
        if (!thread->isFinished()) {
            line.show();
            rest.exec();
        }
        cancelled = line.Cancelled();
        line.hide();
    }
    // Still running when the loops were told to end: the program is ending, so the work is
    // cancelled rather than waited out.
    if (!thread->isFinished() && !cancelled) {
        cancelled = true;
        if (cancel)
            cancel();
    }
    thread->wait();
    return !cancelled;
}
