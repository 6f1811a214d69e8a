#pragma once
// A fresh HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR for one test, so the settings file and lock
// files land in a temporary folder; the old environment comes back and the folder goes away.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

class TempConfigHome {
public:
    TempConfigHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "carvelle-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_Root = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
            const char* old = std::getenv(name);
            m_Saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        }
        for (const char* sub : {"home", "config", "run"})
            std::filesystem::create_directories(m_Root + "/" + sub);
        ::setenv("HOME", (m_Root + "/home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_Root + "/config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (m_Root + "/run").c_str(), 1);
    }
    ~TempConfigHome() {
        for (const auto& [name, value] : m_Saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ec;
        if (!m_Root.empty())
            std::filesystem::remove_all(m_Root, ec);
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    const std::string& Root() const { return m_Root; }
    std::string SettingsFolder() const { return m_Root + "/config/Ferrox Software"; }
    std::string SettingsFile() const { return SettingsFolder() + "/Carvelle.reg"; }

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
    std::string m_Root;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_Saved;
};
