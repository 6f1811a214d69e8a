#include "core/CSession.h"

#include "core/CAppSettings.h"

CSession::CSession(CAppSettings& settings) : m_Settings(settings) {}

ULONG CSession::ActiveVehicle() const {
    return m_Settings.LastActiveVehicle;
}

void CSession::Activate(ULONG vehicleRefID, LONG odometer) {
    m_Settings.LastActiveVehicle = vehicleRefID;
    m_ActiveOdometer = odometer;
}
