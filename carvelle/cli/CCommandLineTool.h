#pragma once
// carvelle-cli: the console tool for scripts. vehicles, export, import, backup and stats over a
// data file, with --help for each. Exit status 0 on success, 1 when the input is refused (a
// message on standard error, nothing written), 2 on a usage error.

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

class CDataLayer;
class CEntryFilter;
class QIODevice;

class CCommandLineTool {
public:
    enum { ExitOK = 0, ExitRefused = 1, ExitUsage = 2 };

    // out receives the results (the CSV of an export), err the messages.
    CCommandLineTool(QIODevice& out, QIODevice& err);

    // The arguments without the program's name.
    int Run(const QStringList& arguments);

private:
    struct Options {
        QStringList positional;
        std::map<QString, QString> values; // "--vehicle" -> "Corolla"
        bool help = false;
        bool dryRun = false;
        bool skipBadRows = false;
    };

    // Splits the arguments; false (with a message) on an unknown option or a missing value.
    bool Parse(const QStringList& arguments, const QStringList& valued, const QStringList& flags,
               Options& options);
    int Usage(int helpId, const QString& problem);
    bool Connect(CDataLayer& layer, const QString& path);
    // The RefID of the vehicle named (or numbered); 0 with a message when there is none.
    unsigned long FindVehicle(CDataLayer& layer, const QString& name);
    // Applies --type, --from and --to; false (with a message) on a bad value.
    bool ApplyFilter(const Options& options, CEntryFilter& filter, bool allowType);

    int Vehicles(const QStringList& arguments);
    int Export(const QStringList& arguments);
    int Import(const QStringList& arguments);
    int Backup(const QStringList& arguments);
    int Stats(const QStringList& arguments);

    void Print(const QString& text);
    void Complain(const QString& text);

    QIODevice& m_Out;
    QIODevice& m_Err;
};
