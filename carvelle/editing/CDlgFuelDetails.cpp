#include "editing/CDlgFuelDetails.h"

#include "editing/KeywordPickList.h"
#include "widgets/CDatePicker.h"
#include "widgets/CUpDownEdit.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CStringTable.h"
#include "core/DecimalText.h"
#include "core/ResourceIds.h"
#include "core/Units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

using DX = CWinDataExchangeLocale;

CDlgFuelDetails::CDlgFuelDetails() : CPropertyPage(IDD_FUEL_DETAILS, QStringLiteral("Details")) {}

CDlgFuelDetails::~CDlgFuelDetails() = default;

void CDlgFuelDetails::OnInitDialog() {
    m_DateCtl = Named(new CDatePicker(this), "date");
    m_OdometerCtl = Named(new CUpDownEdit(this), "odometer");
    m_QuantityCtl = Named(new QLineEdit(this), "quantity");
    m_PriceCtl = Named(new QLineEdit(this), "unitPrice");
    m_TotalCtl = Named(new QLineEdit(this), "amount");
    m_VendorCtl = Named(new QComboBox(this), "vendor");
    QPushButton* calc = MakeButton("calc", QStringLiteral("Calc."));
    QPushButton* manage = MakeButton("manageKeywords", QStringLiteral("..."));

    AddRow(QStringLiteral("Date:"), m_DateCtl);
    AddRow(QStringLiteral("Odometer:"), m_OdometerCtl);
    AddRow(FuelQuantityLabel(), m_QuantityCtl);
    AddRow(FuelUnitPriceLabel(), m_PriceCtl);
    AddRow(QStringLiteral("Total cost:"), m_TotalCtl, calc);
    AddRow(QStringLiteral("Vendor:"), m_VendorCtl, manage);
    m_PartialCtl = new QCheckBox(LoadStringResource(IDS_PARTIAL_FILL_UP_BOX), this);
    m_PartialCtl->setObjectName(QStringLiteral("partialBox"));
    m_MissedCtl = new QCheckBox(LoadStringResource(IDS_MISSED_FILL_UP_BOX), this);
    m_MissedCtl->setObjectName(QStringLiteral("missedBox"));
    for (QCheckBox* box : {m_PartialCtl, m_MissedCtl}) {
        Form()->addWidget(box, Form()->rowCount(), 1, 1, 2);
        ChainTab(box);
    }
    m_PartialCtl->setChecked(partial);
    m_MissedCtl->setChecked(missed);

    Hop(m_OdometerCtl, m_DateCtl, m_QuantityCtl);

    // A new purchase most likely costs what the last one did; a stored one keeps its own price.
    if (isNew) {
        if (const std::optional<float> last = TheSettings().ReadLastPrice(); last && std::isfinite(*last))
            price = *last;
    }
    DX::ExchangeDate(m_DateCtl, date, false);
    FillKeywordCombo(CKeyword::KeywordFuelVendor, m_VendorCtl);
    m_OdometerCtl->SetRange(0, 1000000, 10);
    Exchange(false);
    m_AmountsShown = {m_QuantityCtl->text(), m_PriceCtl->text(), m_TotalCtl->text()};

    connect(calc, &QPushButton::clicked, this, &CDlgFuelDetails::OnCalc);
    connect(manage, &QPushButton::clicked, this,
            [this] { ManageKeywords(CKeyword::KeywordFuelVendor, m_VendorCtl); });
}

bool CDlgFuelDetails::Exchange(bool save) {
    return DX::ExchangeInteger(m_OdometerCtl, odometer, save) &&
           DX::ExchangeDecimal(m_PriceCtl, price, save) &&
           DX::ExchangeDecimal(m_QuantityCtl, quantity, save) &&
           DX::ExchangeDecimal(m_TotalCtl, total, save) && DX::ExchangeText(m_VendorCtl, vendor, save);
}

QWidget* CDlgFuelDetails::FirstField() const {
    return m_DateCtl;
}

QLineEdit* CDlgFuelDetails::FieldToWorkOut(bool emptyOnly) const {
    QLineEdit* target = nullptr;
    int given = 0;
    for (QLineEdit* field : {m_TotalCtl, m_PriceCtl, m_QuantityCtl}) {
        const QString text = field->text().trimmed();
        const std::optional<float> value = text.isEmpty() ? std::optional<float>() : ParseDecimalText(text);
        if (text.isEmpty() || (!emptyOnly && value && *value == 0.0f)) {
            if (target == nullptr)
                target = field;
        } else if (value && *value != 0.0f) {
            ++given;
        }
    }
    return given == 2 ? target : nullptr;
}

void CDlgFuelDetails::WorkOut(QLineEdit* target) {
    // Rounded as a receipt shows it: money to the currency's places, price and quantity to
    // three. A product beyond the float range becomes 0.
    if (target == m_TotalCtl)
        total = RoundedMoney(price * quantity);
    else if (target == m_PriceCtl)
        price = RoundedTo(quantity > 0.0f ? total / quantity : 0.0f, kUnitDecimals);
    else
        quantity = RoundedTo(price > 0.0f ? total / price : 0.0f, kUnitDecimals);
}

void CDlgFuelDetails::OnCalc() {
    // An emptied field is the one to work out; it reads as 0 until it is.
    QLineEdit* emptied = FieldToWorkOut(true);
    if (emptied != nullptr)
        emptied->setText(FormatDecimalText(0.0f));
    if (!Exchange(true))
        return;
    QLineEdit* target = emptied;
    if (target == nullptr) {
        target = m_TotalCtl;
        if (total == 0.0f)
            target = m_TotalCtl;
        else if (price == 0.0f)
            target = m_PriceCtl;
        else if (quantity == 0.0f)
            target = m_QuantityCtl;
    }
    WorkOut(target);
    Exchange(false);
    target->setFocus(Qt::OtherFocusReason);
    target->selectAll();
}

bool CDlgFuelDetails::OnApply() {
    // Two of the three given and the third left empty or 0: it is worked out as Calc would. A
    // stored purchase whose amounts were left as they were stays as it is.
    const bool typed =
        isNew || QStringList{m_QuantityCtl->text(), m_PriceCtl->text(), m_TotalCtl->text()} != m_AmountsShown;
    QLineEdit* missing = typed ? FieldToWorkOut(false) : nullptr;
    if (missing != nullptr && missing->text().trimmed().isEmpty())
        missing->setText(FormatDecimalText(0.0f));
    if (!Exchange(true) || !DX::ExchangeDate(m_DateCtl, date, true))
        return false;
    if (missing != nullptr) {
        WorkOut(missing);
        Exchange(false);
    }
    if (!odometerCheck.Confirm(m_OdometerCtl, date, odometer))
        return false;
    partial = m_PartialCtl->isChecked();
    missed = m_MissedCtl->isChecked();
    ReleaseHops();
    TheSettings().WriteLastPrice(price);
    return true;
}
