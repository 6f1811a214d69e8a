// The entry point of the test programs of the floors without windows: one QCoreApplication for
// every test, with a HOME and XDG folders of its own so that nothing reaches the real home folder.

#include "core/AppData.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    TempHome home;
    int result = 0;
    {
        QCoreApplication application(argc, argv);
        // The machine's own locale must not decide a result: tests that need one set it.
        QLocale::setDefault(QLocale::c());
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
        ResetSettings(); // nothing a test loaded is written at exit
    }
    return result;
}
