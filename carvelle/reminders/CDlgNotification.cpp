#include "reminders/CDlgNotification.h"

#include "core/DecimalText.h"
#include "core/ReminderSchedule.h"
#include "core/Units.h"
#include "datastore/CDataLayer.h"
#include "editing/KeywordPickList.h"
#include "widgets/CDatePicker.h"
#include "widgets/CEditEx.h"
#include "widgets/CUpDownEdit.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(SmallBoldFont());
    label->setBuddy(buddy);
    return label;
}

} // namespace

CDlgNotification::CDlgNotification(QWidget* parent)
    : CFullScreenDialog(IDD_EDIT_REMINDER, QStringLiteral("Edit Reminder"), parent) {
    m_DescriptionCombo = new QComboBox(this);
    m_DescriptionCombo->setObjectName(QStringLiteral("reminderDescription"));
    m_DescriptionCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FillKeywordCombo(CKeyword::KeywordRepair, m_DescriptionCombo);
    m_Keywords = new QPushButton(QStringLiteral("..."), this);
    m_Keywords->setObjectName(QStringLiteral("reminderKeywords"));
    m_Keywords->setAutoDefault(false);
    m_Keywords->setFixedWidth(m_Keywords->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    connect(m_Keywords, &QPushButton::clicked, this, &CDlgNotification::OnKeywords);

    Body()->addWidget(MakeLabel(this, "&Description:", m_DescriptionCombo));
    auto* descriptionRow = new QHBoxLayout();
    descriptionRow->addWidget(m_DescriptionCombo, 1);
    descriptionRow->addWidget(m_Keywords);
    Body()->addLayout(descriptionRow);

    // The group's caption is a label like the others; its fields keep the plain font.
    auto* group = new QGroupBox(QStringLiteral("Remind me when..."), this);
    group->setFont(SmallBoldFont());
    QFont fieldFont = QApplication::font();
    fieldFont.setResolveMask(QFont::AllPropertiesResolved);
    auto* conditions = new QVBoxLayout(group);
    m_OdometerField = new CUpDownEdit(group);
    m_OdometerField->setObjectName(QStringLiteral("reminderOdometer"));
    m_OdometerField->setFont(fieldFont);
    m_OdometerField->SetRange(0, kStepMaximum, kStep);
    m_DatePicker = new CDatePicker(group);
    m_DatePicker->setObjectName(QStringLiteral("reminderDate"));
    m_DatePicker->setFont(fieldFont);
    conditions->addWidget(MakeLabel(group, "the &odometer reaches:", m_OdometerField));
    conditions->addWidget(m_OdometerField);
    conditions->addWidget(MakeLabel(group, "or the d&ate is past:", m_DatePicker));
    conditions->addWidget(m_DatePicker);
    Body()->addWidget(group);

    auto* repeat = new QGroupBox(LoadStringResource(IDS_REMINDER_EVERY_GROUP), this);
    repeat->setFont(SmallBoldFont());
    auto* every = new QGridLayout(repeat);
    m_EveryDistanceField = new CUpDownEdit(repeat);
    m_EveryDistanceField->setObjectName(QStringLiteral("reminderEveryDistance"));
    m_EveryDistanceField->setFont(fieldFont);
    m_EveryDistanceField->SetRange(0, CDataLayer::MaxEveryDistance, 500);
    m_EveryMonthsField = new CUpDownEdit(repeat);
    m_EveryMonthsField->setObjectName(QStringLiteral("reminderEveryMonths"));
    m_EveryMonthsField->setFont(fieldFont);
    m_EveryMonthsField->SetRange(0, CDataLayer::MaxEveryMonths, 1);
    const QString distanceLabel =
        FormatStringResource(IDS_REMINDER_EVERY_DISTANCE, {DistanceUnitName(true, true)});
    auto* distanceCaption = new QLabel(distanceLabel, repeat);
    distanceCaption->setFont(SmallBoldFont());
    distanceCaption->setBuddy(m_EveryDistanceField);
    auto* monthsCaption = new QLabel(LoadStringResource(IDS_REMINDER_EVERY_MONTHS), repeat);
    monthsCaption->setFont(SmallBoldFont());
    monthsCaption->setBuddy(m_EveryMonthsField);
    every->addWidget(distanceCaption, 0, 0);
    every->addWidget(m_EveryDistanceField, 1, 0);
    every->addWidget(monthsCaption, 0, 1);
    every->addWidget(m_EveryMonthsField, 1, 1);
    Body()->addWidget(repeat);
    Body()->addStretch(1);

    // Left at the start of the reading goes back to the description, Right at its end on to
    // the date; the edit owns the helper.
    (new CEditEx(m_DescriptionCombo, m_DatePicker))->Attach(m_OdometerField);

    setTabOrder(m_DescriptionCombo, m_Keywords);
    setTabOrder(m_Keywords, m_OdometerField);
    setTabOrder(m_OdometerField, m_DatePicker);
    setTabOrder(m_DatePicker, m_EveryDistanceField);
    setTabOrder(m_EveryDistanceField, m_EveryMonthsField);
    m_DescriptionCombo->setFocus();
}

CDlgNotification::~CDlgNotification() = default;

void CDlgNotification::SetValues(double date, const QString& description, LONG odometer) {
    m_Date = date;
    m_Description = description;
    m_Odometer = odometer;
    m_DatePicker->SetOleDate(date);
    m_DescriptionCombo->setEditText(description);
    m_OdometerField->setText(FormatIntegerText(odometer));
}

void CDlgNotification::SetInterval(LONG everyDistance, LONG everyMonths) {
    m_EveryDistance = everyDistance;
    m_EveryMonths = everyMonths;
    m_EveryDistanceField->setText(everyDistance > 0 ? FormatIntegerText(everyDistance) : QString());
    m_EveryMonthsField->setText(everyMonths > 0 ? FormatIntegerText(everyMonths) : QString());
    // Moved on by its months alone, it is never due by a reading: the field shows no reading.
    if (everyDistance == 0 && everyMonths > 0 && m_Odometer == kNeverDueOdometer)
        m_OdometerField->clear();
}

void CDlgNotification::OnKeywords() {
    ManageKeywords(CKeyword::KeywordRepair, m_DescriptionCombo);
}

namespace {

// An interval field: empty is 0 (never); otherwise a whole number from 0 to the most.
std::optional<LONG> ReadInterval(CUpDownEdit* field, LONG most) {
    const QString typed = field->text().trimmed();
    if (typed.isEmpty())
        return 0;
    const std::optional<LONG> value = ParseIntegerText(typed);
    if (value && *value >= 0 && *value <= most)
        return value;
    CWinDataExchangeLocale::Refuse(field,
                                   FormatStringResource(IDS_REMINDER_EVERY_RANGE, {FormatIntegerText(most)}));
    return std::nullopt;
}

} // namespace

void CDlgNotification::OnDone() {
    // Empty: never due by a reading, as a reminder moved on by its months alone.
    const bool noReading = m_OdometerField->text().trimmed().isEmpty();
    // Any reading a 32-bit odometer holds, from 0 up; the arrows' range does not limit typing.
    const std::optional<LONG> odometer =
        noReading ? std::optional<LONG>(kNeverDueOdometer) : ParseIntegerText(m_OdometerField->text());
    if (!odometer || *odometer < 0) {
        const QString typed = m_OdometerField->text();
        CWinDataExchangeLocale::Refuse(
            m_OdometerField, odometer ? FormatStringResource(IDS_REFUSED_OUT_OF_RANGE, {typed.trimmed()})
                                      : CWinDataExchangeLocale::IntegerRefusal(typed));
        return;
    }
    double date = m_Date;
    if (!CWinDataExchangeLocale::ExchangeDate(m_DatePicker, date, true))
        return;
    const std::optional<LONG> everyDistance =
        ReadInterval(m_EveryDistanceField, CDataLayer::MaxEveryDistance);
    if (!everyDistance)
        return;
    const std::optional<LONG> everyMonths = ReadInterval(m_EveryMonthsField, CDataLayer::MaxEveryMonths);
    if (!everyMonths)
        return;
    const QString description = m_DescriptionCombo->currentText();
    if (description.isEmpty()) {
        CPrompter::Instance().MessageBox(this, LoadStringResource(IDS_DESCRIPTION_REQUIRED),
                                         LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                                         CPrompter::IconInformation);
        m_DescriptionCombo->setFocus();
        return;
    }
    m_Odometer = *odometer;
    m_EveryDistance = *everyDistance;
    m_EveryMonths = *everyMonths;
    m_Description = description;
    m_Date = date;
    done(ID_DONE);
}
