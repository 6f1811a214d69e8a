#include "widgets/CDatePicker.h"

#include <QKeyEvent>
#include <QLocale>
#include <QWheelEvent>

#include "core/LocalDates.h"

CDatePicker::CDatePicker(QWidget* parent) : QDateTimeEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(DisplayFormat());
    setFocusPolicy(Qt::StrongFocus);
    setMinimumDate(QDate(1900, 1, 1));
    setMaximumDate(QDate(9999, 12, 31));
}

QString CDatePicker::DisplayFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    // A two-digit year would be read back in the wrong century.
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

void CDatePicker::SetOleDate(double oleDate) {
    m_Stored = oleDate;
    m_StoredLocal = OleDateToLocal(oleDate);
    setDateTime(m_StoredLocal.isValid() ? m_StoredLocal : QDateTime::currentDateTime());
}

double CDatePicker::OleDate() const {
    if (m_StoredLocal.isValid() && date() == m_StoredLocal.date())
        return m_Stored;
    const QTime time = m_StoredLocal.isValid() ? m_StoredLocal.time() : QTime(12, 0);
    return LocalToOleDate(QDateTime(date(), time));
}

void CDatePicker::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QDateTimeEdit::wheelEvent(event);
}

bool CDatePicker::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

void CDatePicker::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    QDateTimeEdit::keyPressEvent(event);
}
