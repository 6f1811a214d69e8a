#pragma once
// The program's one settings object: preferences and view state, kept in the registry stand-in
// ($XDG_CONFIG_HOME/Ferrox Software/Carvelle.reg).

#include "platform/WinTypes.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>

class CAppSettings {
public:
    CAppSettings();  // the defaults
    ~CAppSettings(); // writes the settings back when this object loaded them
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    void LoadSettings();
    void SaveSettings();
    void SaveDBPath();

    // The fuel page's remembered unit price; empty when absent or of the wrong type.
    std::optional<float> ReadLastPrice() const;
    void WriteLastPrice(float price) const;

    // True once LoadSettings has run: only such an instance writes the settings at exit.
    bool IsLoaded() const { return m_Loaded; }
    // Marks the settings as not to be written at exit (an instance that handed over).
    void DiscardOnExit() { m_Loaded = false; }

    // The longest data file path that is read back from the registry: the host's path limit,
    // so a path the user picked is never cut short.
    static constexpr std::size_t MaxDBPathLength = MAX_PATH;

    // Stored values.
    std::u16string DBPath; // at most MaxDBPathLength characters
    DWORD LastActiveVehicle = 0;
    DWORD SortAscending = 1;
    LONG LastColSorted = 0;
    DWORD ViewEntryType = 0;
    DWORD UnitDistance = 0;
    DWORD UnitVolume = 0;
    DWORD UnitFuelEconomy = 0;
    DWORD UnitSetupMsgShown = 0;
    float MileageRate = 0.36f;
    DWORD ViewDateRangeType = 0;
    // The data file as the last full check found it sound: "size mtime path", the time in
    // milliseconds since 1970. The check runs again at start once the file differs.
    std::u16string LastFullCheck;

    // Where the main window was left: its normal geometry (the frame's inside, in screen
    // coordinates) and whether it was maximised. Absent until the window has been closed once.
    struct WindowPlacement {
        LONG Left = 0;
        LONG Top = 0;
        LONG Width = 0;
        LONG Height = 0;
        bool Maximized = false;
    };
    std::optional<WindowPlacement> MainWindow;
    // The sizes the user gave the dialogs, by dialog template number: width and height.
    std::map<int, std::pair<LONG, LONG>> DialogSizes;

private:
    bool m_Loaded = false;
};
