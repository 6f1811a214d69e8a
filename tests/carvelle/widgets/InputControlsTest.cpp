#include "carvelle/support/CScriptedPrompter.h"
#include "carvelle/support/CTestEnvironment.h"

#include "core/DecimalText.h"
#include "widgets/CEditEx.h"
#include "widgets/CUpDownEdit.h"
#include "widgets/CWinDataExchangeLocale.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>

namespace {

using Exchange = CWinDataExchangeLocale;

class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(m_Old); }

private:
    QLocale m_Old;
};

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

bool SameFloat(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

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

} // namespace

TEST(DecimalTextTest, AcceptsPlainNumbersAndRefusesWhatIsNotAFiniteFloat) {
    const ScopedLocale locale(kEnglish);
    const std::pair<const char*, float> accepted[] = {
        {"7", 7.0f},   {" \t7 \t", 7.0f}, {"0", 0.0f},         {"0.0", 0.0f},       {".5", 0.5f},
        {"1e3", 1e3f}, {"+2.5", 2.5f},    {"-12.25", -12.25f}, {"3.4e38", 3.4e38f}, {"00012", 12.0f},
    };
    for (const auto& [text, value] : accepted) {
        const std::optional<float> read = ParseDecimalText(QString::fromUtf8(text));
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_EQ(*read, value) << text;
    }
    const char* const refused[] = {
        "",    " ",    "abc",      "7a",   "-0",    ".0",    "1e",       "1.2.3",
        "--1", "+-1",  "- 1",      "1e39", "-1e39", "1e400", "1e-50",    "nan",
        "inf", "-inf", "infinity", "0x10", "1,5",   "1 000", "\xd9\xa1",
    };
    for (const char* text : refused)
        EXPECT_FALSE(ParseDecimalText(QString::fromUtf8(text)).has_value()) << text;
    // Thirty-one characters are read; a longer text is refused, not cut short.
    EXPECT_TRUE(ParseDecimalText(QString(30, u'0') + u'1').has_value());
    EXPECT_FALSE(ParseDecimalText(QString(31, u'0') + u'1').has_value());
}

TEST(DecimalTextTest, ShowsTheShortestTextThatReadsBackInEitherLocale) {
    {
        const ScopedLocale locale(kEnglish);
        EXPECT_EQ(FormatDecimalText(12345.67f), QStringLiteral("12345.67"));
        EXPECT_EQ(FormatDecimalText(1234567.0f), QStringLiteral("1234567"));
        EXPECT_EQ(FormatDecimalText(0.1f), QStringLiteral("0.1"));
        EXPECT_EQ(FormatDecimalText(-0.0f), QStringLiteral("0"));
    }
    const ScopedLocale locale(kGerman);
    EXPECT_EQ(FormatDecimalText(1.5f), QStringLiteral("1,5"));
    EXPECT_EQ(FormatDecimalText(12345.67f), QStringLiteral("12345,67"));
    EXPECT_EQ(ParseDecimalText(QStringLiteral("1,5")), 1.5f);
    EXPECT_EQ(ParseDecimalText(QStringLiteral("1.5")), 1.5f);
    EXPECT_EQ(ParseDecimalText(QStringLiteral(" 2,5e2 ")), 250.0f);
    EXPECT_FALSE(ParseDecimalText(QStringLiteral("1,5,5")).has_value());

    // Every float, shown and read back, is the same float: an untouched field stores nothing new.
    const float values[] = {12345.67f,
                            1234567.0f,
                            3.999f,
                            -0.001f,
                            0.3f,
                            16777217.0f,
                            1e-7f,
                            1e20f,
                            std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::denorm_min(),
                            std::numeric_limits<float>::lowest()};
    for (const QLocale& each : {kEnglish, kGerman}) {
        const ScopedLocale inner(each);
        for (float value : values) {
            const QString text = FormatDecimalText(value);
            EXPECT_LE(text.size(), kMaxNumberLength) << text.toStdString();
            const std::optional<float> back = ParseDecimalText(text);
            ASSERT_TRUE(back.has_value()) << text.toStdString();
            EXPECT_TRUE(SameFloat(*back, value)) << text.toStdString();
        }
    }
}

TEST(DecimalTextTest, IntegersStayWithin32Bits) {
    EXPECT_EQ(ParseIntegerText(QStringLiteral(" 2147483647 ")), 2147483647);
    EXPECT_EQ(ParseIntegerText(QStringLiteral("-2147483648")), std::numeric_limits<LONG>::min());
    EXPECT_EQ(ParseIntegerText(QStringLiteral("1234567")), 1234567);
    for (const char* text :
         {"2147483648", "-2147483649", "99999999999", "", "-", "+5", "12a", "1.0", "1e3", "0x10"})
        EXPECT_FALSE(ParseIntegerText(QString::fromUtf8(text)).has_value()) << text;
    EXPECT_EQ(FormatIntegerText(-42), QStringLiteral("-42"));
}

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
