#include "core/VehicleLookup.h"

QString FoldedVehicleName(const QString& name) {
    return name.trimmed().toCaseFolded();
}

CVehicle* FindVehicleByName(CObjectListT<CVehicle>& vehicles, const QString& name) {
    const QString wanted = FoldedVehicleName(name);
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        if (FoldedVehicleName(QString::fromUtf16(vehicles.Get(i)->GetName())) == wanted)
            return vehicles.Get(i);
    }
    return nullptr;
}
