#pragma once
// The temporary HOME and XDG folders of TempHome for one test, with Qt's view of them and the
// environment for a child process.

#include "support/TempHome.h"

#include <QProcessEnvironment>
#include <QString>

class CTestEnvironment {
public:
    QString Root() const { return QString::fromStdString(m_Home.Root()); }
    QString Home() const { return QString::fromStdString(m_Home.Home()); }
    QString ConfigHome() const { return QString::fromStdString(m_Home.ConfigHome()); }
    QString RuntimeDir() const { return QString::fromStdString(m_Home.RuntimeDir()); }
    // $HOME/Documents, where the default data file goes.
    QString Documents() const { return QString::fromStdString(m_Home.Documents()); }
    // The registry stand-in of this environment.
    QString SettingsFile() const { return QString::fromStdString(m_Home.SettingsFile()); }

    // The environment for a child process: this one's folders, offscreen.
    QProcessEnvironment ProcessEnvironment() const;

private:
    TempHome m_Home;
};
