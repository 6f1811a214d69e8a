#pragma once
// The "Details" page of a repair or maintenance job: date, odometer, description (from the
// repairs pick list or typed), location and amount paid. The description is required.

#include "editing/COdometerCheck.h"
#include "widgets/CPropertyPage.h"

#include "platform/WinTypes.h"
#include "records/CKeyword.h"

class CDatePicker;
class CUpDownEdit;
class QComboBox;
class QLineEdit;

class CDlgRepairDetails : public CPropertyPage {
    Q_OBJECT

public:
    CDlgRepairDetails();
    ~CDlgRepairDetails() override;

    // The entry's fields, copied in before the sheet runs and back after Done.
    double date = 0.0;
    LONG odometer = 0;
    QString description;
    QString vendor; // the location
    float amount = 0.0f;
    COdometerCheck odometerCheck;

    bool OnApply() override;
    QWidget* FirstField() const override;

protected:
    // What tells the other expense page from this one.
    struct Layout {
        CKeyword::Type keywords;
        const char* descriptionLabel;
        const char* vendorLabel;
        const char* amountLabel;
        bool descriptionFirst; // the order in which fields are filled and read
        bool explainRefusal;   // a message after the beep of an unreadable field
    };
    CDlgRepairDetails(int templateId, const Layout& layout);

    void OnInitDialog() override;

private:
    bool Exchange(bool save);

    Layout m_Layout;
    CDatePicker* m_DateCtl = nullptr; // child widgets
    CUpDownEdit* m_OdometerCtl = nullptr;
    QComboBox* m_DescriptionCtl = nullptr;
    QLineEdit* m_VendorCtl = nullptr;
    QLineEdit* m_AmountCtl = nullptr;
};
