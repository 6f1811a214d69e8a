// Long work off the window's thread: the loop keeps running, a wait line with Cancel comes after a
// moment, and Cancel ends the work early.

#include "widgets/CWaitOffThread.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

QDialog* WaitLine() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("waitOffThread") && widget->isVisible())
            return qobject_cast<QDialog*>(widget);
    }
    return nullptr;
}

TEST(WaitOffThread, ShortWorkShowsNothingAndLongWorkCanBeCancelled) {
    QWidget window;
    window.show();

    // Over before the line would show.
    bool sawLine = false;
    EXPECT_TRUE(CWaitOffThread::Run(
        &window, QStringLiteral("Loading"),
        [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }, [] {}));
    EXPECT_EQ(WaitLine(), nullptr);
    EXPECT_FALSE(CWaitOffThread::IsRunning());

    // Runs until cancelled; the window's timers keep firing meanwhile.
    std::atomic<bool> stop{false};
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    QString shownText;
    QTimer::singleShot(CWaitOffThread::ShowAfterMs + 300, [&] {
        QDialog* line = WaitLine();
        sawLine = line != nullptr;
        if (!line) {
            stop.store(true);
            return;
        }
        shownText = line->findChild<QLabel*>(QStringLiteral("waitText"))->text();
        EXPECT_TRUE(CWaitOffThread::IsRunning());
        line->findChild<QPushButton*>(QStringLiteral("waitCancel"))->click();
    });
    const bool finished = CWaitOffThread::Run(
        &window, QStringLiteral("Loading the log"),
        [&stop] {
            while (!stop.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        },
        [&stop] { stop.store(true); });
    EXPECT_TRUE(sawLine);
    EXPECT_EQ(shownText, QStringLiteral("Loading the log"));
    EXPECT_FALSE(finished);
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(WaitLine(), nullptr);
    EXPECT_FALSE(CWaitOffThread::IsRunning());
}

} // namespace
