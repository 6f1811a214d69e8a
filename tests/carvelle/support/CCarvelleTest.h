#pragma once
// The fixture of the program's window tests: its own HOME and XDG folders, a scripted prompter,
// fresh settings and a disconnected data layer; helpers to seed and read the stored settings.

#include "carvelle/support/CScriptedPrompter.h"
#include "carvelle/support/CTestEnvironment.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class CAppSettings;

class CCarvelleTest : public ::testing::Test {
protected:
    CCarvelleTest();
    ~CCarvelleTest() override;

    // Writes the settings file as the program would, from the defaults changed by edit.
    void SeedSettings(const std::function<void(CAppSettings&)>& edit) const;
    // What the settings file holds now.
    std::unique_ptr<CAppSettings> StoredSettings() const;

    // Processes events until the condition holds or the time is up; false on time out.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

    // The file's bytes; empty when it cannot be read.
    static QByteArray ReadFile(const QString& path);
    static void WriteFile(const QString& path, const QByteArray& bytes);

    CTestEnvironment m_Environment;
    CScriptedPrompter m_Prompter;
};
