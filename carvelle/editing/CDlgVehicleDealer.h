#pragma once
// The "Dealer" page of a vehicle: the dealer's name, phone and address.

#include "widgets/CPropertyPage.h"

class QLineEdit;
class QPlainTextEdit;

class CDlgVehicleDealer : public CPropertyPage {
    Q_OBJECT

public:
    CDlgVehicleDealer();
    ~CDlgVehicleDealer() override;

    QString name;
    QString phone;
    QString address;

    bool OnApply() override;
    QWidget* FirstField() const override;

protected:
    void OnInitDialog() override;

private:
    QLineEdit* m_NameCtl = nullptr; // child widgets
    QLineEdit* m_PhoneCtl = nullptr;
    QPlainTextEdit* m_AddressCtl = nullptr;
};
