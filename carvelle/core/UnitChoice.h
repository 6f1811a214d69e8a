#pragma once
// The stored values of the three unit settings, and the units usual where the user lives: what
// the settings preselect before the user has chosen. Reads no setting itself.

class QLocale;

enum DistanceUnit { DistanceMiles = 0, DistanceKilometres = 1 };
enum VolumeUnit { VolumeGallonsUS = 0, VolumeGallonsUK = 1, VolumeLitres = 2 };
enum EconomyUnit {
    EconomyMilesPerGallonUS = 0,
    EconomyMilesPerGallonUK = 1,
    EconomyKilometresPerLitre = 2,
    EconomyMilesPerLitre = 3,
    EconomyLitresPer100Km = 4, // volume per distance: the smaller, the better
};

// The units usual where the locale lives: miles, US gallons and miles per gallon in the United
// States; miles, litres and miles per UK gallon in the United Kingdom; kilometres, litres and
// litres per 100 km elsewhere (kilometres per litre where that is the usual figure). A locale of
// no country (C) keeps the first-start defaults.
struct UnitChoice {
    DistanceUnit distance = DistanceMiles;
    VolumeUnit volume = VolumeGallonsUS;
    EconomyUnit economy = EconomyMilesPerGallonUS;
};
UnitChoice UnitsForLocale(const QLocale& locale);
