#pragma once
// carvelle-cli: the console tool for scripts. vehicles, export, import, backup, check, stats, report
// fillups and reminders over a data file, with --help for each, and --version. Exit status 0 on
// success, 1 when the input is refused (a message on standard error, nothing written), 2 on a usage
// error, 3 when an import wrote its rows but left a table of the file unread, 4 when reminders
// --due found a reminder due.

#include "datastore/CDataLayer.h"
#include "exchange/CEntryImporter.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <span>

class CEntryFilter;
class CFiguresOverTime;
class QIODevice;

class CCommandLineTool {
public:
    enum { ExitOK = 0, ExitRefused = 1, ExitUsage = 2, ExitIncomplete = 3, ExitRemindersDue = 4 };

    // out receives the results (the CSV of an export), err the messages.
    CCommandLineTool(QIODevice& out, QIODevice& err);

    // The arguments without the program's name.
    int Run(const QStringList& arguments);
    // Standard error is a terminal: a long import tells how far it is, a line a second.
    void SetProgressOnTerminal(bool on) { m_Progress = on; }

    // How long a command waits for a data file another program holds.
    int busyTimeoutMs = CDataLayer::BusyTimeoutMs;

private:
    struct Options {
        QStringList positional;
        std::map<QString, QString> values;    // "--vehicle" -> "Corolla"; the last one given
        std::map<QString, QStringList> every; // every value of an option that may be repeated
        QStringList flags;                    // "--dry-run"
        bool help = false;

        bool Has(const QString& option) const { return values.count(option) != 0; }
        QString Value(const QString& option) const;
        QStringList Values(const QString& option) const;
        bool Flag(const QString& option) const { return flags.contains(option); }
    };
    using Handler = int (CCommandLineTool::*)(const Options&);
    // One subcommand: what it accepts, its help and the member that runs it once the arguments fit.
    struct Command {
        QString name;
        QStringList valued;   // options that take a value: "--vehicle NAME", "--vehicle=NAME"
        QStringList flags;    // options without one
        QStringList required; // valued options that must be given
        int arguments;        // positional arguments
        int helpId;
        Handler handler;
    };
    static std::span<const Command> Commands();

    // Splits the arguments; false (with a message) on an unknown option or a missing value.
    bool Parse(const QStringList& arguments, const Command& command, Options& options);
    int Usage(int helpId, const QString& problem);
    bool Connect(CDataLayer& layer, const QString& path);
    // Before a write: the full check, as the program runs it at start, of a file changed since the
    // last sound one; false (with the findings) when the file needs a repair first.
    bool SoundForWriting(const QString& path);
    // The RefID of the vehicle named (or numbered); 0 with a message when there is none.
    unsigned long FindVehicle(CDataLayer& layer, const QString& name);
    // Before a command writes to a vehicle's records: the file checked as sound, connected, and the
    // vehicle of --vehicle found; its RefID, or 0 with a message.
    unsigned long OpenVehicleForWriting(CDataLayer& layer, const QString& path, const Options& options);
    // The vehicle of --vehicle, else the file's only one; 0 with a message when there is none.
    unsigned long ChooseVehicle(CDataLayer& layer, const Options& options);
    // The figures of the chosen vehicle over --from and --to (kind: a CFiguresOverTime::PeriodKind);
    // an exit status, ExitOK when computed.
    int ComputeFigures(const Options& options, int kind, CFiguresOverTime& figures);
    // Applies --type, --from and --to; false (with a message) on a bad value.
    bool ApplyFilter(const Options& options, CEntryFilter& filter, bool allowType);

    int Vehicles(const Options& options);
    int Export(const Options& options);
    int Import(const Options& options);
    // The errors and summary of an import that ran, and its exit status.
    int ImportOutcome(const CEntryImporter& importer, CEntryImporter::Result result);
    // A line a second on standard error while a long import runs.
    CEntryImporter::Progress ImportProgress();
    int Backup(const Options& options);
    // The full check of a data file; with --repair, a repaired copy.
    int Check(const Options& options);
    int Stats(const Options& options);
    int Report(const Options& options);
    int FillUps(const Options& options);
    int Reminders(const Options& options);
    int AddReminder(const Options& options);
    int ReminderDone(const Options& options);
    // The whole number of a valued option within [least, most]; nullopt (with a message) otherwise,
    // fallback when the option is not given.
    std::optional<LONG> Whole(const Options& options, const QString& option, LONG least, LONG most,
                              LONG fallback);
    // The day of a valued option, nullopt (with a message) when it is no day; fallback when not given.
    std::optional<QDate> Day(const Options& options, const QString& option, const QDate& fallback);
    int Version(const Options& options);

    void Print(const QString& text);
    void Complain(const QString& text);

    QIODevice& m_Out;
    QIODevice& m_Err;
    bool m_Progress = false;
};
