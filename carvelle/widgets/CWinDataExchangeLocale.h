#pragma once
// Moving values between a page's controls and its members: texts, 32-bit integers and
// single-precision decimals, in the text forms of core/DecimalText.h. A page mixes this class in
// and calls the Exchange functions in its own order.
//
// A value that cannot be read is refused the same way everywhere: the default beep, the focus on
// the control, and the control framed in the error colour until its text changes. The page then
// refuses its apply or stops its calculation.
//
// The controls are line edits and editable combo boxes.

#include "platform/WinTypes.h"

#include <QString>

class QWidget;

class CWinDataExchangeLocale {
public:
    // save == false shows the member in the control; save == true reads the control into the
    // member, which a refused value leaves unchanged. False when the value was refused.
    static bool ExchangeText(QWidget* control, QString& value, bool save);
    static bool ExchangeInteger(QWidget* control, LONG& value, bool save);
    static bool ExchangeDecimal(QWidget* control, float& value, bool save);

    // Beeps, puts the focus on the control and frames it until its text changes.
    static void Refuse(QWidget* control);
    static bool IsMarkedRefused(const QWidget* control);
};
