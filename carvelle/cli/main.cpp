// carvelle-cli: Carvelle's console tool for scripts.

#include "cli/CCommandLineTool.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ferrox Software"));
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    // Unbuffered, so that a progress line shows when it is written.
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    CCommandLineTool tool(out, err);
    tool.SetProgressOnTerminal(isatty(fileno(stderr)) != 0);
    const int status = tool.Run(arguments);
    out.flush();
    err.flush();
    return status;
}
