#include "editing/CDlgVehicleDealer.h"

#include "editing/CDlgNotes.h"
#include "editing/CDlgVehicleDetails.h"

#include "core/ResourceIds.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

CDlgVehicleDealer::CDlgVehicleDealer() : CPropertyPage(IDD_VEHICLE_DEALER, QStringLiteral("Dealer")) {}

CDlgVehicleDealer::~CDlgVehicleDealer() = default;

void CDlgVehicleDealer::OnInitDialog() {
    m_NameCtl = Named(new QLineEdit(this), "dealerName");
    m_PhoneCtl = Named(new QLineEdit(this), "dealerPhone");
    m_AddressCtl = CDlgNotes::MakeMultiLine(this, "dealerAddress");
    CDlgVehicleDetails::TypeCapitals(m_PhoneCtl);

    AddRow(QStringLiteral("Name:"), m_NameCtl);
    AddRow(QStringLiteral("Phone:"), m_PhoneCtl);
    AddRow(QStringLiteral("Address:"), m_AddressCtl);
    Form()->setAlignment(Form()->itemAtPosition(Form()->rowCount() - 1, 0)->widget(), Qt::AlignTop);

    m_NameCtl->setText(name);
    m_PhoneCtl->setText(phone);
    m_AddressCtl->setPlainText(address);
}

bool CDlgVehicleDealer::OnApply() {
    name = m_NameCtl->text();
    phone = m_PhoneCtl->text();
    address = m_AddressCtl->toPlainText();
    return true;
}

QWidget* CDlgVehicleDealer::FirstField() const {
    return m_NameCtl;
}
