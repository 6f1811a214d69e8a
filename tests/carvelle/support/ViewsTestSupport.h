#pragma once
// What the tests of windows on a data file share: the data file and settings of CDataFileTest
// and a scripted prompter that also notes how each popup menu looked when shown.

#include "carvelle/support/CDataFileTest.h"
#include "carvelle/support/CScriptedPrompter.h"

#include "widgets/CMenuResource.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMenu>

#include <gtest/gtest.h>

#include <functional>

class CMenuNotingPrompter : public CScriptedPrompter {
public:
    QAction* TrackPopupMenu(QMenu& menu, const QPoint& globalPos) override {
        if (onMenu) {
            onMenu(menu);
        }
        return CScriptedPrompter::TrackPopupMenu(menu, globalPos);
    }

    // Sees the menu as it is about to be shown.
    std::function<void(QMenu&)> onMenu;
};

// Runs the event loop until the condition holds; false when it did not within the time.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class ViewsTest : public CDataFileTest {
protected:
    CMenuNotingPrompter m_Prompter;
};
