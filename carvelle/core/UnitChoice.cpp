#include "core/UnitChoice.h"

#include <QLocale>

UnitChoice UnitsForLocale(const QLocale& locale) {
    const QLocale::Territory territory = locale.territory();
    if (territory == QLocale::AnyTerritory)
        return {};
    const QLocale::MeasurementSystem system = locale.measurementSystem();
    if (territory == QLocale::UnitedStates || system == QLocale::ImperialUSSystem)
        return {DistanceMiles, VolumeGallonsUS, EconomyMilesPerGallonUS};
    // Fuel is sold by the litre there, but economy is still told in miles per gallon.
    if (territory == QLocale::UnitedKingdom || system == QLocale::ImperialUKSystem)
        return {DistanceMiles, VolumeLitres, EconomyMilesPerGallonUK};
    static constexpr QLocale::Territory kKilometresPerLitre[] = {
        QLocale::Japan,  QLocale::SouthKorea, QLocale::India,     QLocale::Brazil,
        QLocale::Mexico, QLocale::Thailand,   QLocale::Indonesia, QLocale::Philippines,
    };
    for (QLocale::Territory where : kKilometresPerLitre) {
        if (territory == where)
            return {DistanceKilometres, VolumeLitres, EconomyKilometresPerLitre};
    }
    return {DistanceKilometres, VolumeLitres, EconomyLitresPer100Km};
}
