#pragma once
// The temporary HOME and XDG folders of TempHome, with the settings file at hand as plain text
// for the settings tests.

#include "support/TempHome.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempConfigHome {
public:
    const std::string& Root() const { return m_Home.Root(); }
    std::string RuntimeDir() const { return m_Home.RuntimeDir(); }
    std::string SettingsFolder() const {
        return std::filesystem::path(SettingsFile()).parent_path().string();
    }
    std::string SettingsFile() const { return m_Home.SettingsFile(); }

    void WriteSettings(const std::string& content) const {
        std::filesystem::create_directories(SettingsFolder());
        std::ofstream(SettingsFile(), std::ios::binary) << content;
    }
    std::string ReadSettings() const {
        std::ifstream in(SettingsFile(), std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    bool SettingsExist() const { return std::filesystem::exists(SettingsFile()); }

private:
    TempHome m_Home;
};
