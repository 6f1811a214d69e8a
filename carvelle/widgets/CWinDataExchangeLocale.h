#pragma once
// Moving values between a page's controls and its members: texts, 32-bit integers and
// single-precision decimals, in the text forms of core/DecimalText.h. A page mixes this class in
// and calls the Exchange functions in its own order.
//
// A value that cannot be read is refused the same way everywhere: the default beep, the focus on
// the control, the control framed in the error colour and the reason in its tooltip and in the
// dialog's refusal line, until its text changes. The text stays as the user typed it. The page
// then refuses its apply or stops its calculation.
//
// The controls are line edits (the date field is one) and editable combo boxes.

#include "platform/WinTypes.h"

#include <QString>

class CDatePicker;
class QLineEdit;
class QWidget;

class CWinDataExchangeLocale {
public:
    // save == false shows the member in the control; save == true reads the control into the
    // member, which a refused value leaves unchanged. False when the value was refused.
    static bool ExchangeText(QWidget* control, QString& value, bool save);
    static bool ExchangeInteger(QWidget* control, LONG& value, bool save);
    static bool ExchangeDecimal(QWidget* control, float& value, bool save);
    // A stored (UTC) OLE date and the local day the field shows.
    static bool ExchangeDate(CDatePicker* control, double& oleDate, bool save);

    // Beeps, puts the focus on the control and frames it until its text changes; the reason, when
    // given, shows in its tooltip and in the dialog's refusal line as long.
    static void Refuse(QWidget* control, const QString& reason = QString());
    static bool IsMarkedRefused(const QWidget* control);
    // A keystroke the field did not take: the beep and the reason in the dialog's refusal line
    // until the field's text changes; no frame, as the value itself is fine.
    static void ExplainRejectedKey(QLineEdit* edit, const QString& reason);

    // Why the text is no whole number or no decimal ("Not a number: 1o.5").
    static QString IntegerRefusal(const QString& text);
    static QString DecimalRefusal(const QString& text);
    // Why the date field's text is no date, with a day typed as the field takes it.
    static QString DateRefusal(const CDatePicker* control);
};
