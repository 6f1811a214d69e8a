// Carvelle: a personal vehicle log.

#include "app/CCarvelleApp.h"
#include "app/CMainFrame.h"
#include "core/CStringTable.h"

#include <QApplication>

int main(int argc, char* argv[]) {
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
