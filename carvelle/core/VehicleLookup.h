#pragma once
// Finding a vehicle by the name a user or a file gives: spaces around it and case do not count.

#include "records/CObjectListT.h"
#include "records/CVehicle.h"

#include <QString>

// The name as it is compared.
QString FoldedVehicleName(const QString& name);
// The vehicle of exactly that name (spaces around it aside), else the first whose name matches
// with case aside; null when none does.
CVehicle* FindVehicleByName(CObjectListT<CVehicle>& vehicles, const QString& name);
