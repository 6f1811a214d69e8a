#include "reminders/CDlgNotification.h"

#include "core/DecimalText.h"
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
    Body()->addStretch(1);

    // Left at the start of the reading goes back to the description, Right at its end on to
    // the date; the edit owns the helper.
    (new CEditEx(m_DescriptionCombo, m_DatePicker))->Attach(m_OdometerField);

    setTabOrder(m_DescriptionCombo, m_Keywords);
    setTabOrder(m_Keywords, m_OdometerField);
    setTabOrder(m_OdometerField, m_DatePicker);
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

void CDlgNotification::OnKeywords() {
    ManageKeywords(CKeyword::KeywordRepair, m_DescriptionCombo);
}

void CDlgNotification::OnDone() {
    // Any reading a 32-bit odometer holds, from 0 up; the arrows' range does not limit typing.
    const std::optional<LONG> odometer = ParseIntegerText(m_OdometerField->text());
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
    const QString description = m_DescriptionCombo->currentText();
    if (description.isEmpty()) {
        CPrompter::Instance().MessageBox(this, LoadStringResource(IDS_DESCRIPTION_REQUIRED),
                                         LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                                         CPrompter::IconInformation);
        m_DescriptionCombo->setFocus();
        return;
    }
    m_Odometer = *odometer;
    m_Description = description;
    m_Date = date;
    done(ID_DONE);
}
