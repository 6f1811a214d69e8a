// carvelle-cli: Carvelle's console tool for scripts.

#include "cli/CCommandLineTool.h"
#include "core/CStringTable.h"

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
    int status = tool.Run(arguments);
    // A full disk or a closed pipe shows only now: the output is not there, so it is no success.
    if (!out.flush() || out.error() != QFileDevice::NoError) {
        err.write(FormatStringResource(IDS_CLI_OUTPUT_FAILED, {out.errorString()}).toUtf8());
        if (status == CCommandLineTool::ExitOK)
            status = CCommandLineTool::ExitRefused;
    }
    err.flush();
    return status;
}
