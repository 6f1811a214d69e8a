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
    m_AgentCtl = Named(new QLineEdit(this), "agentName");
    m_PhoneCtl = Named(new QLineEdit(this), "agentPhone");
    m_PolicyCtl = Named(new QLineEdit(this), "policyNumber");
    m_ExpiryCtl = Named(new CDatePicker(this), "expiryDate");
    m_CoverageCtl = CDlgNotes::MakeMultiLine(this, "coverage");
    CDlgVehicleDetails::TypeCapitals(m_PhoneCtl);
    CDlgVehicleDetails::TypeCapitals(m_PolicyCtl);

    AddRow(QStringLiteral("Agent name:"), m_AgentCtl);
    AddRow(QStringLiteral("Agent phone:"), m_PhoneCtl);
    AddRow(QStringLiteral("Policy num:"), m_PolicyCtl);
    AddRow(QStringLiteral("Expiry date:"), m_ExpiryCtl);
    AddRow(QStringLiteral("Coverage:"), m_CoverageCtl);
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
