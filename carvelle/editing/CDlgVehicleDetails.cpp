#include "editing/CDlgVehicleDetails.h"

#include "widgets/CUpDownEdit.h"
#include "widgets/CWinDataExchangeLocale.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "platform/SystemTime.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using DX = CWinDataExchangeLocale;

CDlgVehicleDetails::CDlgVehicleDetails() : CPropertyPage(IDD_VEHICLE_DETAILS, QStringLiteral("Details")) {}

CDlgVehicleDetails::~CDlgVehicleDetails() = default;

void CDlgVehicleDetails::TypeCapitals(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        // Upper-casing may lengthen the text ("ß" becomes "SS"); the caret keeps its distance
        // from the end.
        const int fromEnd = static_cast<int>(text.size()) - edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(static_cast<int>(upper.size()) - fromEnd);
    });
}

void CDlgVehicleDetails::OnInitDialog() {
    m_NameCtl = Named(new QLineEdit(this), "vehicleName");
    m_YearCtl = Named(new CUpDownEdit(this), "year");
    m_OdometerCtl = Named(new CUpDownEdit(this), "odometer");
    m_PlateCtl = Named(new QLineEdit(this), "licensePlate");
    m_VinCtl = Named(new QLineEdit(this), "vin");
    TypeCapitals(m_PlateCtl);
    TypeCapitals(m_VinCtl);

    AddRow(QStringLiteral("Name:"), m_NameCtl);
    AddRow(QStringLiteral("Year:"), m_YearCtl);
    AddRow(QStringLiteral("Odometer:"), m_OdometerCtl);
    AddRow(QStringLiteral("License plate:"), m_PlateCtl);
    AddRow(QStringLiteral("VIN:"), m_VinCtl);
    auto* hint = new QLabel(QStringLiteral("(Vehicle ID number)"), this);
    Form()->addWidget(hint, Form()->rowCount(), 1, 1, 2);

    m_OdometerCtl->SetRange(0, 1000000, 10);
    Hop(m_YearCtl, m_NameCtl, m_OdometerCtl);
    Hop(m_OdometerCtl, m_YearCtl, m_PlateCtl);
    SYSTEMTIME today{};
    GetLocalTime(&today);
    m_YearCtl->SetRange(0, today.wYear + 1, 1);
    Exchange(false);
}

bool CDlgVehicleDetails::Exchange(bool save) {
    return DX::ExchangeText(m_NameCtl, name, save) && DX::ExchangeText(m_PlateCtl, licensePlate, save) &&
           DX::ExchangeText(m_VinCtl, vin, save) && DX::ExchangeInteger(m_YearCtl, year, save) &&
           DX::ExchangeInteger(m_OdometerCtl, odometer, save);
}

bool CDlgVehicleDetails::OnApply() {
    if (!Exchange(true))
        return false;
    if (name.isEmpty()) {
        Inform(IDS_NAME_REQUIRED, m_NameCtl);
        return false;
    }
    ReleaseHops();
    return true;
}

QWidget* CDlgVehicleDetails::FirstField() const {
    return m_NameCtl;
}
