#include "core/Units.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CStringTable.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

DWORD Distance() {
    return TheSettings().UnitDistance;
}

DWORD Volume() {
    return TheSettings().UnitVolume;
}

QString UnitName(int id, bool lowerCase) {
    const QString name = LoadStringResource(id);
    return lowerCase ? QLocale().toLower(name) : name;
}

// Truncation toward zero into 32 bits; values beyond the range stop at its ends, NaN gives 0.
LONG TruncateToLong(float value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0f)
        return std::numeric_limits<LONG>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<LONG>::min();
    return static_cast<LONG>(value);
}

// The factors from US gallons, UK gallons and litres, the stored unit's picked; 0.0 for a unit
// outside the three.
float ConvertVolume(float volume, const std::array<float, 3>& factors) {
    const DWORD unit = Volume();
    return unit < factors.size() ? volume * factors[unit] : 0.0f;
}

} // namespace

float ToMiles(float distance) {
    return Distance() == DistanceMiles ? distance : distance * 0.621371f;
}

float ToKilometres(float distance) {
    return Distance() == DistanceMiles ? distance * 1.609f : distance;
}

float ToGallonsUS(float volume) {
    return ConvertVolume(volume, {1.0f, 1.20095f, 0.2642f});
}

float ToGallonsUK(float volume) {
    return ConvertVolume(volume, {0.8327f, 1.0f, 0.22f});
}

float ToLitres(float volume) {
    return ConvertVolume(volume, {3.785f, 4.54609f, 1.0f});
}

float ComputeEconomy(LONG distance, float volume) {
    if (distance <= 0 || !(volume > 0.0f))
        return -1.0f;
    const float length = static_cast<float>(distance);
    float numerator = 0.0f;
    float denominator = 0.0f;
    switch (TheSettings().UnitFuelEconomy) {
    case EconomyMilesPerGallonUS:
        numerator = ToMiles(length);
        denominator = ToGallonsUS(volume);
        break;
    case EconomyMilesPerGallonUK:
        numerator = ToMiles(length);
        denominator = ToGallonsUK(volume);
        break;
    case EconomyKilometresPerLitre:
        numerator = ToKilometres(length);
        denominator = ToLitres(volume);
        break;
    case EconomyMilesPerLitre:
        numerator = ToMiles(length);
        denominator = ToLitres(volume);
        break;
    case EconomyLitresPer100Km:
        // The litres it takes to go 100 km.
        numerator = ToLitres(volume) * 100.0f;
        denominator = ToKilometres(length);
        if (!(numerator > 0.0f))
            return -1.0f; // a volume unit outside the three
        break;
    default:
        return -1.0f;
    }
    return denominator != 0.0f ? numerator / denominator : -1.0f;
}

QString DistanceUnitName(bool shortForm, bool lowerCase) {
    switch (Distance()) {
    case DistanceMiles:
        return UnitName(shortForm ? IDS_MILES_SHORT : IDS_MILES, lowerCase);
    case DistanceKilometres:
        return UnitName(shortForm ? IDS_KILOMETRES_SHORT : IDS_KILOMETRES, lowerCase);
    default:
        return QString();
    }
}

QString VolumeUnitName(bool shortForm, bool lowerCase) {
    switch (Volume()) {
    case VolumeGallonsUS:
        return UnitName(shortForm ? IDS_GALLONS_US_SHORT : IDS_GALLONS_US, lowerCase);
    case VolumeGallonsUK:
        return UnitName(shortForm ? IDS_GALLONS_UK_SHORT : IDS_GALLONS_UK, lowerCase);
    case VolumeLitres:
        return UnitName(shortForm ? IDS_LITRES_SHORT : IDS_LITRES, lowerCase);
    default:
        return QString();
    }
}

QString EconomyUnitLabel() {
    int distance = 0;
    int volume = 0;
    switch (TheSettings().UnitFuelEconomy) {
    case EconomyMilesPerGallonUS:
    case EconomyMilesPerGallonUK:
        distance = IDS_MILES_SHORT;
        volume = IDS_GALLONS_US_SHORT;
        break;
    case EconomyKilometresPerLitre:
        distance = IDS_KILOMETRES_SHORT;
        volume = IDS_LITRES_SHORT;
        break;
    case EconomyMilesPerLitre:
        distance = IDS_MILES_SHORT;
        volume = IDS_LITRES_SHORT;
        break;
    case EconomyLitresPer100Km:
        return LoadStringResource(IDS_LITRES_PER_100_KM_LABEL);
    default:
        return QString();
    }
    return QStringLiteral("%1/%2").arg(LoadStringResource(distance), LoadStringResource(volume)).toLower();
}

namespace {

// The text of a value already rounded or truncated: bare, or as the locale shows it.
QString LocaleText(double shown, const QString& bare, bool decimals, bool raw, bool currency) {
    if (raw)
        return bare;
    const QLocale locale;
    if (currency)
        return locale.toCurrencyString(shown);
    if (decimals)
        return locale.toString(shown, 'f', 2);
    return locale.toString(static_cast<qlonglong>(shown));
}

// Rounded to two decimals independently of the C library's locale; -0.00 becomes 0.00.
double RoundedToCents(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    double shown = 0.0;
    std::from_chars(buffer, result.ptr, shown);
    return shown == 0.0 ? 0.0 : shown;
}

} // namespace

QString FormatNumber(float value, bool decimals, bool raw, bool currency) {
    // The number is rounded (or truncated) first; the locale only formats the result.
    if (decimals && std::isfinite(value)) {
        const double shown = RoundedToCents(static_cast<double>(value));
        return LocaleText(shown, QString::number(shown, 'f', 2), true, raw, currency);
    }
    const LONG whole = TruncateToLong(value);
    return LocaleText(whole, QString::number(whole), decimals, raw, currency);
}

QString FormatSum(double value, NumberFormat format) {
    if (!std::isfinite(value))
        value = 0.0;
    if (format.decimals) {
        const double shown = RoundedToCents(value);
        return LocaleText(shown, QString::number(shown, 'f', 2), true, format.raw, format.currency);
    }
    constexpr double kLimit = 9.0e15; // exact in a double and in a qlonglong
    const auto whole = static_cast<qlonglong>(std::trunc(std::clamp(value, -kLimit, kLimit)));
    return LocaleText(static_cast<double>(whole), QString::number(whole), false, format.raw, format.currency);
}

QString FormatNumber(float value, NumberFormat format) {
    return FormatNumber(value, format.decimals, format.raw, format.currency);
}

QString FuelQuantityLabel() {
    switch (Volume()) {
    case VolumeGallonsUS:
    case VolumeGallonsUK:
        return QStringLiteral("Num gallons:");
    case VolumeLitres:
        return QStringLiteral("Num litres:");
    default:
        return QString();
    }
}

QString FuelUnitPriceLabel() {
    switch (Volume()) {
    case VolumeGallonsUS:
    case VolumeGallonsUK:
        return QStringLiteral("Cost per gallon:");
    case VolumeLitres:
        return QStringLiteral("Cost per litre:");
    default:
        return QString();
    }
}

QString CurrencySymbol() {
    return QLocale().currencySymbol(QLocale::CurrencySymbol);
}
