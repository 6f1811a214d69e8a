#pragma once
// Finding a vehicle by the name a user or a file gives: spaces around it and case do not count.

#include "records/CObjectListT.h"
#include "records/CVehicle.h"

#include <QString>

// The name as it is compared.
QString FoldedVehicleName(const QString& name);
// The first vehicle of the list with that name, or null.
CVehicle* FindVehicleByName(CObjectListT<CVehicle>& vehicles, const QString& name);
