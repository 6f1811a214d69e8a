#include "app/CTerminationSignals.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The pair's write end is what the handler may touch; one program run has one such object.
int g_Sockets[2] = {-1, -1};

} // namespace

CTerminationSignals::CTerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), m_OnSignal(std::move(onSignal)) {
    if (g_Sockets[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_Sockets) != 0)
        return;
    m_Notifier = new QSocketNotifier(g_Sockets[1], QSocketNotifier::Read, this);
    connect(m_Notifier, &QSocketNotifier::activated, this, [this] {
        char drained[16];
        while (::read(g_Sockets[1], drained, sizeof drained) > 0) {
        }
        if (m_OnSignal)
            m_OnSignal();
    });
    struct sigaction action {};
    action.sa_handler = &CTerminationSignals::Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_Installed = ::sigaction(SIGTERM, &action, &m_OldTerm) == 0 &&
                  ::sigaction(SIGHUP, &action, &m_OldHup) == 0 &&
                  ::sigaction(SIGINT, &action, &m_OldInt) == 0;
}

CTerminationSignals::~CTerminationSignals() {
    if (m_Installed) {
        ::sigaction(SIGTERM, &m_OldTerm, nullptr);
        ::sigaction(SIGHUP, &m_OldHup, nullptr);
        ::sigaction(SIGINT, &m_OldInt, nullptr);
    }
    delete m_Notifier;
    if (g_Sockets[0] >= 0) {
        ::close(g_Sockets[0]);
        ::close(g_Sockets[1]);
        g_Sockets[0] = g_Sockets[1] = -1;
    }
}

void CTerminationSignals::Handler(int) {
    const int saved = errno;
    const char byte = 1;
    // Only what is safe in a signal handler; a full socket already carries the news.
    [[maybe_unused]] const ssize_t written = ::write(g_Sockets[0], &byte, 1);
    errno = saved;
}

void CTerminationSignals::CloseDialogs() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible())
            continue;
        if (auto* menu = qobject_cast<QMenu*>(widget))
            menu->close();
        else if (auto* dialog = qobject_cast<QDialog*>(widget))
            dialog->reject();
    }
}
