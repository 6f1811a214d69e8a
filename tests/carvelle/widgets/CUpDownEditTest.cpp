#include "carvelle/widgets/InputControlsTestSupport.h"

#include "widgets/CUpDownEdit.h"

#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

TEST_F(InputControlsTest, UpDownStepsWithinItsRangeButKeepsWhatWasTypedAndIgnoresAStrayWheel) {
    auto* odometer = new CUpDownEdit(&m_Window);
    m_Window.layout()->addWidget(odometer);
    odometer->SetRange(0, 1000000, 10);
    odometer->setText(QStringLiteral("1234567"));
    m_Fields[0]->setFocus();
    QWheelEvent wheel(QPointF(5, 5), odometer->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(odometer, &wheel);
    EXPECT_EQ(odometer->text(), QStringLiteral("1234567"));
    odometer->setFocus();
    QTest::keyClick(odometer, Qt::Key_Up);
    EXPECT_EQ(odometer->text(), QStringLiteral("1000000"));
    QTest::keyClick(odometer, Qt::Key_Down);
    EXPECT_EQ(odometer->text(), QStringLiteral("999990"));
    odometer->setText(QStringLiteral("5"));
    odometer->StepBy(-1);
    EXPECT_EQ(odometer->text(), QStringLiteral("0"));
}
