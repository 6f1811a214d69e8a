#pragma once
// The "Insurance" page of a vehicle: agent, phone, policy number, expiry date and coverage.

#include "widgets/CPropertyPage.h"

class CDatePicker;
class QLineEdit;
class QPlainTextEdit;

class CDlgVehicleInsurance : public CPropertyPage {
    Q_OBJECT

public:
    CDlgVehicleInsurance();
    ~CDlgVehicleInsurance() override;

    QString agentName;
    QString agentPhone;
    QString policyNumber;
    QString coverage;
    double expirationDate = 0.0;

    bool OnApply() override;
    QWidget* FirstField() const override;

protected:
    void OnInitDialog() override;

private:
    QLineEdit* m_AgentCtl = nullptr; // child widgets
    QLineEdit* m_PhoneCtl = nullptr;
    QLineEdit* m_PolicyCtl = nullptr;
    CDatePicker* m_ExpiryCtl = nullptr;
    QPlainTextEdit* m_CoverageCtl = nullptr;
};
