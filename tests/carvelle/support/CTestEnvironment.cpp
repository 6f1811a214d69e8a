#include "carvelle/support/CTestEnvironment.h"

#include <QDir>

#include <cstdlib>
#include <filesystem>

namespace {

const char* const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                  "XDG_RUNTIME_DIR"};
const char* const kFolders[] = {"home", "config", "data", "cache", "runtime"};

} // namespace

CTestEnvironment::CTestEnvironment() {
    std::string pattern = (std::filesystem::temp_directory_path() / "carvelle-env-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        std::abort(); // no temporary folder: nothing of the test could stay out of the real home
    m_Root = QString::fromStdString(pattern);
    for (int i = 0; i < 5; ++i) {
        const char* old = std::getenv(kVariables[i]);
        m_Saved.emplace_back(kVariables[i], old ? std::optional<std::string>(old) : std::nullopt);
        const std::string folder = pattern + "/" + kFolders[i];
        std::filesystem::create_directories(folder);
        ::setenv(kVariables[i], folder.c_str(), 1);
    }
    std::filesystem::permissions(pattern + "/runtime", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(pattern + "/home/Documents");
}

CTestEnvironment::~CTestEnvironment() {
    for (const auto& [name, value] : m_Saved) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::error_code ignored;
    const std::filesystem::path root = m_Root.toStdString();
    // Tests make files read-only; give the owner its rights back so everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(root, ignored);
}

QString CTestEnvironment::Home() const {
    return m_Root + QStringLiteral("/home");
}

QString CTestEnvironment::ConfigHome() const {
    return m_Root + QStringLiteral("/config");
}

QString CTestEnvironment::RuntimeDir() const {
    return m_Root + QStringLiteral("/runtime");
}

QString CTestEnvironment::Documents() const {
    return Home() + QStringLiteral("/Documents");
}

QString CTestEnvironment::SettingsFile() const {
    return ConfigHome() + QStringLiteral("/Ferrox Software/Carvelle.reg");
}

QProcessEnvironment CTestEnvironment::ProcessEnvironment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (int i = 0; i < 5; ++i)
        environment.insert(QString::fromLatin1(kVariables[i]),
                           m_Root + QLatin1Char('/') + QLatin1String(kFolders[i]));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}
