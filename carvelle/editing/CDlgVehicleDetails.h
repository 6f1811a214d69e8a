#pragma once
// The "Details" page of a vehicle: name (required), year, current odometer, licence plate and
// VIN. Letters typed into the plate and the VIN become capitals.

#include "editing/CPropertyPage.h"

#include "platform/WinTypes.h"

class CEditEx;
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
    void OnCancel() override;
    QWidget* FirstField() const override;

    // Letters typed into the field become capitals, by Unicode's rules; a stored text is shown
    // as it is until it is edited.
    static void TypeCapitals(QLineEdit* edit);

protected:
    void OnInitDialog() override;

private:
    bool Exchange(bool save);
    void ReleaseHops();

    QLineEdit* m_NameCtl = nullptr; // child widgets
    QLineEdit* m_PlateCtl = nullptr;
    QLineEdit* m_VinCtl = nullptr;
    CUpDownEdit* m_OdometerCtl = nullptr;
    CUpDownEdit* m_YearCtl = nullptr;
    CEditEx* m_Hops[2] = {};
};
