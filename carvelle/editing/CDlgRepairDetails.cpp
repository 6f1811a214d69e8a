#include "editing/CDlgRepairDetails.h"

#include "editing/KeywordPickList.h"
#include "widgets/CDatePicker.h"
#include "widgets/CUpDownEdit.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using DX = CWinDataExchangeLocale;

CDlgRepairDetails::CDlgRepairDetails()
    : CDlgRepairDetails(IDD_REPAIR_DETAILS,
                        {CKeyword::KeywordRepair, "Description:", "Location:", "Amount paid:", false, true}) {
}

CDlgRepairDetails::CDlgRepairDetails(int templateId, const Layout& layout)
    : CPropertyPage(templateId, QStringLiteral("Details")), m_Layout(layout) {}

CDlgRepairDetails::~CDlgRepairDetails() = default;

void CDlgRepairDetails::OnInitDialog() {
    m_DateCtl = Named(new CDatePicker(this), "date");
    m_OdometerCtl = Named(new CUpDownEdit(this), "odometer");
    m_DescriptionCtl = Named(new QComboBox(this), "description");
    m_VendorCtl = Named(new QLineEdit(this), "vendor");
    m_AmountCtl = Named(new QLineEdit(this), "amount");
    QPushButton* manage = MakeButton("manageKeywords", QStringLiteral("..."));

    AddRow(QStringLiteral("Date:"), m_DateCtl);
    AddRow(QStringLiteral("Odometer:"), m_OdometerCtl);
    AddRow(QString::fromUtf8(m_Layout.descriptionLabel), m_DescriptionCtl, manage);
    AddRow(QString::fromUtf8(m_Layout.vendorLabel), m_VendorCtl);
    AddRow(QString::fromUtf8(m_Layout.amountLabel), m_AmountCtl);

    Hop(m_OdometerCtl, m_DateCtl, m_DescriptionCtl);
    DX::ExchangeDate(m_DateCtl, date, false);
    FillKeywordCombo(m_Layout.keywords, m_DescriptionCtl);
    m_OdometerCtl->SetRange(0, 1000000, 10);
    Exchange(false);

    connect(manage, &QPushButton::clicked, this,
            [this] { ManageKeywords(m_Layout.keywords, m_DescriptionCtl); });
}

bool CDlgRepairDetails::Exchange(bool save) {
    if (m_Layout.descriptionFirst)
        return DX::ExchangeText(m_DescriptionCtl, description, save) &&
               DX::ExchangeText(m_VendorCtl, vendor, save) &&
               DX::ExchangeInteger(m_OdometerCtl, odometer, save) &&
               DX::ExchangeDecimal(m_AmountCtl, amount, save);
    return DX::ExchangeInteger(m_OdometerCtl, odometer, save) &&
           DX::ExchangeDecimal(m_AmountCtl, amount, save) && DX::ExchangeText(m_VendorCtl, vendor, save) &&
           DX::ExchangeText(m_DescriptionCtl, description, save);
}

QWidget* CDlgRepairDetails::FirstField() const {
    return m_DateCtl;
}

bool CDlgRepairDetails::OnApply() {
    if (!Exchange(true) || !DX::ExchangeDate(m_DateCtl, date, true)) {
        if (m_Layout.explainRefusal)
            Inform(IDS_CHECK_INPUTS, nullptr);
        return false;
    }
    if (description.isEmpty()) {
        Inform(IDS_DESCRIPTION_REQUIRED, m_DescriptionCtl);
        return false;
    }
    if (!odometerCheck.Confirm(m_OdometerCtl, date, odometer))
        return false;
    ReleaseHops();
    return true;
}
