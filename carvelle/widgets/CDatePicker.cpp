#include "widgets/CDatePicker.h"

#include "core/CStringTable.h"
#include "core/LocalDates.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

const QDate kFirstDay(1900, 1, 1);
const QDate kLastDay(9999, 12, 31);

} // namespace

CDatePicker::CDatePicker(QWidget* parent) : QLineEdit(parent) {
    m_CalendarAction = addAction(QIcon(), QLineEdit::TrailingPosition);
    m_CalendarAction->setObjectName(QStringLiteral("showCalendar"));
    m_CalendarAction->setToolTip(LoadStringResource(IDS_SHOW_CALENDAR));
    PaintCalendarIcon();
    connect(m_CalendarAction, &QAction::triggered, this, &CDatePicker::ShowCalendar);
}

CDatePicker::~CDatePicker() = default;

QString CDatePicker::DisplayFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    // A two-digit year shown would hide the century it was read in.
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString CDatePicker::DayText(QDate day) {
    return QLocale().toString(day, DisplayFormat());
}

void CDatePicker::SetOleDate(double oleDate) {
    m_Stored = oleDate;
    m_StoredLocal = OleDateToLocal(oleDate);
    setText(DayText(m_StoredLocal.isValid() ? m_StoredLocal.date() : LocalDayToday()));
}

double CDatePicker::OleDate() const {
    const QDate day = Day();
    if (!day.isValid() || (m_StoredLocal.isValid() && day == m_StoredLocal.date()))
        return m_Stored;
    const QTime time = m_StoredLocal.isValid() ? m_StoredLocal.time() : QTime(12, 0);
    return LocalToOleDate(QDateTime(day, time));
}

QDate CDatePicker::Day() const {
    const QDate day = ParseTypedDate(text(), LocalDayToday());
    return day.isValid() && day <= kLastDay ? day : QDate();
}

void CDatePicker::SetDay(QDate day) {
    setText(DayText(day));
}

QDate CDatePicker::ExampleDay() const {
    return m_StoredLocal.isValid() ? m_StoredLocal.date() : LocalDayToday();
}

void CDatePicker::Replace(QDate day) {
    selectAll();
    insert(DayText(day));
}

void CDatePicker::StepDays(int days) {
    const QDate day = Day().isValid() ? Day() : ExampleDay();
    const QDate next = day.addDays(days);
    if (next >= kFirstDay && next <= kLastDay)
        Replace(next);
}

void CDatePicker::ShowCalendar() {
    if (!m_Popup) {
        m_Popup = new QFrame(this, Qt::Popup);
        m_Popup->setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(m_Popup);
        layout->setContentsMargins(0, 0, 0, 0);
        m_Calendar = new QCalendarWidget(m_Popup);
        m_Calendar->setObjectName(QStringLiteral("calendar"));
        m_Calendar->setDateRange(kFirstDay, kLastDay);
        layout->addWidget(m_Calendar);
        const auto pick = [this](QDate day) {
            m_Popup->close();
            Replace(day);
            setFocus(Qt::PopupFocusReason);
        };
        connect(m_Calendar, &QCalendarWidget::clicked, this, pick);
        connect(m_Calendar, &QCalendarWidget::activated, this, pick);
    }
    m_Calendar->setSelectedDate(Day().isValid() ? Day() : ExampleDay());
    // Under the field, or over it where the screen ends; never past the screen's edges.
    const QSize size = m_Popup->sizeHint();
    QPoint at =
        mapToGlobal(QPoint(layoutDirection() == Qt::RightToLeft ? width() - size.width() : 0, height()));
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        if (at.y() + size.height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - size.width())));
        at.setY(qMax(area.top(), at.y()));
    }
    m_Popup->move(at);
    m_Popup->show();
    m_Calendar->setFocus(Qt::PopupFocusReason);
}

void CDatePicker::PaintCalendarIcon() {
    // Drawn in the palette's text colour, so it shows on a light and a dark window alike.
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(QSize(16, 16) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::Text);
    painter.setPen(QPen(ink, 1.2));
    painter.drawRoundedRect(QRectF(2.5, 3.5, 11, 10), 1.5, 1.5);
    painter.fillRect(QRectF(2.5, 3.5, 11, 3), ink);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column)
            painter.drawRect(QRectF(4.5 + column * 2.75, 8.0 + row * 2.5, 1.5, 1.5));
    }
    painter.end();
    m_CalendarAction->setIcon(QIcon(pixmap));
}

void CDatePicker::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        PaintCalendarIcon();
    QLineEdit::changeEvent(event);
}

void CDatePicker::focusOutEvent(QFocusEvent* event) {
    // A day typed short ("6/30/27") is shown in full once read, so the century can be seen.
    if (const QDate day = Day(); day.isValid() && text() != DayText(day) && !isReadOnly())
        Replace(day);
    QLineEdit::focusOutEvent(event);
}

void CDatePicker::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Down && modifiers == Qt::AltModifier) || (key == Qt::Key_F4 && modifiers == 0)) {
        event->accept();
        ShowCalendar();
        return;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && modifiers == 0) {
        event->accept();
        StepDays(key == Qt::Key_Up ? 1 : -1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CDatePicker::wheelEvent(QWheelEvent* event) {
    const int clicks = event->angleDelta().y() / 120;
    if (!hasFocus() || clicks == 0) {
        event->ignore(); // the form scrolls instead
        return;
    }
    StepDays(clicks);
    event->accept();
}
