#pragma once
// The units an imported file writes its distances and quantities in, read from its column names
// ("Odo (km)", "Fuel (litres)", "gallons"), from a unit column's values ("Gallons", "L") or from
// what a known program writes, and the factors that bring them into the user's units. Money is
// never converted.

#include "core/Units.h"

#include <QString>

#include <optional>

enum class FileDistance { Unstated, Kilometres, Miles };
// Kilograms and kilowatt hours are quantities too (gas, electricity), but not volumes.
enum class FileVolume { Unstated, Litres, GallonsUS, GallonsUK, Kilograms, KilowattHours };

// A unit word as files write it ("km", "Miles", "Liter", "US gal", "Imp. gal", "kWh"); nullopt
// when it is none.
std::optional<FileDistance> DistanceUnitOf(const QString& word);
std::optional<FileVolume> VolumeUnitOf(const QString& word);

// The unit that a column's name states: in brackets at its end, or as one of its words
// ("Km-Stand", "Price per gallon"); nullopt when it states none. unknown receives a bracketed
// word that looks like a unit but is none the import knows ("Fuel (m3)").
std::optional<FileDistance> DistanceUnitInName(const QString& header);
// plainGallons: the unit is "gallons" without saying US or UK.
std::optional<FileVolume> VolumeUnitInName(const QString& header, QString* unknown = nullptr,
                                           bool* plainGallons = nullptr);
// "Gallons", "gal": gallons that do not say whether they are US or UK ones.
bool IsPlainGallons(const QString& word);

// The units a line of text states, a title or a section line above the header: "Costs (km, l)",
// "Distance: miles; Volume: UK gallons", "Units: km/l", "Einheiten: km, Liter". Short unit words
// count only in brackets or after a colon, so that a name's "L" is not taken for litres.
struct TextUnits {
    FileDistance distance = FileDistance::Unstated;
    FileVolume volume = FileVolume::Unstated;
    bool plainGallons = false; // the volume is gallons without saying US or UK (UK ones if uk)
    bool uk = false;           // the text says UK or Imperial
    bool States() const { return distance != FileDistance::Unstated || volume != FileVolume::Unstated; }
};
TextUnits UnitsInText(const QString& text);

// The bracketed unit-like word of a column's name, or empty.
QString BracketedUnit(const QString& header);

// "DIST,VOL" as the console tool takes it ("km,l", "mi,gal", "mi,ukgal"); false when it is not.
bool ParseFileUnits(const QString& text, FileDistance& distance, FileVolume& volume);

// What one file unit is in the user's unit; 1 when the file's unit is unstated or cannot be
// converted (kg, kWh).
double DistanceFactor(FileDistance from, DistanceUnit to);
double VolumeFactor(FileVolume from, VolumeUnit to);
// Whether a number in the file's unit is changed on its way into the user's.
bool Converts(FileDistance from, DistanceUnit to);
bool Converts(FileVolume from, VolumeUnit to);
// The user's unit as the file's units are named.
FileDistance AsFileUnit(DistanceUnit unit);
FileVolume AsFileUnit(VolumeUnit unit);

// The unit's name in the import's notes: "km", "miles", "litres", "US gallons", ...
QString UnitName(FileDistance unit);
QString UnitName(FileVolume unit);
