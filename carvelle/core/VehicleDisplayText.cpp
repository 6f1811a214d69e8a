#include "core/VehicleDisplayText.h"

#include "core/CStringTable.h"
#include "core/ResourceIds.h"
#include "records/CVehicle.h"

QString VehicleDisplayText(const CVehicle& vehicle) {
    return FormatStringResource(IDS_VEHICLE_DISPLAY_TEXT,
                                {QString::fromUtf16(vehicle.GetName()), QString::number(vehicle.GetYear())});
}
