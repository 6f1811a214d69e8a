#pragma once

#include "records/CBaseObject.h"

class DORVANE_API CEntry : public CBaseObject {
public:
    enum Type : int {
        EntryNone = 0,
        EntryFuel = 1,
        EntryRepair = 2,
        EntryTrip = 3,
        EntryExpense = 4,
    };

    CEntry();
    ~CEntry() override;

    double GetDate() const { return m_Date; }
    LONG GetOdometer() const { return m_Odometer; }
    ULONG GetVehicleID() const { return m_VehicleID; }
    Type GetType() const { return m_Type; }
    LPCWSTR GetVendor() const { return TextOrEmpty(m_Vendor); }
    float GetAmount() const { return m_Amount; }
    float GetCustom1() const { return m_Custom1; }
    float GetCustom2() const { return m_Custom2; }

    void SetDate(double date) { SetValue(m_Date, date); }
    void SetOdometer(LONG odometer) { SetValue(m_Odometer, odometer); }
    void SetVehicleID(ULONG vehicleID) { SetValue(m_VehicleID, vehicleID); }
    void SetType(Type type) { SetValue(m_Type, type); }
    void SetVendor(LPCWSTR vendor) { SetText(&m_Vendor, vendor); }
    void SetAmount(float amount) { SetValue(m_Amount, amount); }
    void SetCustom1(float value) { SetValue(m_Custom1, value); }
    void SetCustom2(float value) { SetValue(m_Custom2, value); }

private:
    double m_Date = 0.0; // now, set by the constructor
    LONG m_Odometer = 0;
    ULONG m_VehicleID = 0;
    Type m_Type = EntryNone;
    WCHAR* m_Vendor = nullptr;
    float m_Amount = 0.0f;
    float m_Custom1 = 0.0f;
    float m_Custom2 = 0.0f;
};
