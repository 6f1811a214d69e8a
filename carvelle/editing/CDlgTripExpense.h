#pragma once
// The "Expense" page of a trip: the distance from the details page, priced at the mileage rate
// of the options by "Calc", and the trip's category. Only the total is stored with the entry.

#include "widgets/CPropertyPage.h"

#include "platform/WinTypes.h"

class QComboBox;
class QLineEdit;

class CDlgTripExpense : public CPropertyPage {
    Q_OBJECT

public:
    CDlgTripExpense();
    ~CDlgTripExpense() override;

    LONG elapsed = 0; // asked from the details page each time this page is shown
    float total = 0.0f;
    float mileageRate = 0.0f; // the setting, not stored in the entry
    QString category;

    void OnSetActive() override;
    void OnCalc();
    bool OnApply() override;

protected:
    void OnInitDialog() override;

private:
    bool Exchange(bool save);

    QLineEdit* m_ElapsedCtl = nullptr; // child widgets
    QLineEdit* m_TotalCtl = nullptr;
    QLineEdit* m_RateCtl = nullptr;
    QComboBox* m_CategoryCtl = nullptr;
};
