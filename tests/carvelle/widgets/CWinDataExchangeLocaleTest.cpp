#include "carvelle/widgets/InputControlsTestSupport.h"

#include "widgets/CWinDataExchangeLocale.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Exchange = CWinDataExchangeLocale;

} // namespace

TEST_F(InputControlsTest, ARefusedFieldKeepsTheValueTakesTheFocusAndStaysMarkedUntilItChanges) {
    const ScopedLocale locale(kGerman);
    QLineEdit* amount = m_Fields[1];
    float value = 12345.67f;
    ASSERT_TRUE(Exchange::ExchangeDecimal(amount, value, false));
    EXPECT_EQ(amount->text(), QStringLiteral("12345,67"));
    // Read back untouched: the very same float.
    value = 0.0f;
    ASSERT_TRUE(Exchange::ExchangeDecimal(amount, value, true));
    EXPECT_EQ(value, 12345.67f);

    m_Fields[0]->setFocus();
    amount->setText(QStringLiteral("1e39"));
    EXPECT_FALSE(Exchange::ExchangeDecimal(amount, value, true));
    EXPECT_EQ(value, 12345.67f);
    EXPECT_TRUE(amount->hasFocus());
    EXPECT_TRUE(Exchange::IsMarkedRefused(amount));
    // A second refusal of the same field leaves one mark.
    EXPECT_FALSE(Exchange::ExchangeDecimal(amount, value, true));
    QTest::keyClick(amount, Qt::Key_Backspace);
    EXPECT_FALSE(Exchange::IsMarkedRefused(amount));
    // Refused again before the old frame is gone: the new one goes with the next change too.
    Exchange::Refuse(amount);
    QTest::keyClick(amount, Qt::Key_5);
    EXPECT_FALSE(Exchange::IsMarkedRefused(amount));
    for (QWidget* frame : amount->findChildren<QWidget*>(QStringLiteral("refusedFrame")))
        EXPECT_FALSE(frame->isVisible());

    LONG odometer = 1234567;
    ASSERT_TRUE(Exchange::ExchangeInteger(m_Fields[2], odometer, false));
    EXPECT_EQ(m_Fields[2]->text(), QStringLiteral("1234567"));
    m_Fields[2]->setText(QStringLiteral("4294967296"));
    EXPECT_FALSE(Exchange::ExchangeInteger(m_Fields[2], odometer, true));
    EXPECT_EQ(odometer, 1234567);
    EXPECT_TRUE(m_Fields[2]->hasFocus());
}
