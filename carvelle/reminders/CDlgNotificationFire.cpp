#include "reminders/CDlgNotificationFire.h"

#include "reminders/CNotificationListView.h"

#include "core/CStringTable.h"
#include "core/LocalDates.h"
#include "core/ReminderSchedule.h"
#include "core/ResourceIds.h"
#include "core/VehicleDisplayText.h"
#include "records/CNotification.h"
#include "records/CVehicle.h"
#include "widgets/SharedFonts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* AddValue(QFormLayout* form, QWidget* parent, const char* label, const char* name,
                 const QString& value) {
    auto* caption = new QLabel(QString::fromUtf8(label), parent);
    caption->setFont(SmallBoldFont());
    auto* text = new QLabel(value, parent);
    text->setObjectName(QLatin1String(name));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(caption, text);
    return text;
}

} // namespace

CDlgNotificationFire::CDlgNotificationFire(const CNotification& reminder, const CVehicle& vehicle,
                                           QWidget* parent)
    : CFullScreenDialog(IDD_REMINDER, QStringLiteral("Reminder"), parent) {
    auto* intro = new QLabel(QStringLiteral("The following maintenance is now due:"), this);
    intro->setWordWrap(true);
    Body()->addWidget(intro);

    auto* vehicleText = new QLabel(VehicleDisplayText(vehicle), this);
    vehicleText->setObjectName(QStringLiteral("noticeVehicle"));
    vehicleText->setFont(BoldFont());
    vehicleText->setWordWrap(true);
    Body()->addWidget(vehicleText);

    // A long description wraps and scrolls inside its box; it can be read and copied, not changed.
    auto* description = new QPlainTextEdit(QString::fromUtf16(reminder.GetName()), this);
    description->setObjectName(QStringLiteral("noticeDescription"));
    description->setReadOnly(true);
    description->setTabChangesFocus(true);
    description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    const int lineHeight = description->fontMetrics().lineSpacing();
    description->setMinimumHeight(2 * lineHeight + 12);
    description->setMaximumHeight(6 * lineHeight + 12);
    Body()->addWidget(description, 1);

    auto* form = new QFormLayout();
    form->setLabelAlignment(Qt::AlignLeft);
    // A moved-on reminder that does not repeat on one of the two is never due by it.
    AddValue(form, this, "Reminder odometer:", "noticeOdometer",
             ReminderDueOdometer(reminder) ? CNotificationListView::OdometerText(reminder.GetOdometer())
                                           : LoadStringResource(IDS_NO_DATE));
    AddValue(form, this, "Current odometer:", "noticeCurrentOdometer",
             CNotificationListView::OdometerText(vehicle.GetCurrentOdometer()));
    AddValue(form, this, "Reminder date:", "noticeDate",
             ReminderDueDay(reminder) ? ShortDateText(reminder.GetDate()) : LoadStringResource(IDS_NO_DATE));
    AddValue(form, this, "Current date:", "noticeCurrentDate", ShortDateText(NowAsOleDate()));
    Body()->addLayout(form);

    // Deleting takes its own button (or Alt+D); Enter belongs to "Remind me later".
    m_Delete = new QPushButton(QStringLiteral("&Delete reminder"), this);
    m_Delete->setObjectName(QStringLiteral("noticeDelete"));
    m_Delete->setAutoDefault(false);
    m_Later = new QPushButton(QStringLiteral("Remind me &later"), this);
    m_Later->setObjectName(QStringLiteral("noticeLater"));
    m_Later->setAutoDefault(false);
    m_WorkDone = new QPushButton(LoadStringResource(IDS_REMINDER_DONE_BUTTON), this);
    m_WorkDone->setObjectName(QStringLiteral("noticeWorkDone"));
    m_WorkDone->setAutoDefault(false);
    connect(m_WorkDone, &QPushButton::clicked, this, [this] { done(ResultWorkDone); });
    connect(m_Delete, &QPushButton::clicked, this, [this] { done(ResultDelete); });
    connect(m_Later, &QPushButton::clicked, this, [this] { done(ResultLater); });
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_Delete);
    buttons->addWidget(m_WorkDone);
    buttons->addStretch(1);
    buttons->addWidget(m_Later);
    Body()->addLayout(buttons);
    Body()->addStretch(0);

    setTabOrder(m_Later, m_Delete);
    setTabOrder(m_Delete, m_WorkDone);
    setTabOrder(m_WorkDone, description);
    m_Later->setFocus();
}

CDlgNotificationFire::~CDlgNotificationFire() = default;

void CDlgNotificationFire::OnDone() {
    done(ResultLater);
}

void CDlgNotificationFire::keyPressEvent(QKeyEvent* event) {
    // Enter closes the notice and keeps the reminder wherever the focus is, also on the Delete
    // button or in the description.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        done(ResultLater);
        return;
    }
    CFullScreenDialog::keyPressEvent(event);
}
