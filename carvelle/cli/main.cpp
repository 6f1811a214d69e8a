// carvelle-cli: Carvelle's console tool for scripts.

#include "cli/CCommandLineTool.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ferrox Software"));
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    CCommandLineTool tool(out, err);
    const int status = tool.Run(arguments);
    out.flush();
    err.flush();
    return status;
}
