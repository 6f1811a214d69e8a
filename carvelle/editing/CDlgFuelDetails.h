#pragma once
// The "Details" page of a fuel purchase: date, odometer, quantity, price per unit, total cost and
// vendor. "Calc." derives the missing one of quantity, price and total from the other two, rounded
// as a receipt shows them, and a new purchase starts with the price per unit of the last one
// confirmed. Done questions a reading out of step with the vehicle's other entries.

#include "editing/COdometerCheck.h"
#include "widgets/CPropertyPage.h"

#include "platform/WinTypes.h"

class CDatePicker;
class CUpDownEdit;
class QComboBox;
class QLineEdit;

class CDlgFuelDetails : public CPropertyPage {
    Q_OBJECT

public:
    CDlgFuelDetails();
    ~CDlgFuelDetails() override;

    // The entry's fields, copied in before the sheet runs and back after Done.
    double date = 0.0;
    LONG odometer = 0;
    float quantity = 0.0f;
    float price = 0.0f;
    float total = 0.0f;
    QString vendor;
    // A new entry (not stored yet) takes the remembered price.
    bool isNew = false;
    COdometerCheck odometerCheck;

    void OnCalc();
    bool OnApply() override;
    QWidget* FirstField() const override;

protected:
    void OnInitDialog() override;

private:
    // Odometer, price, quantity, total and vendor, in that order; stops at the first refusal.
    bool Exchange(bool save);

    CDatePicker* m_DateCtl = nullptr; // child widgets
    CUpDownEdit* m_OdometerCtl = nullptr;
    QLineEdit* m_QuantityCtl = nullptr;
    QLineEdit* m_PriceCtl = nullptr;
    QLineEdit* m_TotalCtl = nullptr;
    QComboBox* m_VendorCtl = nullptr;
};
