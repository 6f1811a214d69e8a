#include "support/TempHome.h"

#include <cstdlib>
#include <filesystem>

namespace {

const char* const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                  "XDG_RUNTIME_DIR"};
const char* const kFolders[] = {"home", "config", "data", "cache", "runtime"};

} // namespace

TempHome::TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "carvelle-env-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        std::abort(); // no temporary folder: nothing of the test could stay out of the real home
    m_Root = pattern;
    for (int i = 0; i < 5; ++i) {
        const char* old = std::getenv(kVariables[i]);
        m_Saved.emplace_back(kVariables[i], old ? std::optional<std::string>(old) : std::nullopt);
        const std::string folder = m_Root + "/" + kFolders[i];
        std::filesystem::create_directories(folder);
        ::setenv(kVariables[i], folder.c_str(), 1);
    }
    std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all);
    std::filesystem::create_directories(Documents());
}

TempHome::~TempHome() {
    for (const auto& [name, value] : m_Saved) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::error_code ignored;
    const std::filesystem::path root = m_Root;
    // Tests make files read-only; give the owner its rights back so everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(root, ignored);
}

std::vector<std::pair<std::string, std::string>> TempHome::Variables() const {
    std::vector<std::pair<std::string, std::string>> variables;
    for (int i = 0; i < 5; ++i)
        variables.emplace_back(kVariables[i], m_Root + "/" + kFolders[i]);
    return variables;
}
