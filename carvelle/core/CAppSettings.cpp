#include "CAppSettings.h"

#include "platform/Registry.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kCustomDateRange = 5; // custom dates are never stored

// A float stored as 4 bytes of REG_BINARY, little-endian. A value that is not a finite number
// is ignored: it would spread into every figure computed from it.
std::optional<float> QueryFloat(const CRegistryKey& key, const char* name) {
    const std::optional<std::vector<BYTE>> bytes = key.QueryBinary(name);
    if (!bytes || bytes->size() != 4)
        return std::nullopt;
    const std::vector<BYTE>& b = *bytes;
    const std::uint32_t bits = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                               (static_cast<std::uint32_t>(b[2]) << 16) |
                               (static_cast<std::uint32_t>(b[3]) << 24);
    const float value = std::bit_cast<float>(bits);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

void SetFloat(CRegistryKey& key, const char* name, float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const BYTE bytes[4] = {static_cast<BYTE>(bits & 0xFF), static_cast<BYTE>((bits >> 8) & 0xFF),
                           static_cast<BYTE>((bits >> 16) & 0xFF), static_cast<BYTE>((bits >> 24) & 0xFF)};
    key.SetBinary(name, bytes, sizeof bytes);
}

void ReadDword(const CRegistryKey& key, const char* name, DWORD& field) {
    if (const std::optional<DWORD> value = key.QueryDword(name))
        field = *value;
}

void ReadDword(const CRegistryKey& key, const char* name, LONG& field) {
    if (const std::optional<DWORD> value = key.QueryDword(name))
        field = static_cast<LONG>(*value);
}

} // namespace

CAppSettings::CAppSettings() = default;

CAppSettings::~CAppSettings() {
    if (!m_Loaded)
        return;
    try {
        SaveSettings();
    } catch (...) {
        // Registry failures are silent, and nothing may leave a destructor.
    }
}

void CAppSettings::LoadSettings() {
    m_Loaded = true; // even a first start without a key writes the settings at exit
    CRegistryKey key;
    if (!key.Open())
        return;

    // A value that is not a terminated string leaves the field as it was.
    if (std::optional<std::u16string> path = key.QueryString("DBPath")) {
        if (path->size() > MaxDBPathLength) {
            std::size_t keep = MaxDBPathLength;
            // Do not keep half of a surrogate pair.
            if ((*path)[keep - 1] >= 0xD800 && (*path)[keep - 1] <= 0xDBFF)
                --keep;
            path->resize(keep);
        }
        DBPath = std::move(*path);
    }

    if (std::optional<std::u16string> checked = key.QueryString("LastFullCheck"))
        LastFullCheck = std::move(*checked);
    ReadDword(key, "LastActiveVehicle", LastActiveVehicle);
    ReadDword(key, "SortAscending", SortAscending);
    ReadDword(key, "LastColSorted", LastColSorted);
    ReadDword(key, "ViewEntryType", ViewEntryType);
    ReadDword(key, "ViewDateRangeType", ViewDateRangeType);
    ReadDword(key, "UnitDistance", UnitDistance);
    ReadDword(key, "UnitVolume", UnitVolume);
    ReadDword(key, "UnitFuelEconomy", UnitFuelEconomy);
    ReadDword(key, "UnitSetupMsgShown", UnitSetupMsgShown);

    if (const std::optional<float> rate = QueryFloat(key, "MileageRate"))
        MileageRate = *rate;
}

void CAppSettings::SaveSettings() {
    CRegistryKey key;
    if (!key.Create())
        return;
    key.SetString("DBPath", DBPath);
    key.SetDword("LastActiveVehicle", LastActiveVehicle);
    key.SetDword("SortAscending", SortAscending);
    key.SetDword("LastColSorted", static_cast<DWORD>(LastColSorted));
    key.SetDword("ViewEntryType", ViewEntryType);
    key.SetDword("UnitDistance", UnitDistance);
    key.SetDword("UnitVolume", UnitVolume);
    key.SetDword("UnitFuelEconomy", UnitFuelEconomy);
    key.SetDword("UnitSetupMsgShown", UnitSetupMsgShown);
    SetFloat(key, "MileageRate", MileageRate);
    // A custom range cannot be restored (its dates are not kept): the last preset stays stored.
    if (ViewDateRangeType != kCustomDateRange)
        key.SetDword("ViewDateRangeType", ViewDateRangeType);
    // Only once a full check has found the file sound.
    if (!LastFullCheck.empty())
        key.SetString("LastFullCheck", LastFullCheck);
    key.Commit();
}

void CAppSettings::SaveDBPath() {
    CRegistryKey key;
    if (!key.Create())
        return;
    key.SetString("DBPath", DBPath);
    key.Commit();
}

std::optional<float> CAppSettings::ReadLastPrice() const {
    CRegistryKey key;
    if (!key.Open())
        return std::nullopt;
    return QueryFloat(key, "LastPrice");
}

void CAppSettings::WriteLastPrice(float price) const {
    CRegistryKey key;
    if (!key.Create())
        return;
    SetFloat(key, "LastPrice", price);
    key.Commit();
}
