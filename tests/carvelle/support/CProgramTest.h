#pragma once
// The fixture of tests that run the program's whole road in this process, from entry to exit.

#include "carvelle/support/CCarvelleTest.h"

#include <QString>

#include <functional>

class CMainFrame;

class CProgramTest : public CCarvelleTest {
protected:
    // Runs the program from entry to exit. The user function acts on the running frame; then
    // the user taps Menu > Exit. Returns the exit code.
    int RunProgram(const std::function<void(CMainFrame&)>& user = {}, const QString& templatePath = {});
};
