#include "records/CVehicle.h"

#include "platform/SystemTime.h"

CVehicle::CVehicle() : CBaseObject(ObjectTypeVehicle) {
    // The insurance runs out, by default, at the start of the last day of this year.
    SYSTEMTIME expires{};
    GetSystemTime(&expires);
    expires.wMonth = 12;
    expires.wDay = 31;
    expires.wHour = 0;
    expires.wMinute = 0;
    expires.wSecond = 0;
    expires.wMilliseconds = 0;
    SystemTimeToVariantTime(&expires, &m_InsuranceExpirationDate);
}

CVehicle::~CVehicle() {
    FreeText(&m_LicensePlate);
    FreeText(&m_VIN);
    FreeText(&m_DealerName);
    FreeText(&m_DealerPhone);
    FreeText(&m_DealerAddress);
    FreeText(&m_InsurancePolicyNumber);
    FreeText(&m_InsuranceAgentName);
    FreeText(&m_InsuranceAgentPhone);
    FreeText(&m_InsuranceCoverage);
    FreeText(&m_ImagePath);
}
