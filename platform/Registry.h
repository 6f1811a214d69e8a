#pragma once
// The registry stand-in: the program's one key, kept as a typed value file in the .reg text
// format at $XDG_CONFIG_HOME/Ferrox Software/Carvelle.reg (else ~/.config/...).
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Ferrox Software\Carvelle]
//   "DBPath"="/home/me/Documents/My Vehicles.dat"
//   "UnitVolume"=dword:00000001
//   "MileageRate"=hex:cd,cc,cc,3e
//
// Texts are UTF-8 in the file and UTF-16 in memory; values the text forms cannot carry exactly
// (an unterminated string, a dword of another size, other types) are written as hex(type):...
// A line that cannot be read counts as a missing value. A commit writes the whole file to a
// temporary file beside it, flushes it to disk and renames it over the old one.

#include "platform/WinTypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// The text form of one value of the key.
namespace RegistryText {
// One value line ("Name"=dword:..., @="text", "Name"=hex(7):...); false when it cannot be read.
bool ParseValueLine(std::string_view line, std::string& name, DWORD& type, std::vector<BYTE>& data);
// The line that ParseValueLine reads back as the same name, type and bytes.
std::string FormatValueLine(const std::string& name, DWORD type, const std::vector<BYTE>& data);
} // namespace RegistryText

class CRegistryKey {
public:
    // The settings file, resolved from the environment now: $XDG_CONFIG_HOME (when absolute),
    // else $HOME/.config, else the user's home from the password database. Empty when none is known.
    static std::string SettingsFilePath();

    CRegistryKey(); // the settings file, resolved at construction
    explicit CRegistryKey(std::string filePath);

    // Opens the key for reading; false when the file is missing or cannot be read.
    bool Open();
    // Opens the key for reading and writing; a missing file is an empty key. False when the file
    // exists but cannot be read (it is then never overwritten) or no path is known.
    bool Create();
    void Close();
    bool IsOpen() const { return m_Open; }
    bool IsWritable() const { return m_Writable; }
    const std::string& GetFilePath() const { return m_Path; }

    // Value names are compared without regard to ASCII case, as the registry does.
    bool QueryValue(std::string_view name, DWORD& type, std::vector<BYTE>& data) const;
    // Only a REG_DWORD of 4 bytes.
    std::optional<DWORD> QueryDword(std::string_view name) const;
    // Only a REG_SZ or REG_EXPAND_SZ that ends in a terminator; the text up to the first one.
    std::optional<std::u16string> QueryString(std::string_view name) const;
    // Only a REG_BINARY.
    std::optional<std::vector<BYTE>> QueryBinary(std::string_view name) const;

    // Changes the key in memory (only when opened for writing); Commit writes it. A changed value
    // keeps its place in the file, a new one is added at the end.
    bool SetValue(std::string_view name, DWORD type, const void* data, std::size_t size);
    bool SetDword(std::string_view name, DWORD value);
    bool SetString(std::string_view name, std::u16string_view text); // REG_SZ with its terminator
    bool SetBinary(std::string_view name, const void* data, std::size_t size);
    bool DeleteValue(std::string_view name);

    // Writes the whole key atomically; false (and the old file untouched) on any failure.
    bool Commit();

    // The value names in file order.
    std::vector<std::string> ValueNames() const;

private:
    struct Value {
        std::string Name;
        DWORD Type = REG_NONE;
        std::vector<BYTE> Data;
    };

    enum class LoadResult { Loaded, Missing, Unreadable };
    LoadResult Load();
    const Value* Find(std::string_view name) const;
    Value* Find(std::string_view name);

    std::string m_Path;
    std::vector<Value> m_Values; // in file order
    // ASCII-lowercased name -> position in m_Values; files may hold many thousands of names.
    std::unordered_map<std::string, std::size_t> m_Index;
    bool m_Open = false;
    bool m_Writable = false;
};
