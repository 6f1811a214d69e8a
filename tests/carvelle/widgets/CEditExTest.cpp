#include "carvelle/widgets/InputControlsTestSupport.h"

#include "widgets/CEditEx.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST_F(InputControlsTest, ArrowKeysHopToTheNeighbouringFieldsOnlyAtTheEndsOfTheText) {
    QLineEdit* middle = m_Fields[1];
    auto* hop = new CEditEx(m_Fields[0], m_Fields[2]);
    hop->Attach(middle);
    middle->setText(QStringLiteral("abc"));
    middle->setFocus();

    middle->setCursorPosition(1);
    QTest::keyClick(middle, Qt::Key_Right);
    EXPECT_TRUE(middle->hasFocus());
    EXPECT_EQ(middle->cursorPosition(), 2);
    // With text selected the arrow only ends the selection.
    middle->setSelection(2, 1);
    QTest::keyClick(middle, Qt::Key_Right);
    EXPECT_TRUE(middle->hasFocus());
    QTest::keyClick(middle, Qt::Key_Right);
    EXPECT_TRUE(m_Fields[2]->hasFocus());

    middle->setFocus();
    middle->setCursorPosition(0);
    QTest::keyClick(middle, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_TRUE(middle->hasFocus());
    middle->setCursorPosition(0);
    QTest::keyClick(middle, Qt::Key_Left);
    EXPECT_TRUE(m_Fields[0]->hasFocus());
}
