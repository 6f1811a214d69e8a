#pragma once
// What the tests of the input fields share: a shown window with three fields, so that focus
// moves as it does for a user, and the locales they are read in.

#include "carvelle/support/CTestEnvironment.h"
#include "carvelle/support/LocalDayFixtures.h"

#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

inline const QLocale kGerman(QLocale::German, QLocale::Germany);
inline const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

// A shown window with fields, so that focus moves as it does for a user.
class InputControlsTest : public ::testing::Test {
protected:
    InputControlsTest() {
        auto* layout = new QVBoxLayout(&m_Window);
        for (QLineEdit*& field : m_Fields) {
            field = new QLineEdit(&m_Window);
            layout->addWidget(field);
        }
        m_Window.show();
        m_Window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_Window));
    }

    CTestEnvironment m_Environment;
    QWidget m_Window;
    QLineEdit* m_Fields[3] = {};
};
