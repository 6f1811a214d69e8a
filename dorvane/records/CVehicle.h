#pragma once

#include "records/CBaseObject.h"

class DORVANE_API CVehicle : public CBaseObject {
public:
    CVehicle();
    ~CVehicle() override;

    LPCWSTR GetLicensePlate() const { return TextOrEmpty(m_LicensePlate); }
    LPCWSTR GetVIN() const { return TextOrEmpty(m_VIN); }
    LPCWSTR GetDealerName() const { return TextOrEmpty(m_DealerName); }
    LPCWSTR GetDealerPhone() const { return TextOrEmpty(m_DealerPhone); }
    LPCWSTR GetDealerAddress() const { return TextOrEmpty(m_DealerAddress); }
    LPCWSTR GetInsurancePolicyNumber() const { return TextOrEmpty(m_InsurancePolicyNumber); }
    LPCWSTR GetInsuranceAgentName() const { return TextOrEmpty(m_InsuranceAgentName); }
    LPCWSTR GetInsuranceAgentPhone() const { return TextOrEmpty(m_InsuranceAgentPhone); }
    LPCWSTR GetInsuranceCoverage() const { return TextOrEmpty(m_InsuranceCoverage); }
    double GetInsuranceExpirationDate() const { return m_InsuranceExpirationDate; }
    LONG GetCurrentOdometer() const { return m_CurrentOdometer; }
    int GetYear() const { return m_Year; }
    LPCWSTR GetImagePath() const { return TextOrEmpty(m_ImagePath); }

    void SetLicensePlate(LPCWSTR text) { SetText(&m_LicensePlate, text); }
    void SetVIN(LPCWSTR text) { SetText(&m_VIN, text); }
    void SetDealerName(LPCWSTR text) { SetText(&m_DealerName, text); }
    void SetDealerPhone(LPCWSTR text) { SetText(&m_DealerPhone, text); }
    void SetDealerAddress(LPCWSTR text) { SetText(&m_DealerAddress, text); }
    void SetInsurancePolicyNumber(LPCWSTR text) { SetText(&m_InsurancePolicyNumber, text); }
    void SetInsuranceAgentName(LPCWSTR text) { SetText(&m_InsuranceAgentName, text); }
    void SetInsuranceAgentPhone(LPCWSTR text) { SetText(&m_InsuranceAgentPhone, text); }
    void SetInsuranceCoverage(LPCWSTR text) { SetText(&m_InsuranceCoverage, text); }
    void SetInsuranceExpirationDate(double date) { SetValue(m_InsuranceExpirationDate, date); }
    void SetCurrentOdometer(LONG odometer) { SetValue(m_CurrentOdometer, odometer); }
    void SetYear(int year) { SetValue(m_Year, year); }
    void SetImagePath(LPCWSTR text) { SetText(&m_ImagePath, text); }

private:
    WCHAR* m_LicensePlate = nullptr;
    WCHAR* m_VIN = nullptr;
    WCHAR* m_DealerName = nullptr;
    WCHAR* m_DealerPhone = nullptr;
    WCHAR* m_DealerAddress = nullptr;
    WCHAR* m_InsurancePolicyNumber = nullptr;
    WCHAR* m_InsuranceAgentName = nullptr;
    WCHAR* m_InsuranceAgentPhone = nullptr;
    WCHAR* m_InsuranceCoverage = nullptr;
    double m_InsuranceExpirationDate = 0.0; // 31 December of the current year, set by the constructor
    LONG m_CurrentOdometer = 20000;
    int m_Year = 2002;
    WCHAR* m_ImagePath = nullptr;
};
