#include "widgets/CWinDataExchangeLocale.h"

#include "core/DecimalText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>

namespace {

const char* const kRefusedProperty = "refusedValue";
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

} // namespace

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
    const std::optional<LONG> typed = ParseIntegerText(ControlText(control));
    if (!typed) {
        Refuse(control);
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
    const std::optional<float> typed = ParseDecimalText(ControlText(control));
    if (!typed) {
        Refuse(control);
        return false;
    }
    value = *typed;
    return true;
}

void CWinDataExchangeLocale::Refuse(QWidget* control) {
    QApplication::beep();
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
    if (IsMarkedRefused(control))
        return;
    control->setProperty(kRefusedProperty, true);
    auto* frame = new CRefusedFrame(control);
    frame->show();
    // The mark goes with the first change of the text.
    const QPointer<QWidget> field(control);
    const QPointer<QWidget> mark(frame);
    const auto unmark = [field, mark] {
        if (field)
            field->setProperty(kRefusedProperty, false);
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
