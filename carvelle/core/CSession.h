#pragma once
// What this run of the program is working on: the active vehicle and its current odometer. The
// active vehicle is remembered in the settings for the next start; the odometer is read from the
// data file whenever a vehicle becomes active.

#include "platform/WinTypes.h"

class CAppSettings;

class CSession {
public:
    explicit CSession(CAppSettings& settings);

    // The active vehicle's RefID; 0 when none is.
    ULONG ActiveVehicle() const;
    LONG ActiveOdometer() const { return m_ActiveOdometer; }

    void Activate(ULONG vehicleRefID, LONG odometer);
    void Deactivate() { Activate(0, 0); }
    void SetActiveOdometer(LONG odometer) { m_ActiveOdometer = odometer; }

private:
    CAppSettings& m_Settings;
    LONG m_ActiveOdometer = 0;
};
