#include "core/VehicleLookup.h"

QString FoldedVehicleName(const QString& name) {
    return name.trimmed().toCaseFolded();
}

CVehicle* FindVehicleByName(CObjectListT<CVehicle>& vehicles, const QString& name) {
    // The vehicle of that very name first: "Golf" is not "GOLF" where the file holds both.
    const QString trimmed = name.trimmed();
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        if (QString::fromUtf16(vehicles.Get(i)->GetName()).trimmed() == trimmed)
            return vehicles.Get(i);
    }
    const QString wanted = FoldedVehicleName(name);
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        if (FoldedVehicleName(QString::fromUtf16(vehicles.Get(i)->GetName())) == wanted)
            return vehicles.Get(i);
    }
    return nullptr;
}
