#pragma once
// The "Expense" page of a trip: the distance from the details page priced at the mileage rate of
// the options, and the trip's category. Only the total is stored with the entry.
//
// Until the user types a total of their own, the total is the distance priced, rounded to the
// currency's places, and it follows the distance wherever that changes: the trip is priced on
// Done from either page, also when this page was never shown. "Calc" prices the distance again
// on request and makes the total follow it once more.

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
    bool followsDistance = true;

    // The distance priced at the rate, rounded as money.
    static float Price(LONG distance, float rate);
    // Whether a stored trip's total is its distance priced (rounded or not, as Calc once stored
    // it): then it follows the distance; any other total is the user's own.
    static bool IsPriced(float total, LONG distance, float rate);

    // The distance is known or has changed: a following total moves with it.
    void SetDistance(LONG distance);

    void OnSetActive() override;
    void OnCalc();
    bool OnApply() override;
    QWidget* FirstField() const override;

protected:
    void OnInitDialog() override;

private:
    bool Exchange(bool save);

    QLineEdit* m_ElapsedCtl = nullptr; // child widgets
    QLineEdit* m_TotalCtl = nullptr;
    QLineEdit* m_RateCtl = nullptr;
    QComboBox* m_CategoryCtl = nullptr;
};
