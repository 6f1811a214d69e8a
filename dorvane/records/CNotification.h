#pragma once
// A reminder: due at a date, at an odometer reading, or both.

#include "records/CBaseObject.h"

class DORVANE_API CNotification : public CBaseObject {
public:
    CNotification();
    ~CNotification() override;

    double GetDate() const { return m_Date; }
    LONG GetOdometer() const { return m_Odometer; }
    ULONG GetVehicleID() const { return m_VehicleID; }

    void SetDate(double date) { SetValue(m_Date, date); }
    void SetOdometer(LONG odometer) { SetValue(m_Odometer, odometer); }
    void SetVehicleID(ULONG vehicleID) { SetValue(m_VehicleID, vehicleID); }

private:
    double m_Date = 0.0;
    LONG m_Odometer = 0;
    ULONG m_VehicleID = 0;
};
