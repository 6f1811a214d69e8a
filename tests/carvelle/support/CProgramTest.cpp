#include "carvelle/support/CProgramTest.h"

#include "app/CCarvelleApp.h"
#include "app/CMainFrame.h"
#include "core/ResourceIds.h"
#include "widgets/CMenuResource.h"

#include <QAction>
#include <QCoreApplication>

int CProgramTest::RunProgram(const std::function<void(CMainFrame&)>& user, const QString& templatePath) {
    CCarvelleApp app([&user](CMainFrame& frame) {
        QCoreApplication::processEvents();
        if (user && !frame.IsClosed())
            user(frame);
        if (!frame.IsClosed()) {
            // Menu > Exit, as the user ends the program.
            if (QAction* exit = FindCommand(frame.SoftKeyMenu(), ID_APP_EXIT))
                exit->trigger();
        }
        EXPECT_TRUE(WaitFor([&frame] { return frame.IsClosed(); })) << "the frame did not close";
        return 0;
    });
    app.SetTemplatePath(templatePath);
    return app.Run();
}
