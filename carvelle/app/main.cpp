// Carvelle: a personal vehicle log.

#include "app/CCarvelleApp.h"
#include "app/CMainFrame.h"
#include "core/CStringTable.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // Answered before any window system is needed, so they work in a plain terminal too.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(LoadStringResource(IDS_APP_USAGE).toUtf8().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::fputs("carvelle " CARVELLE_VERSION_TEXT "\n", stdout);
            return 0;
        }
    }

    QApplication application(argc, argv);
    application.setApplicationName(LoadStringResource(IDS_PRODUCT_NAME));
    application.setApplicationDisplayName(LoadStringResource(IDS_PRODUCT_NAME));
    application.setOrganizationName(QStringLiteral("Ferrox Software"));
    application.setDesktopFileName(QStringLiteral(CARVELLE_APP_ID));
    // The frame alone ends the loop: a closing message box must not.
    application.setQuitOnLastWindowClosed(false);

    CCarvelleApp app([](CMainFrame& frame) {
        QObject::connect(&frame, &CMainFrame::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return QApplication::exec();
    });
    return app.Run();
}
