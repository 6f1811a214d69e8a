#include "widgets/CWinDataExchangeLocale.h"

#include "widgets/CDatePicker.h"
#include "widgets/CFullScreenDialog.h"

#include "core/CStringTable.h"
#include "core/DecimalText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

const char* const kRefusedProperty = "refusedValue";
const char* const kToolTipProperty = "toolTipBeforeRefusal";
const char* const kFrameName = "refusedFrame";

// The frame that marks a refused field, drawn over the field's edge.
class CRefusedFrame : public QWidget {
public:
    explicit CRefusedFrame(QWidget* field) : QWidget(field) {
        setObjectName(QString::fromLatin1(kFrameName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(field->rect());
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        // A red that stands out from the palette's window and base, light or dark.
        const bool dark = palette().color(QPalette::Base).lightness() < 128;
        QPainter painter(this);
        painter.setPen(QPen(dark ? QColor(0xFF, 0x6B, 0x6B) : QColor(0xC6, 0x28, 0x28), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
};

QString ControlText(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    return {};
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setEditText(text);
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Digits alone between blanks, with an optional sign: a number too big for its field.
bool IsDigitRun(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype i = !trimmed.isEmpty() && (trimmed[0] == u'-' || trimmed[0] == u'+') ? 1 : 0;
    if (i >= trimmed.size())
        return false;
    for (; i < trimmed.size(); ++i) {
        if (trimmed[i] < u'0' || trimmed[i] > u'9')
            return false;
    }
    return true;
}

bool IsEmptyText(const QString& text) {
    return std::all_of(text.begin(), text.end(), IsBlank);
}

} // namespace

QString CWinDataExchangeLocale::IntegerRefusal(const QString& text) {
    if (IsEmptyText(text))
        return LoadStringResource(IDS_REFUSED_EMPTY_NUMBER);
    return FormatStringResource(IsDigitRun(text) ? IDS_REFUSED_OUT_OF_RANGE : IDS_REFUSED_WHOLE_NUMBER,
                                {text.trimmed()});
}

QString CWinDataExchangeLocale::DecimalRefusal(const QString& text) {
    if (IsEmptyText(text))
        return LoadStringResource(IDS_REFUSED_EMPTY_NUMBER);
    // A number beyond a float's range reads in the C locale once the separator is a point.
    QString plain = text.trimmed();
    plain.replace(QLocale().decimalPoint(), QStringLiteral("."));
    bool number = false;
    const double value = QLocale::c().toDouble(plain, &number);
    const bool outOfRange = number && value != 0.0 && plain.size() <= kMaxNumberLength;
    return FormatStringResource(outOfRange ? IDS_REFUSED_OUT_OF_RANGE : IDS_REFUSED_NUMBER, {text.trimmed()});
}

QString CWinDataExchangeLocale::DateRefusal(const CDatePicker* control) {
    const QString example = CDatePicker::DayText(control->ExampleDay());
    const QString text = control->text().trimmed();
    return text.isEmpty() ? FormatStringResource(IDS_REFUSED_EMPTY_DATE, {example})
                          : FormatStringResource(IDS_REFUSED_DATE, {text, example});
}

bool CWinDataExchangeLocale::ExchangeText(QWidget* control, QString& value, bool save) {
    if (save)
        value = ControlText(control);
    else
        SetControlText(control, value);
    return true;
}

bool CWinDataExchangeLocale::ExchangeInteger(QWidget* control, LONG& value, bool save) {
    if (!save) {
        SetControlText(control, FormatIntegerText(value));
        return true;
    }
    const QString text = ControlText(control);
    const std::optional<LONG> typed = ParseIntegerText(text);
    if (!typed) {
        Refuse(control, IntegerRefusal(text));
        return false;
    }
    value = *typed;
    return true;
}

bool CWinDataExchangeLocale::ExchangeDecimal(QWidget* control, float& value, bool save) {
    if (!save) {
        SetControlText(control, FormatDecimalText(value));
        return true;
    }
    const QString text = ControlText(control);
    const std::optional<float> typed = ParseDecimalText(text);
    if (!typed) {
        Refuse(control, DecimalRefusal(text));
        return false;
    }
    value = *typed;
    return true;
}

bool CWinDataExchangeLocale::ExchangeDate(CDatePicker* control, double& oleDate, bool save) {
    if (!save) {
        control->SetOleDate(oleDate);
        return true;
    }
    if (!control->Day().isValid()) {
        Refuse(control, DateRefusal(control));
        return false;
    }
    oleDate = control->OleDate();
    return true;
}

void CWinDataExchangeLocale::Refuse(QWidget* control, const QString& reason) {
    QApplication::beep();
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
    auto* dialog = qobject_cast<CFullScreenDialog*>(control->window());
    if (dialog)
        dialog->ShowRefusal(control, reason);
    if (!IsMarkedRefused(control))
        control->setProperty(kToolTipProperty, control->toolTip());
    control->setToolTip(reason.isEmpty() ? control->property(kToolTipProperty).toString() : reason);
    if (IsMarkedRefused(control))
        return;
    control->setProperty(kRefusedProperty, true);
    auto* frame = new CRefusedFrame(control);
    frame->show();
    // The mark goes with the first change of the text.
    const QPointer<QWidget> field(control);
    const QPointer<QWidget> mark(frame);
    const QPointer<CFullScreenDialog> owner(dialog);
    const auto unmark = [field, mark, owner] {
        if (field) {
            field->setProperty(kRefusedProperty, false);
            field->setToolTip(field->property(kToolTipProperty).toString());
        }
        if (owner)
            owner->ClearRefusal(field);
        if (mark) {
            mark->hide();
            mark->deleteLater();
        }
    };
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        QObject::connect(edit, &QLineEdit::textChanged, frame, unmark, Qt::SingleShotConnection);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        QObject::connect(combo, &QComboBox::editTextChanged, frame, unmark, Qt::SingleShotConnection);
}

bool CWinDataExchangeLocale::IsMarkedRefused(const QWidget* control) {
    return control && control->property(kRefusedProperty).toBool();
}

void CWinDataExchangeLocale::ExplainRejectedKey(QLineEdit* edit, const QString& reason) {
    QApplication::beep();
    auto* dialog = edit ? qobject_cast<CFullScreenDialog*>(edit->window()) : nullptr;
    if (!dialog || dialog->RefusalText() == reason)
        return;
    dialog->ShowRefusal(edit, reason);
    const QPointer<QLineEdit> field(edit);
    QObject::connect(
        edit, &QLineEdit::textChanged, dialog,
        [dialog, field] {
            if (field)
                dialog->ClearRefusal(field);
        },
        Qt::SingleShotConnection);
}
