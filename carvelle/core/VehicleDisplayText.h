#pragma once
// How a vehicle is named to the user: its name and model year.

#include <QString>

class CVehicle;

QString VehicleDisplayText(const CVehicle& vehicle);
