#include "CAppSettings.h"

#include "core/UnitChoice.h"
#include "platform/Registry.h"

#include <QLocale>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kCustomDateRange = 5; // custom dates are never stored
constexpr const char* kDialogSizePrefix = "DialogSize";
// No window or dialog is bigger than this; a larger stored size is a damaged value.
constexpr LONG kMaxWindowSide = 100000;

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

bool ReasonableSize(LONG width, LONG height) {
    return width > 0 && height > 0 && width <= kMaxWindowSide && height <= kMaxWindowSide;
}

std::optional<CAppSettings::WindowPlacement> ReadPlacement(const CRegistryKey& key) {
    const std::optional<DWORD> left = key.QueryDword("WindowLeft");
    const std::optional<DWORD> top = key.QueryDword("WindowTop");
    const std::optional<DWORD> width = key.QueryDword("WindowWidth");
    const std::optional<DWORD> height = key.QueryDword("WindowHeight");
    if (!left || !top || !width || !height)
        return std::nullopt;
    CAppSettings::WindowPlacement placement;
    placement.Left = static_cast<LONG>(*left);
    placement.Top = static_cast<LONG>(*top);
    placement.Width = static_cast<LONG>(*width);
    placement.Height = static_cast<LONG>(*height);
    if (!ReasonableSize(placement.Width, placement.Height) || placement.Left < -kMaxWindowSide ||
        placement.Left > kMaxWindowSide || placement.Top < -kMaxWindowSide || placement.Top > kMaxWindowSide)
        return std::nullopt;
    placement.Maximized = key.QueryDword("WindowMaximized").value_or(0) != 0;
    return placement;
}

// Each dialog's size as 8 bytes of REG_BINARY: width and height, 32 bits each, little-endian.
void ReadDialogSizes(const CRegistryKey& key, std::map<int, std::pair<LONG, LONG>>& sizes) {
    const std::string prefix = kDialogSizePrefix;
    for (const std::string& name : key.ValueNames()) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        int id = 0;
        const char* first = name.data() + prefix.size();
        const char* last = name.data() + name.size();
        const auto [end, error] = std::from_chars(first, last, id);
        const std::optional<std::vector<BYTE>> bytes = key.QueryBinary(name);
        if (error != std::errc() || end != last || !bytes || bytes->size() != 8)
            continue;
        const auto word = [&bytes](std::size_t at) {
            const std::vector<BYTE>& b = *bytes;
            return static_cast<LONG>(static_cast<std::uint32_t>(b[at]) |
                                     (static_cast<std::uint32_t>(b[at + 1]) << 8) |
                                     (static_cast<std::uint32_t>(b[at + 2]) << 16) |
                                     (static_cast<std::uint32_t>(b[at + 3]) << 24));
        };
        const LONG width = word(0);
        const LONG height = word(4);
        if (ReasonableSize(width, height))
            sizes[id] = {width, height};
    }
}

void WriteDialogSize(CRegistryKey& key, int id, LONG width, LONG height) {
    BYTE bytes[8];
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<BYTE>((static_cast<std::uint32_t>(width) >> (8 * i)) & 0xFF);
        bytes[4 + i] = static_cast<BYTE>((static_cast<std::uint32_t>(height) >> (8 * i)) & 0xFF);
    }
    key.SetBinary(kDialogSizePrefix + std::to_string(id), bytes, sizeof bytes);
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
    const bool opened = key.Open();
    // Until the user has chosen units, those usual where the user lives are preselected.
    DWORD type = 0;
    std::vector<BYTE> ignored;
    if (!opened ||
        (!key.QueryValue("UnitDistance", type, ignored) && !key.QueryValue("UnitVolume", type, ignored) &&
         !key.QueryValue("UnitFuelEconomy", type, ignored))) {
        const UnitChoice units = UnitsForLocale(QLocale());
        UnitDistance = units.distance;
        UnitVolume = units.volume;
        UnitFuelEconomy = units.economy;
    }
    if (!opened)
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

    if (std::optional<WindowPlacement> placement = ReadPlacement(key))
        MainWindow = placement;
    ReadDialogSizes(key, DialogSizes);
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
    if (MainWindow) {
        key.SetDword("WindowLeft", static_cast<DWORD>(MainWindow->Left));
        key.SetDword("WindowTop", static_cast<DWORD>(MainWindow->Top));
        key.SetDword("WindowWidth", static_cast<DWORD>(MainWindow->Width));
        key.SetDword("WindowHeight", static_cast<DWORD>(MainWindow->Height));
        key.SetDword("WindowMaximized", MainWindow->Maximized ? 1 : 0);
    }
    for (const auto& [id, size] : DialogSizes)
        WriteDialogSize(key, id, size.first, size.second);
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
