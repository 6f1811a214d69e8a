#pragma once
// A temporary HOME with its own XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and
// XDG_RUNTIME_DIR (settings file, documents folder, lock files and sockets land there). The
// previous values come back and the folder is removed at the end. Plain C++, so the platform's
// tests can use it without Qt.

#include <optional>
#include <string>
#include <utility>
#include <vector>

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& Root() const { return m_Root; }
    std::string Home() const { return m_Root + "/home"; }
    std::string ConfigHome() const { return m_Root + "/config"; }
    std::string RuntimeDir() const { return m_Root + "/runtime"; }
    // $HOME/Documents, where the default data file goes.
    std::string Documents() const { return Home() + "/Documents"; }
    // The registry stand-in of this home.
    std::string SettingsFile() const { return ConfigHome() + "/Ferrox Software/Carvelle.reg"; }

    // The variables set, each with its folder.
    std::vector<std::pair<std::string, std::string>> Variables() const;

private:
    std::string m_Root;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_Saved;
};
