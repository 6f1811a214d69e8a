#pragma once
// Units of distance, volume and fuel economy, their names and conversions, and the one formatter
// for numbers and money on screen. Every function reads the unit settings at the moment of the
// call, so a change in Options shows in the next display. Stored numbers are never converted.

#include "core/UnitChoice.h"
#include "platform/WinTypes.h"

#include <QString>

// A distance in the user's unit, in miles or kilometres.
float ToMiles(float distance);
float ToKilometres(float distance);
// A volume in the user's unit, in the target unit; 0.0 for an unknown stored unit.
float ToGallonsUS(float volume);
float ToGallonsUK(float volume);
float ToLitres(float volume);

// Fuel economy in the chosen unit (distance per volume, or litres per 100 km); -1.0 when it
// cannot be computed, as for a distance or a volume of 0.
float ComputeEconomy(LONG distance, float volume);

// The current unit's long or short name, lower-cased when asked; empty for an unknown unit.
QString DistanceUnitName(bool shortForm, bool lowerCase);
QString VolumeUnitName(bool shortForm, bool lowerCase);
// "mi/gal", "km/ltr", "mi/ltr", "l/100 km"; empty for an unknown economy unit.
QString EconomyUnitLabel();

// A number or amount as the user's locale shows it. With decimals: two decimal places, the sign
// kept; without: truncated toward zero. raw gives the bare text ("-3.70", "12"); currency gives
// the locale's money format, otherwise its number format with grouping.
QString FormatNumber(float value, bool decimals, bool raw, bool currency);

// The same with the three choices named; the program's calls use the formats below.
struct NumberFormat {
    bool decimals = false;
    bool raw = false;
    bool currency = false;
};
inline constexpr NumberFormat kWholeNumber{false, false, false};  // "1,234"
inline constexpr NumberFormat kDecimalNumber{true, false, false}; // "1,234.50"
inline constexpr NumberFormat kMoney{true, false, true};          // "$1,234.50"
QString FormatNumber(float value, NumberFormat format);
// A sum of many amounts, which a float would round to its seven digits (a cent off from about
// 131,072): formatted from the double itself.
QString FormatSum(double value, NumberFormat format);

// The fuel page's labels for the current volume unit; empty for an unknown unit (the page then
// keeps its own labels).
QString FuelQuantityLabel();  // "Num gallons:" / "Num litres:"
QString FuelUnitPriceLabel(); // "Cost per gallon:" / "Cost per litre:"

// The locale's currency symbol, as the Options dialog shows it.
QString CurrencySymbol();
