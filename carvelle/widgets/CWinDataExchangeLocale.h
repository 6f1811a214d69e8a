#pragma once
// Moving values between a page's controls and its members: texts, 32-bit integers and
// single-precision decimals. Decimals are shown and read with the locale's decimal separator
// (QLocale, never the C library's LC_NUMERIC); "." is read as well. A page mixes this class in
// and calls the Exchange functions in its own order.
//
// A value that cannot be read is refused the same way everywhere: the default beep, the focus on
// the control, and the control framed in the error colour until its text changes. The page then
// refuses its apply or stops its calculation.
//
// The controls are line edits and editable combo boxes.

#include "platform/WinTypes.h"

#include <QString>

#include <optional>

class QWidget;

class CWinDataExchangeLocale {
public:
    // Longer texts are refused rather than cut short.
    static constexpr int kMaxNumberLength = 31;

    // A decimal as typed: blanks and tabs around an optional sign, digits with one decimal
    // separator (the locale's or "."), an optional exponent. Nothing when the text is not a
    // finite float, when a non-zero number would become 0 or overflow as a float, or when it
    // reads as zero without starting with the digit 0 ("-0").
    static std::optional<float> ParseDecimal(const QString& text);
    // The shortest text that reads back as the same float, with the locale's separator
    // (12345.67, 1234567, 0.1). Very large or small magnitudes use an exponent.
    static QString FormatDecimal(float value);

    // A whole number within 32 bits, blanks around it allowed; nothing otherwise.
    static std::optional<LONG> ParseInteger(const QString& text);
    static QString FormatInteger(LONG value);

    // save == false shows the member in the control; save == true reads the control into the
    // member, which a refused value leaves unchanged. False when the value was refused.
    static bool ExchangeText(QWidget* control, QString& value, bool save);
    static bool ExchangeInteger(QWidget* control, LONG& value, bool save);
    static bool ExchangeDecimal(QWidget* control, float& value, bool save);

    // Beeps, puts the focus on the control and frames it until its text changes.
    static void Refuse(QWidget* control);
    static bool IsMarkedRefused(const QWidget* control);
};
