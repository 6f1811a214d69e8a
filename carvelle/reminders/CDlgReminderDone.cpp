#include "reminders/CDlgReminderDone.h"

#include "reminders/CDlgNotification.h"

#include "core/CStringTable.h"
#include "core/DecimalText.h"
#include "core/ResourceIds.h"
#include "core/Units.h"
#include "widgets/CDatePicker.h"
#include "widgets/CUpDownEdit.h"
#include "widgets/CWinDataExchangeLocale.h"
#include "widgets/SharedFonts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

// Far above what any repair costs.
constexpr double kMostAmount = 1.0e7;

} // namespace

CDlgReminderDone::CDlgReminderDone(const QString& reminderName, const QDate& day, LONG odometer,
                                   ReadingCheck check, QWidget* parent)
    : CFullScreenDialog(IDD_REMINDER_DONE, LoadStringResource(IDS_REMINDER_DONE_TITLE), parent),
      m_Check(std::move(check)) {
    auto* name = new QLabel(reminderName, this);
    name->setObjectName(QStringLiteral("doneReminderName"));
    name->setFont(BoldFont());
    name->setWordWrap(true);
    name->setTextFormat(Qt::PlainText);
    Body()->addWidget(name);

    auto* form = new QFormLayout();
    form->setLabelAlignment(Qt::AlignLeft);
    m_DayField = new CDatePicker(this);
    m_DayField->setObjectName(QStringLiteral("doneDay"));
    m_DayField->SetDay(day);
    m_OdometerField = new CUpDownEdit(this);
    m_OdometerField->setObjectName(QStringLiteral("doneOdometer"));
    m_OdometerField->SetRange(0, CDlgNotification::kStepMaximum, CDlgNotification::kStep);
    m_OdometerField->setText(FormatIntegerText(odometer));
    auto* dayLabel = new QLabel(LoadStringResource(IDS_REMINDER_DONE_DAY), this);
    dayLabel->setFont(SmallBoldFont());
    dayLabel->setBuddy(m_DayField);
    auto* odometerLabel = new QLabel(LoadStringResource(IDS_REMINDER_DONE_ODOMETER), this);
    odometerLabel->setFont(SmallBoldFont());
    odometerLabel->setBuddy(m_OdometerField);
    form->addRow(dayLabel, m_DayField);
    form->addRow(odometerLabel, m_OdometerField);

    // The repair is stored only when asked: not every reminder is work that costs.
    m_RepairBox = new QCheckBox(LoadStringResource(IDS_REMINDER_DONE_STORE_REPAIR), this);
    m_RepairBox->setObjectName(QStringLiteral("doneStoreRepair"));
    m_AmountField = new QLineEdit(this);
    m_AmountField->setObjectName(QStringLiteral("doneRepairAmount"));
    m_AmountField->setText(FormatDecimalText(0.0f));
    m_AmountField->setEnabled(false);
    connect(m_RepairBox, &QCheckBox::toggled, m_AmountField, &QWidget::setEnabled);
    auto* amountLabel = new QLabel(FormatStringResource(IDS_REMINDER_DONE_AMOUNT, {CurrencySymbol()}), this);
    amountLabel->setFont(SmallBoldFont());
    amountLabel->setBuddy(m_AmountField);
    form->addRow(m_RepairBox);
    form->addRow(amountLabel, m_AmountField);
    Body()->addLayout(form);
    Body()->addStretch(1);

    setTabOrder(m_DayField, m_OdometerField);
    setTabOrder(m_OdometerField, m_RepairBox);
    setTabOrder(m_RepairBox, m_AmountField);
    m_DayField->setFocus();
}

CDlgReminderDone::~CDlgReminderDone() = default;

void CDlgReminderDone::OnDone() {
    double oleDate = 0.0;
    if (!CWinDataExchangeLocale::ExchangeDate(m_DayField, oleDate, true))
        return;
    const QDate day = m_DayField->Day();
    const QString typed = m_OdometerField->text();
    const std::optional<LONG> odometer = ParseIntegerText(typed);
    if (!odometer || *odometer < 0) {
        CWinDataExchangeLocale::Refuse(
            m_OdometerField, odometer ? FormatStringResource(IDS_REFUSED_OUT_OF_RANGE, {typed.trimmed()})
                                      : CWinDataExchangeLocale::IntegerRefusal(typed));
        return;
    }
    if (m_Check) {
        if (const QString refusal = m_Check(day, *odometer); !refusal.isEmpty()) {
            CWinDataExchangeLocale::Refuse(m_OdometerField, refusal);
            return;
        }
    }
    std::optional<double> amount;
    if (m_RepairBox->isChecked()) {
        float value = 0.0f;
        if (!CWinDataExchangeLocale::ExchangeDecimal(m_AmountField, value, true))
            return;
        if (!std::isfinite(value) || value < 0.0f || value > kMostAmount) {
            CWinDataExchangeLocale::Refuse(
                m_AmountField,
                FormatStringResource(IDS_REFUSED_OUT_OF_RANGE, {m_AmountField->text().trimmed()}));
            return;
        }
        amount = value;
    }
    m_Day = day;
    m_Odometer = *odometer;
    m_RepairAmount = amount;
    done(ID_DONE);
}
