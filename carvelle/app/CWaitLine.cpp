#include "app/CWaitLine.h"

#include "core/AppData.h"
#include "core/CStringTable.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QThread>
#include <QTimer>

CWaitLine::CWaitLine(QWidget& frame, std::function<void()> onStart)
    : QObject(&frame), m_Frame(frame), m_OnStart(std::move(onStart)) {}

CWaitLine::~CWaitLine() = default;

void CWaitLine::Attach() {
    TheRecords().SetWaitNotice([this](CRecordServices::Wait wait) {
        // A load off the window's thread waits there; the window shows it on its own.
        if (QThread::currentThread() != m_Frame.thread())
            QMetaObject::invokeMethod(
                &m_Frame, [this, wait] { Show(wait); }, Qt::QueuedConnection);
        else
            Show(wait);
    });
}

void CWaitLine::Detach() {
    TheRecords().SetWaitNotice({});
    Show(CRecordServices::Wait::None);
}

void CWaitLine::Show(CRecordServices::Wait wait) {
    const bool waiting = wait != CRecordServices::Wait::None;
    if (waiting) {
        if (!m_Waiting) {
            if (m_OnStart)
                m_OnStart();
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            // The wait holds up the event loop: once it runs again, the call that waited is over.
            QTimer::singleShot(0, &m_Frame, [] { TheRecords().EndWait(); });
        }
        // At the foot of the window in front, the frame or an open sheet, over its buttons (which
        // cannot be used while the wait holds up the event loop); placed and painted at once.
        QWidget* host = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &m_Frame;
        if (!m_Line || m_Line->parentWidget() != host) {
            delete m_Line.data();
            m_Line = new QLabel(host);
            m_Line->setObjectName(QStringLiteral("waitLine"));
            m_Line->setWordWrap(true);
            m_Line->setMargin(8);
            m_Line->setAutoFillBackground(true);
            m_Line->setBackgroundRole(QPalette::ToolTipBase);
            m_Line->setForegroundRole(QPalette::ToolTipText);
            m_Line->setFrameShape(QFrame::StyledPanel);
        }
        m_Line->setText(
            LoadStringResource(wait == CRecordServices::Wait::Readers ? IDS_WAIT_READERS : IDS_WAIT_WRITER));
        const int height = m_Line->heightForWidth(host->width());
        m_Line->setGeometry(0, host->height() - height, host->width(), height);
        m_Line->show();
        m_Line->raise();
        m_Line->repaint();
    } else if (m_Waiting) {
        QGuiApplication::restoreOverrideCursor();
        if (m_Line)
            m_Line->hide();
    }
    m_Waiting = waiting;
}
