#pragma once
// The "Details" page of a fuel purchase: date, odometer, quantity, price per unit, total cost,
// vendor, and whether the tank was filled up and the fill-up before was logged. "Calc." derives the
// missing one of quantity, price and total from the other two (an emptied field is the one to work
// out), rounded as a receipt shows them; Done does the same when two are given and the third is
// empty or 0, so that no purchase is stored at 0 by a forgotten Calc. A new purchase starts with the
// price per unit of the last one confirmed. Done questions a reading out of step with the vehicle's
// other entries.

#include "editing/COdometerCheck.h"
#include "widgets/CPropertyPage.h"

#include "platform/WinTypes.h"

#include <QStringList>

class CDatePicker;
class CUpDownEdit;
class QCheckBox;
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
    bool partial = false; // the tank was not filled up
    bool missed = false;  // a fill-up before this one was not logged
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
    // The one of quantity, price and total left empty (or, failing that, 0) while the other two
    // hold numbers other than 0; null when there is not exactly one such field.
    QLineEdit* FieldToWorkOut(bool emptyOnly) const;
    // Works out the field from the other two as a receipt shows it; the members hold the values.
    void WorkOut(QLineEdit* target);

    CDatePicker* m_DateCtl = nullptr; // child widgets
    CUpDownEdit* m_OdometerCtl = nullptr;
    QLineEdit* m_QuantityCtl = nullptr;
    QLineEdit* m_PriceCtl = nullptr;
    QLineEdit* m_TotalCtl = nullptr;
    QComboBox* m_VendorCtl = nullptr;
    QStringList m_AmountsShown; // quantity, price and total as the page opened with them
    QCheckBox* m_PartialCtl = nullptr;
    QCheckBox* m_MissedCtl = nullptr;
};
