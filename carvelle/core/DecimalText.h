#pragma once
// Numbers as the user types and reads them in a field: 32-bit integers and single-precision
// decimals with the locale's decimal separator (QLocale, never the C library's LC_NUMERIC); "." is
// read as well.

#include "platform/WinTypes.h"

#include <QString>
#include <QStringView>

#include <optional>

// Longer texts are refused rather than cut short.
constexpr int kMaxNumberLength = 31;

// A decimal as typed: blanks and tabs around an optional sign, digits with one decimal
// separator (the locale's or "."), an optional exponent. Nothing when the text is not a
// finite float, when a non-zero number would become 0 or overflow as a float, or when it
// reads as zero without starting with the digit 0 ("-0").
std::optional<float> ParseDecimalText(const QString& text);
// The shortest text that reads back as the same float, with the locale's separator
// (12345.67, 1234567, 0.1). Very large or small magnitudes use an exponent.
QString FormatDecimalText(float value);

// Figures the program derives (a price from a total, a trip's cost) are rounded as the user
// would write them: money to the currency's decimal places in the user's locale (2 for dollars
// and euros, 0 for yen), a price per unit and a quantity to three, as pumps show them. Half
// rounds away from zero; what is not a finite float becomes 0.
constexpr int kUnitDecimals = 3;
int CurrencyDecimals();
float RoundedTo(float value, int decimals);
float RoundedMoney(float value);

// A whole number within 32 bits, blanks around it allowed; nothing otherwise.
std::optional<LONG> ParseIntegerText(const QString& text);
QString FormatIntegerText(LONG value);

// A run of 1 to maxDigits ASCII digits (a year, a month, minutes) as a number; -1 otherwise.
int DigitsValue(QStringView text, qsizetype maxDigits);
