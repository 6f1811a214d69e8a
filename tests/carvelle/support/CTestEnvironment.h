#pragma once
// A temporary HOME with its own XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and
// XDG_RUNTIME_DIR for one test (settings file, documents folder, lock files and sockets land
// there). The previous values come back and the folder is removed at the end.

#include <QProcessEnvironment>
#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

class CTestEnvironment {
public:
    CTestEnvironment();
    ~CTestEnvironment();
    CTestEnvironment(const CTestEnvironment&) = delete;
    CTestEnvironment& operator=(const CTestEnvironment&) = delete;

    QString Root() const { return m_Root; }
    QString Home() const;
    QString ConfigHome() const;
    QString RuntimeDir() const;
    // $HOME/Documents, where the default data file goes.
    QString Documents() const;
    // The registry stand-in of this environment.
    QString SettingsFile() const;

    // The environment for a child process: this one's folders, offscreen.
    QProcessEnvironment ProcessEnvironment() const;

private:
    QString m_Root;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_Saved;
};
