#include "editing/CDlgVehicleInsurance.h"

#include "editing/CDlgNotes.h"
#include "editing/CDlgVehicleDetails.h"
#include "widgets/CDatePicker.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/ResourceIds.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

CDlgVehicleInsurance::CDlgVehicleInsurance()
    : CPropertyPage(IDD_VEHICLE_INSURANCE, QStringLiteral("Insurance")) {}

CDlgVehicleInsurance::~CDlgVehicleInsurance() = default;

void CDlgVehicleInsurance::OnInitDialog() {
    m_AgentCtl = Named(new QLineEdit(this), IDC_DESCRIPTION);
    m_PhoneCtl = Named(new QLineEdit(this), IDC_PHONE);
    m_PolicyCtl = Named(new QLineEdit(this), IDC_POLICY_NUMBER);
    m_ExpiryCtl = Named(new CDatePicker(this), IDC_DATE);
    m_CoverageCtl = CDlgNotes::MakeMultiLine(this, IDC_NOTES);
    CDlgVehicleDetails::TypeCapitals(m_PhoneCtl);
    CDlgVehicleDetails::TypeCapitals(m_PolicyCtl);

    AddRow(1031, QStringLiteral("Agent name:"), m_AgentCtl);
    AddRow(1032, QStringLiteral("Agent phone:"), m_PhoneCtl);
    AddRow(1033, QStringLiteral("Policy num:"), m_PolicyCtl);
    AddRow(1035, QStringLiteral("Expiry date:"), m_ExpiryCtl);
    AddRow(1034, QStringLiteral("Coverage:"), m_CoverageCtl);
    Form()->setAlignment(Form()->itemAtPosition(Form()->rowCount() - 1, 0)->widget(), Qt::AlignTop);

    CWinDataExchangeLocale::ExchangeDate(m_ExpiryCtl, expirationDate, false);
    m_AgentCtl->setText(agentName);
    m_PhoneCtl->setText(agentPhone);
    m_PolicyCtl->setText(policyNumber);
    m_CoverageCtl->setPlainText(coverage);
}

bool CDlgVehicleInsurance::OnApply() {
    if (!CWinDataExchangeLocale::ExchangeDate(m_ExpiryCtl, expirationDate, true))
        return false;
    agentName = m_AgentCtl->text();
    agentPhone = m_PhoneCtl->text();
    policyNumber = m_PolicyCtl->text();
    coverage = m_CoverageCtl->toPlainText();
    return true;
}

QWidget* CDlgVehicleInsurance::FirstField() const {
    return m_AgentCtl;
}
