// The entry point of the test programs of the floors with windows: one QApplication for every
// test, offscreen, with a HOME and XDG folders of its own so that nothing reaches the real home
// folder.

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "widgets/SharedFonts.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    std::string root = (std::filesystem::temp_directory_path() / "carvelle-tests-XXXXXX").string();
    const bool haveRoot = ::mkdtemp(root.data()) != nullptr;
    if (haveRoot) {
        for (const char* sub : {"home", "config", "data", "cache", "runtime"})
            std::filesystem::create_directories(root + "/" + sub);
        std::filesystem::permissions(root + "/runtime", std::filesystem::perms::owner_all);
        ::setenv("HOME", (root + "/home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root + "/cache").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    }

    int result = 0;
    {
        QApplication application(argc, argv);
        application.setQuitOnLastWindowClosed(false);
        // The machine's own locale must not decide a result: tests that need one set it.
        QLocale::setDefault(QLocale::c());
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
        DeleteSharedFonts();
        ResetSettings(); // nothing a test loaded is written at exit
    }

    if (haveRoot) {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    return result;
}
