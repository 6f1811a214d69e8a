#pragma once
// The "Details" page of a vehicle: name (required), year, current odometer, licence plate and
// VIN. Letters typed into the plate and the VIN become capitals.

#include "widgets/CPropertyPage.h"

#include "platform/WinTypes.h"

class CUpDownEdit;
class QLineEdit;

class CDlgVehicleDetails : public CPropertyPage {
    Q_OBJECT

public:
    CDlgVehicleDetails();
    ~CDlgVehicleDetails() override;

    QString name;
    QString licensePlate;
    QString vin;
    LONG odometer = 0;
    LONG year = 0;

    bool OnApply() override;
    QWidget* FirstField() const override;

    // Letters typed into the field become capitals, by Unicode's rules; a stored text is shown
    // as it is until it is edited.
    static void TypeCapitals(QLineEdit* edit);

protected:
    void OnInitDialog() override;

private:
    bool Exchange(bool save);

    QLineEdit* m_NameCtl = nullptr; // child widgets
    QLineEdit* m_PlateCtl = nullptr;
    QLineEdit* m_VinCtl = nullptr;
    CUpDownEdit* m_OdometerCtl = nullptr;
    CUpDownEdit* m_YearCtl = nullptr;
};
