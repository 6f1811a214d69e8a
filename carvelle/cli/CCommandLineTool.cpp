#include "cli/CCommandLineTool.h"

#include "exchange/CDataFileBackup.h"
#include "exchange/CEntryExporter.h"
#include "exchange/CEntryImporter.h"
#include "exchange/CRepairedCopy.h"
#include "exchange/CheckText.h"
#include "exchange/ImportText.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CFiguresOverTime.h"
#include "core/CQuickStats.h"
#include "core/CRecordServices.h"
#include "core/CStringTable.h"
#include "core/ConnectStatusMessage.h"
#include "core/EntryTypeNames.h"
#include "core/FillUpNotes.h"
#include "core/LocalDates.h"
#include "core/ParseIsoDay.h"
#include "core/ReminderDone.h"
#include "core/ReminderDue.h"
#include "core/ReminderSchedule.h"
#include "core/VehicleLookup.h"
#include "datastore/CDataFileCheck.h"
#include "datastore/CDataLayer.h"
#include "records/CEntryFilter.h"
#include "records/CNotification.h"
#include "records/CObjectListT.h"

#include <QDate>
#include <QIODevice>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>
#include <cmath>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

const QString kVehicle = QStringLiteral("--vehicle");
const QString kType = QStringLiteral("--type");
const QString kFrom = QStringLiteral("--from");
const QString kTo = QStringLiteral("--to");
const QString kOutput = QStringLiteral("-o");
const QString kAs = QStringLiteral("--as");
const QString kDateFormat = QStringLiteral("--date-format");
const QString kDryRun = QStringLiteral("--dry-run");
const QString kSkipBadRows = QStringLiteral("--skip-bad-rows");
const QString kBy = QStringLiteral("--by");
const QString kForce = QStringLiteral("--force");
const QString kRepair = QStringLiteral("--repair");
const QString kMap = QStringLiteral("--map");
const QString kSpreadsheetSafe = QStringLiteral("--spreadsheet-safe");
const QString kFileUnits = QStringLiteral("--file-units");
const QString kDue = QStringLiteral("--due");
const QString kName = QStringLiteral("--name");
const QString kOdometer = QStringLiteral("--odometer");
const QString kDate = QStringLiteral("--date");
const QString kEveryDistance = QStringLiteral("--every-distance");
const QString kEveryMonths = QStringLiteral("--every-months");
const QString kStoreRepair = QStringLiteral("--store-repair");
const QString kDueOdometer = QStringLiteral("--due-odometer");
const QString kDueDate = QStringLiteral("--due-date");
constexpr LONG kMostOdometer = 0x7FFFFFFE;

// A figure for a CSV cell: '.' as the decimal point, no grouping, never "-0.00".
QString Fixed(double value, int decimals) {
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0.0;
    return QString::number(value, 'f', decimals);
}

// A text for a CSV cell, quoted when it holds a delimiter, a quote or a line end.
QString CsvText(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString IsoDay(const std::optional<QDate>& day) {
    return day ? day->toString(Qt::ISODate) : QString();
}

template <class T> QString Optional(const std::optional<T>& value, int decimals) {
    return value ? Fixed(static_cast<double>(*value), decimals) : QString();
}

} // namespace

CCommandLineTool::CCommandLineTool(QIODevice& out, QIODevice& err) : m_Out(out), m_Err(err) {}

QString CCommandLineTool::Options::Value(const QString& option) const {
    const auto found = values.find(option);
    return found == values.end() ? QString() : found->second;
}

QStringList CCommandLineTool::Options::Values(const QString& option) const {
    const auto found = every.find(option);
    return found == every.end() ? QStringList() : found->second;
}

std::span<const CCommandLineTool::Command> CCommandLineTool::Commands() {
    using T = CCommandLineTool;
    static const Command commands[] = {
        // name, valued options, flags, required options, arguments, help, handler
        {QStringLiteral("vehicles"), {}, {}, {}, 1, IDS_CLI_HELP_VEHICLES, &T::Vehicles},
        {QStringLiteral("export"),
         {kVehicle, kType, kFrom, kTo, kOutput},
         {kSpreadsheetSafe},
         {},
         1,
         IDS_CLI_HELP_EXPORT,
         &T::Export},
        {QStringLiteral("import"),
         {kVehicle, kAs, kDateFormat, kMap, kFileUnits},
         {kDryRun, kSkipBadRows},
         {},
         2,
         IDS_CLI_HELP_IMPORT,
         &T::Import},
        {QStringLiteral("backup"), {}, {kForce}, {}, 2, IDS_CLI_HELP_BACKUP, &T::Backup},
        {QStringLiteral("check"), {kRepair}, {kForce}, {}, 1, IDS_CLI_HELP_CHECK, &T::Check},
        {QStringLiteral("stats"), {kVehicle, kFrom, kTo}, {}, {kVehicle}, 1, IDS_CLI_HELP_STATS, &T::Stats},
        {QStringLiteral("report"), {kVehicle, kBy, kFrom, kTo}, {}, {}, 1, IDS_CLI_HELP_REPORT, &T::Report},
        {QStringLiteral("fillups"), {kVehicle, kFrom, kTo}, {}, {}, 1, IDS_CLI_HELP_FILLUPS, &T::FillUps},
        {QStringLiteral("reminders"), {kVehicle}, {kDue}, {}, 1, IDS_CLI_HELP_REMINDERS, &T::Reminders},
        {QStringLiteral("reminders add"),
         {kVehicle, kName, kOdometer, kDate, kEveryDistance, kEveryMonths},
         {},
         {kVehicle, kName},
         1,
         IDS_CLI_HELP_REMINDERS_ADD,
         &T::AddReminder},
        {QStringLiteral("reminders done"),
         {kVehicle, kName, kDate, kOdometer, kStoreRepair, kDueOdometer, kDueDate},
         {},
         {kVehicle, kName},
         1,
         IDS_CLI_HELP_REMINDERS_DONE,
         &T::ReminderDone},
        {QStringLiteral("--version"), {}, {}, {}, 0, IDS_CLI_USAGE, &T::Version},
    };
    return commands;
}

void CCommandLineTool::Print(const QString& text) {
    m_Out.write(text.toUtf8());
}

void CCommandLineTool::Complain(const QString& text) {
    QString line = text;
    if (!line.endsWith(u'\n'))
        line += u'\n';
    m_Err.write(QStringLiteral("carvelle-cli: ").toUtf8() + line.toUtf8());
}

int CCommandLineTool::Usage(int helpId, const QString& problem) {
    if (!problem.isEmpty())
        Complain(problem);
    m_Err.write(LoadStringResource(helpId).toUtf8());
    return ExitUsage;
}

bool CCommandLineTool::Parse(const QStringList& arguments, const Command& command, Options& options) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == u"--help" || argument == u"-h") {
            options.help = true;
            continue;
        }
        if (argument == u"--") {
            options.positional += arguments.mid(i + 1);
            break;
        }
        if (!argument.startsWith(u'-') || argument == u"-") {
            options.positional << argument;
            continue;
        }
        QString value;
        bool haveValue = false;
        if (const qsizetype equals = argument.indexOf(u'='); equals > 0 && argument.startsWith(u"--")) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
            haveValue = true;
        }
        if (command.valued.contains(argument)) {
            if (!haveValue) {
                if (i + 1 >= arguments.size()) {
                    Complain(FormatStringResource(IDS_CLI_BAD_OPTION,
                                                  {argument, QStringLiteral("a value is missing")}));
                    return false;
                }
                value = arguments[++i];
            }
            options.values[argument] = value;
            options.every[argument] << value;
        } else if (command.flags.contains(argument) && !haveValue) {
            options.flags << argument;
        } else {
            Complain(FormatStringResource(IDS_CLI_BAD_OPTION, {argument, QStringLiteral("unknown option")}));
            return false;
        }
    }
    return true;
}

int CCommandLineTool::Run(const QStringList& arguments) {
    if (arguments.isEmpty())
        return Usage(IDS_CLI_USAGE, QString());
    QString name = arguments.first();
    qsizetype taken = 1;
    // "reminders add" and "reminders done" are commands of their own.
    if (name == u"reminders" && arguments.size() > 1 && (arguments[1] == u"add" || arguments[1] == u"done")) {
        name += u' ' + arguments[1];
        taken = 2;
    }
    if (name == u"--help" || name == u"-h" || name == u"help") {
        Print(LoadStringResource(IDS_CLI_USAGE));
        return ExitOK;
    }
    const auto commands = Commands();
    const auto command =
        std::find_if(commands.begin(), commands.end(), [&name](const Command& c) { return c.name == name; });
    if (command == commands.end())
        return Usage(IDS_CLI_USAGE,
                     FormatStringResource(IDS_CLI_BAD_OPTION, {name, QStringLiteral("unknown command")}));

    Options options;
    if (!Parse(arguments.mid(taken), *command, options))
        return Usage(command->helpId, QString());
    if (options.help) {
        Print(LoadStringResource(command->helpId));
        return ExitOK;
    }
    const bool missing = std::any_of(command->required.begin(), command->required.end(),
                                     [&options](const QString& option) { return !options.Has(option); });
    if (options.positional.size() != command->arguments || missing)
        return Usage(command->helpId, QString());
    // Units and the locale's figures as the user chose them in Options; never written back.
    TheSettings().LoadSettings();
    TheSettings().DiscardOnExit();
    return (this->*command->handler)(options);
}

bool CCommandLineTool::Connect(CDataLayer& layer, const QString& path) {
    layer.SetBusyTimeout(busyTimeoutMs);
    layer.Connect(path.toStdU16String().c_str());
    const QString problem = ConnectStatusMessage(layer.GetConnectReason(), path);
    if (problem.isEmpty()) {
        ConvertImportedFillNotes(layer);
        return true;
    }
    Complain(problem);
    return false;
}

bool CCommandLineTool::SoundForWriting(const QString& path) {
    const QString stamp = FullCheckStamp(path);
    if (stamp.isEmpty() || stamp.toStdU16String() == TheSettings().LastFullCheck)
        return true;
    CDataFileCheck check;
    check.busyTimeoutMs = busyTimeoutMs;
    // A file that cannot be read is told of by the connect that follows.
    if (check.Run(path.toStdU16String().c_str()) != CDataLayer::ConnectOK || !check.NeedsRepair())
        return true;
    Complain(FormatStringResource(IDS_CLI_DAMAGED_NOT_WRITTEN, {path}));
    for (const QString& line : CheckFindingLines(check))
        Complain(line);
    Complain(LoadStringResource(IDS_CHECK_REPAIR_HINT));
    return false;
}

unsigned long CCommandLineTool::OpenVehicleForWriting(CDataLayer& layer, const QString& path,
                                                      const Options& options) {
    if (!SoundForWriting(path) || !Connect(layer, path))
        return 0;
    return FindVehicle(layer, options.Value(kVehicle));
}

unsigned long CCommandLineTool::FindVehicle(CDataLayer& layer, const QString& name) {
    CObjectListT<CVehicle> vehicles;
    layer.Load(vehicles);
    if (const CVehicle* vehicle = FindVehicleByName(vehicles, name))
        return vehicle->GetRefID();
    // A RefID, as "vehicles" lists them, names a vehicle too.
    bool number = false;
    const unsigned long refID = name.toULong(&number);
    for (int i = 0; number && i < vehicles.GetCount(); ++i) {
        if (vehicles.Get(i)->GetRefID() == refID)
            return refID;
    }
    Complain(FormatStringResource(IDS_CLI_NO_VEHICLE, {name}));
    return 0;
}

unsigned long CCommandLineTool::ChooseVehicle(CDataLayer& layer, const Options& options) {
    if (options.Has(kVehicle))
        return FindVehicle(layer, options.Value(kVehicle));
    CObjectListT<CVehicle> vehicles;
    if (!layer.Load(vehicles)) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {options.positional[0]}));
        return 0;
    }
    if (vehicles.GetCount() == 1)
        return vehicles.Get(0)->GetRefID();
    if (vehicles.GetCount() == 0)
        Complain(LoadStringResource(IDS_CLI_NO_VEHICLES));
    else
        Complain(FormatStringResource(IDS_CLI_WHICH_VEHICLE, {QString::number(vehicles.GetCount())}));
    return 0;
}

int CCommandLineTool::ComputeFigures(const Options& options, int kind, CFiguresOverTime& figures) {
    CEntryFilter filter;
    if (!ApplyFilter(options, filter, false))
        return ExitUsage;
    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    const unsigned long vehicle = ChooseVehicle(layer, options);
    if (vehicle == 0)
        return ExitRefused;
    filter.SetVehicleID(vehicle);
    CRecordServices records(layer);
    if (!figures.Compute(records, filter, static_cast<CFiguresOverTime::PeriodKind>(kind))) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {options.positional[0]}));
        return ExitRefused;
    }
    return ExitOK;
}

bool CCommandLineTool::ApplyFilter(const Options& options, CEntryFilter& filter, bool allowType) {
    if (allowType && options.Has(kType)) {
        const CEntry::Type type = EntryTypeFromName(options.Value(kType));
        if (type == CEntry::EntryNone) {
            Complain(FormatStringResource(IDS_CLI_BAD_OPTION,
                                          {kType, QStringLiteral("fuel, repair, trip or expense")}));
            return false;
        }
        filter.SetEntryType(type);
    }
    if (!options.Has(kFrom) && !options.Has(kTo))
        return true;
    QDate from(kFirstStoredYear, 1, 1);
    QDate to(kLastStoredYear, 12, 31);
    for (const auto& [option, day] : {std::pair{kFrom, &from}, std::pair{kTo, &to}}) {
        if (!options.Has(option))
            continue;
        const std::optional<QDate> parsed = ParseIsoDay(options.Value(option));
        if (!parsed) {
            Complain(
                FormatStringResource(IDS_CLI_BAD_DATE, {option, options.Value(option),
                                                        FirstStoredMoment().date().toString(Qt::ISODate),
                                                        LastStoredMoment().date().toString(Qt::ISODate)}));
            return false;
        }
        *day = *parsed;
    }
    filter.SetDateRangeType(CEntryFilter::DateRangeCustom);
    // The first and last days in full, but never past what the data file can store.
    filter.SetStartDate(LocalToSystemTime(std::max(from.startOfDay(), FirstStoredMoment())), 0);
    filter.SetEndDate(LocalToSystemTime(std::min(EndOfLocalDay(to), LastStoredMoment())), 0);
    return true;
}

int CCommandLineTool::Vehicles(const Options& options) {
    const QString& path = options.positional[0];
    CDataLayer layer;
    if (!Connect(layer, path))
        return ExitRefused;
    CObjectListT<CVehicle> vehicles;
    if (!layer.Load(vehicles)) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {path}));
        return ExitRefused;
    }
    vehicles.SortByName();
    QString text;
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        const CVehicle* vehicle = vehicles.Get(i);
        // A tab or line end in a name would break the columns.
        QString name = QString::fromUtf16(vehicle->GetName());
        name.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(vehicle->GetRefID())
                    .arg(name)
                    .arg(vehicle->GetYear())
                    .arg(vehicle->GetCurrentOdometer());
    }
    Print(text);
    return ExitOK;
}

int CCommandLineTool::Export(const Options& options) {
    CEntryFilter filter;
    if (!ApplyFilter(options, filter, true))
        return ExitUsage;
    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    if (options.Has(kVehicle)) {
        const unsigned long vehicle = FindVehicle(layer, options.Value(kVehicle));
        if (vehicle == 0)
            return ExitRefused;
        filter.SetVehicleID(vehicle);
    }
    CEntryExporter exporter(layer);
    exporter.spreadsheetSafe = options.Flag(kSpreadsheetSafe);
    if (options.Has(kOutput)) {
        const QString path = options.Value(kOutput);
        if (!exporter.WriteFile(filter, path)) {
            Complain(FormatStringResource(IDS_EXPORT_FAILED, {path, exporter.Problem()}));
            return ExitRefused;
        }
        Print(FormatStringResource(IDS_EXPORT_DONE, {QString::number(exporter.Count()), path}) + u'\n');
    } else if (!exporter.Write(filter, m_Out)) {
        Complain(FormatStringResource(IDS_EXPORT_FAILED, {QStringLiteral("-"), exporter.Problem()}));
        return ExitRefused;
    }
    if (exporter.BadDates() > 0)
        Complain(FormatStringResource(IDS_EXPORT_BAD_DATES, {QString::number(exporter.BadDates())}));
    return ExitOK;
}

int CCommandLineTool::Import(const Options& options) {
    std::optional<CImportMapping::DateFormat> dateFormat;
    if (options.Has(kDateFormat)) {
        dateFormat = CImportMapping::DateFormatFromName(options.Value(kDateFormat));
        if (!dateFormat)
            return Usage(IDS_CLI_HELP_IMPORT,
                         FormatStringResource(IDS_CLI_BAD_DATE_FORMAT, {options.Value(kDateFormat)}));
    }
    FileDistance fileDistance = FileDistance::Unstated;
    FileVolume fileVolume = FileVolume::Unstated;
    if (options.Has(kFileUnits) && !ParseFileUnits(options.Value(kFileUnits), fileDistance, fileVolume))
        return Usage(IDS_CLI_HELP_IMPORT,
                     FormatStringResource(IDS_CLI_BAD_FILE_UNITS, {options.Value(kFileUnits)}));
    CEntry::Type serviceType = CEntry::EntryRepair;
    if (options.Has(kAs)) {
        const QString as = options.Value(kAs).toLower();
        if (as == u"expense")
            serviceType = CEntry::EntryExpense;
        else if (as != u"repair")
            return Usage(IDS_CLI_HELP_IMPORT,
                         FormatStringResource(IDS_CLI_BAD_OPTION, {kAs, options.Value(kAs)}));
    }
    // COLUMN=FIELD, or COLUMN=FLAG:VALUE[,VALUE] for the codes that set a flag; a column's name
    // may hold '=' itself, a field never does.
    struct Map {
        QString column;
        CImportMapping::Field field;
        QStringList values;
    };
    std::vector<Map> maps;
    for (const QString& map : options.Values(kMap)) {
        using F = CImportMapping;
        const qsizetype equals = map.lastIndexOf(u'=');
        const QString given = equals > 0 ? map.mid(equals + 1) : QString();
        const qsizetype colon = given.indexOf(u':');
        const auto field = F::FieldFromKey(colon < 0 ? given : given.left(colon));
        const QStringList values =
            colon < 0 ? QStringList() : given.mid(colon + 1).split(u',', Qt::SkipEmptyParts);
        const bool flag =
            field && (*field == F::FieldPartial || *field == F::FieldFull || *field == F::FieldMissed);
        if (equals <= 0 || !field || (colon >= 0 && (!flag || values.isEmpty())))
            return Usage(IDS_CLI_HELP_IMPORT, FormatStringResource(IDS_CLI_BAD_MAP, {map}));
        maps.push_back({map.left(equals), *field, values});
    }

    const bool dryRun = options.Flag(kDryRun);
    if (!dryRun && !SoundForWriting(options.positional[0]))
        return ExitRefused;
    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    CEntryImporter importer(layer);
    if (!importer.Open(options.positional[1])) {
        Complain(ImportText(importer.OpenFailure()));
        return ExitRefused;
    }
    for (const Map& map : maps) {
        // A table further down may still have it, when opening did not read the whole file.
        if (importer.MapColumn(map.column, map.field, map.values) == 0 && importer.ReadWhole()) {
            Complain(FormatStringResource(IDS_CLI_NO_COLUMN, {map.column}));
            return ExitRefused;
        }
    }
    if (const CImportProblem problem = importer.TableProblem(); problem.IsProblem()) {
        Complain(ImportText(problem));
        if (problem.code == CImportProblem::NoDateColumn || problem.code == CImportProblem::NoOdometerColumn)
            Complain(LoadStringResource(IDS_CLI_MAP_HINT));
        return ExitRefused;
    }
    importer.serviceType = serviceType;
    importer.serviceTypeForced = options.Has(kAs);
    importer.fileDistance = fileDistance;
    importer.fileVolume = fileVolume;
    if (dateFormat) {
        importer.dateFormat = *dateFormat;
    } else if (importer.Detected().dateAmbiguous) {
        Complain(LoadStringResource(IDS_CLI_DATES_AMBIGUOUS));
        return ExitRefused;
    }
    // A log without a fuel sign is taken as repairs only when its rows say what was done.
    if (!options.Has(kAs)) {
        for (const CEntryImporter::Table& table : importer.Tables()) {
            const CImportMapping& mapping = table.mapping;
            if (mapping.Usable() && mapping.GetKind() == CImportMapping::KindServiceLog &&
                !mapping.ServiceTypeFixed() && mapping.Column(CImportMapping::FieldDescription) < 0) {
                Complain(
                    FormatStringResource(IDS_CLI_NEED_AS, {mapping.Header().join(QStringLiteral(", "))}));
                return ExitRefused;
            }
        }
    }
    if (options.Has(kVehicle)) {
        importer.targetVehicleName = options.Value(kVehicle);
        importer.overrideFileVehicles = true;
    } else if (!importer.NamesVehicles()) {
        Complain(LoadStringResource(IDS_CLI_NEED_VEHICLE));
        return ExitRefused;
    }
    importer.skipBadRows = options.Flag(kSkipBadRows);
    return ImportOutcome(importer, importer.Import(ImportProgress(), dryRun));
}

CEntryImporter::Progress CCommandLineTool::ImportProgress() {
    if (!m_Progress)
        return nullptr;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto next = std::make_shared<qint64>(1000);
    return [this, clock, next](qint64 done, qint64 total) {
        if (clock->elapsed() >= *next && total > 0) {
            *next = clock->elapsed() + 1000;
            constexpr double kMegabyte = 1 << 20;
            m_Err.write(
                (FormatStringResource(IDS_CLI_PROGRESS,
                                      {QString::number(done * 100 / total),
                                       QString::number(static_cast<double>(done) / kMegabyte, 'f', 0),
                                       QString::number(static_cast<double>(total) / kMegabyte, 'f', 0)}) +
                 u'\n')
                    .toUtf8());
        }
        return true;
    };
}

int CCommandLineTool::ImportOutcome(const CEntryImporter& importer, CEntryImporter::Result result) {
    switch (result) {
    case CEntryImporter::ResultOK:
        // The rows left out at the user's word.
        for (const QString& line : ImportErrorLines(importer, ImportReader::Console))
            Complain(line);
        Print(ImportSummaryText(importer) + u'\n');
        // A table whose rows were not read is data a script must not take as imported; a section
        // that has no place in the data file (tyres, categories) is left out by design.
        for (const CEntryImporter::Table& table : importer.Tables()) {
            if (!table.mapping.SkippedByMarker() && (table.otherDelimiter || !table.mapping.Usable())) {
                Complain(LoadStringResource(IDS_CLI_TABLE_UNREAD));
                return ExitIncomplete;
            }
        }
        return ExitOK;
    case CEntryImporter::ResultRefused:
        Complain(ImportErrorsHeading(importer));
        for (const QString& line : ImportErrorLines(importer, ImportReader::Console))
            Complain(line);
        return ExitRefused;
    case CEntryImporter::ResultBusy:
        Complain(LoadStringResource(IDS_IMPORT_BUSY));
        return ExitRefused;
    default:
        Complain(LoadStringResource(IDS_IMPORT_FAILED));
        return ExitRefused;
    }
}

int CCommandLineTool::Backup(const Options& options) {
    CDataFileBackup backup;
    backup.replace = options.Flag(kForce);
    backup.busyTimeoutMs = busyTimeoutMs;
    if (backup.Backup(options.positional[0], options.positional[1]) != CDataFileBackup::ResultOK) {
        Complain(backup.Problem());
        return ExitRefused;
    }
    Print(FormatStringResource(IDS_BACKUP_DONE, {backup.Destination()}) + u'\n');
    return ExitOK;
}

int CCommandLineTool::Check(const Options& options) {
    const QString& path = options.positional[0];
    if (options.Flag(kForce) && !options.Has(kRepair))
        return Usage(
            IDS_CLI_HELP_CHECK,
            FormatStringResource(IDS_CLI_BAD_OPTION, {kForce, QStringLiteral("only with --repair")}));
    CDataFileCheck check;
    check.busyTimeoutMs = busyTimeoutMs;
    const CDataLayer::ConnectStatus status = check.Run(path.toStdU16String().c_str());
    if (status != CDataLayer::ConnectOK) {
        Complain(ConnectStatusMessage(status, path));
        return ExitRefused;
    }
    QString text;
    if (check.SawUndoneWrite())
        text += LoadStringResource(IDS_CHECK_UNDONE_WRITE) + u'\n';
    for (const QString& line : CheckFindingLines(check))
        text += line + u'\n';
    text += (check.IsSound()
                 ? LoadStringResource(IDS_CHECK_SOUND)
                 : FormatStringResource(IDS_CHECK_DAMAGED, {QString::number(check.Findings().size())})) +
            u'\n';
    Print(text);
    if (!options.Has(kRepair)) {
        if (check.NeedsRepair())
            Complain(LoadStringResource(IDS_CHECK_REPAIR_HINT));
        return check.IsSound() ? ExitOK : ExitRefused;
    }

    CRepairedCopy repair;
    repair.replace = options.Flag(kForce);
    repair.busyTimeoutMs = busyTimeoutMs;
    const CRepairedCopy::Result result = repair.Write(path, options.Value(kRepair));
    text.clear();
    for (const QString& line : repair.Summary())
        text += line + u'\n';
    Print(text);
    if (result != CRepairedCopy::ResultOK) {
        Complain(repair.Problem());
        return ExitRefused;
    }
    Print(FormatStringResource(IDS_REPAIR_DONE, {repair.Destination()}) + u'\n');
    return ExitOK;
}

int CCommandLineTool::Stats(const Options& options) {
    CEntryFilter filter;
    if (!ApplyFilter(options, filter, false))
        return ExitUsage;
    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    const unsigned long vehicle = FindVehicle(layer, options.Value(kVehicle));
    if (vehicle == 0)
        return ExitRefused;
    filter.SetVehicleID(vehicle);
    CQuickStats stats;
    if (!stats.ComputeQuickStats(layer, &filter)) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {options.positional[0]}));
        return ExitRefused;
    }
    QString text;
    for (int figure = 0; figure < CQuickStats::FigureCount; ++figure) {
        QString label = CQuickStats::FigureLabel(figure);
        if (label.endsWith(u':'))
            label.chop(1);
        text += label + u'\t' + stats.FigureText(figure) + u'\n';
    }
    Print(text);
    return ExitOK;
}

int CCommandLineTool::Report(const Options& options) {
    auto kind = CFiguresOverTime::PeriodKind::Month;
    if (options.Has(kBy)) {
        const QString by = options.Value(kBy).toLower();
        if (by == u"year")
            kind = CFiguresOverTime::PeriodKind::Year;
        else if (by != u"month")
            return Usage(IDS_CLI_HELP_REPORT,
                         FormatStringResource(IDS_CLI_BAD_OPTION, {kBy, QStringLiteral("month or year")}));
    }
    CFiguresOverTime figures;
    if (const int status = ComputeFigures(options, static_cast<int>(kind), figures); status != ExitOK)
        return status;
    const QString period =
        kind == CFiguresOverTime::PeriodKind::Month ? QStringLiteral("yyyy-MM") : QStringLiteral("yyyy");
    QString text = QStringLiteral("Period,Entries,Distance,FuelVolume,FuelCost,RepairCost,TripCost,"
                                  "ExpenseCost,TotalCost,CostPer100\r\n");
    for (const CFiguresOverTime::Period& row : figures.Periods()) {
        text += QStringList{row.First.toString(period),    QString::number(row.Entries),
                            QString::number(row.Distance), Fixed(row.FuelVolume, 3),
                            Fixed(row.FuelCost, 2),        Fixed(row.RepairCost, 2),
                            Fixed(row.TripCost, 2),        Fixed(row.ExpenseCost, 2),
                            Fixed(row.TotalCost, 2),       Optional(row.CostPer100, 2)}
                    .join(u',');
        text += QStringLiteral("\r\n");
    }
    Print(text);
    return ExitOK;
}

int CCommandLineTool::FillUps(const Options& options) {
    CFiguresOverTime figures;
    if (const int status =
            ComputeFigures(options, static_cast<int>(CFiguresOverTime::PeriodKind::Month), figures);
        status != ExitOK)
        return status;
    QString text = QStringLiteral("Date,Odometer,Distance,Volume,UnitPrice,Total,Economy,Partial,Missed\r\n");
    const QString yes = QStringLiteral("yes");
    for (const CFiguresOverTime::FillUp& row : figures.FillUps()) {
        // Prices are quoted to a tenth of a cent.
        text += QStringList{row.Day.toString(Qt::ISODate),
                            QString::number(row.Odometer),
                            row.Distance ? QString::number(*row.Distance) : QString(),
                            Fixed(row.Volume, 3),
                            Fixed(row.UnitPrice, 3),
                            Fixed(row.Total, 2),
                            Optional(row.Economy, 2),
                            row.Partial ? yes : QString(),
                            row.Missed ? yes : QString()}
                    .join(u',');
        text += QStringLiteral("\r\n");
    }
    Print(text);
    return ExitOK;
}

int CCommandLineTool::Reminders(const Options& options) {
    const QString& path = options.positional[0];
    CDataLayer layer;
    if (!Connect(layer, path))
        return ExitRefused;
    CObjectListT<CVehicle> vehicles;
    std::vector<std::pair<ULONG, CDataLayer::ReminderInterval>> intervalList;
    if (!layer.Load(vehicles) || !layer.LoadReminderIntervals(intervalList)) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {path}));
        return ExitRefused;
    }
    const std::map<ULONG, CDataLayer::ReminderInterval> intervals(intervalList.begin(), intervalList.end());
    unsigned long only = 0;
    if (options.Has(kVehicle) && (only = FindVehicle(layer, options.Value(kVehicle))) == 0)
        return ExitRefused;
    vehicles.SortByName();
    const bool dueOnly = options.Flag(kDue);
    const double now = NowAsOleDate();
    bool anyDue = false;
    QString text =
        QStringLiteral("Vehicle,Name,DueDate,DueOdometer,EveryMonths,EveryDistance,PredictedDate,Due\r\n");
    for (int i = 0; i < vehicles.GetCount(); ++i) {
        CVehicle* vehicle = vehicles.Get(i);
        if (only != 0 && vehicle->GetRefID() != only)
            continue;
        CObjectListT<CNotification> reminders;
        CEntryFilter filter;
        filter.SetVehicleID(vehicle->GetRefID());
        std::vector<CDataLayer::FigureRow> rows;
        LONG highest = 0;
        if (!layer.Load(reminders, vehicle->GetRefID()) || !layer.LoadFigureRows(rows, filter) ||
            !layer.GetMaxOdometer(vehicle->GetRefID(), &highest)) {
            Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {path}));
            return ExitRefused;
        }
        if (reminders.GetCount() == 0)
            continue;
        // The odometer the program checks against: the highest of the log, or the vehicle's own
        // while the log has no reading.
        const LONG odometer = highest > 0 ? highest : vehicle->GetCurrentOdometer();
        CLocalDays days;
        std::vector<OdometerReading> readings;
        readings.reserve(rows.size());
        for (const CDataLayer::FigureRow& row : rows)
            readings.emplace_back(days.Day(row.Date), row.Odometer);
        const QString name = CsvText(QString::fromUtf16(vehicle->GetName()));
        for (int r = 0; r < reminders.GetCount(); ++r) {
            const CNotification& reminder = *reminders.Get(r);
            const bool due = IsReminderDue(reminder, odometer, now);
            anyDue = anyDue || due;
            if (dueOnly && !due)
                continue;
            const auto found = intervals.find(reminder.GetRefID());
            const CDataLayer::ReminderInterval every =
                found != intervals.end() ? found->second : CDataLayer::ReminderInterval();
            const std::optional<LONG> dueOdometer = ReminderDueOdometer(reminder);
            // Driven on since the last reading, by the estimate: a day already past is today.
            std::optional<QDate> predicted =
                dueOdometer ? PredictDueDay(readings, *dueOdometer) : std::nullopt;
            if (predicted && *predicted < LocalDayToday())
                predicted = LocalDayToday();
            text += QStringList{name,
                                CsvText(QString::fromUtf16(reminder.GetName())),
                                IsoDay(ReminderDueDay(reminder)),
                                dueOdometer ? QString::number(*dueOdometer) : QString(),
                                every.EveryMonths > 0 ? QString::number(every.EveryMonths) : QString(),
                                every.EveryDistance > 0 ? QString::number(every.EveryDistance) : QString(),
                                IsoDay(predicted),
                                due ? QStringLiteral("yes") : QStringLiteral("no")}
                        .join(u',');
            text += QStringLiteral("\r\n");
        }
    }
    Print(text);
    return dueOnly && anyDue ? ExitRemindersDue : ExitOK;
}

std::optional<LONG> CCommandLineTool::Whole(const Options& options, const QString& option, LONG least,
                                            LONG most, LONG fallback) {
    if (!options.Has(option))
        return fallback;
    bool number = false;
    const qlonglong value = options.Value(option).trimmed().toLongLong(&number);
    if (number && value >= least && value <= most)
        return static_cast<LONG>(value);
    Complain(FormatStringResource(
        IDS_CLI_BAD_WHOLE, {option, options.Value(option), QString::number(least), QString::number(most)}));
    return std::nullopt;
}

std::optional<QDate> CCommandLineTool::Day(const Options& options, const QString& option,
                                           const QDate& fallback) {
    if (!options.Has(option))
        return fallback;
    if (const std::optional<QDate> day = ParseIsoDay(options.Value(option)))
        return day;
    Complain(FormatStringResource(IDS_CLI_BAD_DATE, {option, options.Value(option),
                                                     FirstStoredMoment().date().toString(Qt::ISODate),
                                                     LastStoredMoment().date().toString(Qt::ISODate)}));
    return std::nullopt;
}

int CCommandLineTool::AddReminder(const Options& options) {
    const QString& path = options.positional[0];
    const QString name = options.Value(kName).trimmed();
    const std::optional<LONG> odometer = Whole(options, kOdometer, 1, kMostOdometer, 0);
    const std::optional<QDate> day = Day(options, kDate, QDate());
    const std::optional<LONG> distance = Whole(options, kEveryDistance, 0, CDataLayer::MaxEveryDistance, 0);
    const std::optional<LONG> months = Whole(options, kEveryMonths, 0, CDataLayer::MaxEveryMonths, 0);
    if (!odometer || !day || !distance || !months)
        return Usage(IDS_CLI_HELP_REMINDERS_ADD, QString());
    if (name.isEmpty())
        return Usage(IDS_CLI_HELP_REMINDERS_ADD,
                     FormatStringResource(IDS_CLI_BAD_OPTION, {kName, QString()}));
    if (*odometer == 0 && !day->isValid() && *distance == 0 && *months == 0) {
        Complain(LoadStringResource(IDS_CLI_REMINDER_NEVER_DUE));
        return ExitRefused;
    }
    CDataLayer layer;
    const unsigned long vehicle = OpenVehicleForWriting(layer, path, options);
    if (vehicle == 0)
        return ExitRefused;
    CVehicle record;
    LONG highest = 0;
    record.SetRefID(vehicle);
    if (!layer.LoadByRefID(&record) || !layer.GetMaxOdometer(vehicle, &highest)) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {path}));
        return ExitRefused;
    }
    // What is not given comes from the interval, counted from today and the current odometer;
    // what neither gives never makes the reminder due.
    const LONG current = highest > 0 ? highest : record.GetCurrentOdometer();
    CNotification reminder;
    reminder.SetVehicleID(vehicle);
    reminder.SetName(name.toStdU16String().c_str());
    LONG dueOdometer = *odometer;
    if (dueOdometer == 0)
        dueOdometer = *distance > 0 ? std::min<LONG>(current + *distance, kMostOdometer) : kNeverDueOdometer;
    QDate dueDay = *day;
    if (!dueDay.isValid())
        dueDay = *months > 0 ? LocalDayToday().addMonths(*months) : NeverDueDay();
    reminder.SetOdometer(dueOdometer);
    reminder.SetDate(LocalToOleDate(dueDay.startOfDay()));
    // The reminder and its interval are stored together or not at all.
    if (!layer.BeginTransaction() || !layer.Save(&reminder, 0) ||
        !layer.SetReminderInterval(&reminder, {*distance, *months}) ||
        layer.Commit() != CDataLayer::CommitOK) {
        layer.RollBack();
        Complain(FormatStringResource(IDS_CLI_REMINDER_NOT_STORED, {path}));
        return ExitRefused;
    }
    return ExitOK;
}

int CCommandLineTool::ReminderDone(const Options& options) {
    const QString& path = options.positional[0];
    const QString name = options.Value(kName).trimmed();
    const std::optional<QDate> day = Day(options, kDate, LocalDayToday());
    const std::optional<LONG> odometer = Whole(options, kOdometer, 1, kMostOdometer, 0);
    const std::optional<LONG> dueOdometer = Whole(options, kDueOdometer, 1, kNeverDueOdometer, 0);
    const std::optional<QDate> dueDay = Day(options, kDueDate, QDate());
    if (!day || !odometer || !dueOdometer || !dueDay)
        return Usage(IDS_CLI_HELP_REMINDERS_DONE, QString());
    std::optional<double> amount;
    if (options.Has(kStoreRepair)) {
        bool number = false;
        const double value = options.Value(kStoreRepair).trimmed().toDouble(&number);
        if (!number || !std::isfinite(value) || value < 0.0 || value > 1.0e9)
            return Usage(
                IDS_CLI_HELP_REMINDERS_DONE,
                FormatStringResource(IDS_CLI_BAD_OPTION, {kStoreRepair, options.Value(kStoreRepair)}));
        amount = value;
    }
    CDataLayer layer;
    const unsigned long vehicle = OpenVehicleForWriting(layer, path, options);
    if (vehicle == 0)
        return ExitRefused;
    CVehicle record;
    record.SetRefID(vehicle);
    CObjectListT<CNotification> reminders;
    CEntryFilter filter;
    filter.SetVehicleID(vehicle);
    std::vector<CDataLayer::FigureRow> rows;
    if (!layer.LoadByRefID(&record) || !layer.Load(reminders, vehicle) ||
        !layer.LoadFigureRows(rows, filter)) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {path}));
        return ExitRefused;
    }
    const QString vehicleName = QString::fromUtf16(record.GetName());

    // The reminder by its name, case aside, told apart from a namesake by its due reading or day.
    std::vector<CNotification*> named;
    for (int i = 0; i < reminders.GetCount(); ++i) {
        CNotification* reminder = reminders.Get(i);
        if (QString::fromUtf16(reminder->GetName()).trimmed().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (*dueOdometer != 0 && reminder->GetOdometer() != *dueOdometer)
            continue;
        if (dueDay->isValid() && ReminderDueDay(*reminder) != *dueDay)
            continue;
        named.push_back(reminder);
    }
    if (named.empty()) {
        Complain(FormatStringResource(IDS_CLI_NO_REMINDER, {vehicleName, name}));
        return ExitRefused;
    }
    if (named.size() > 1) {
        QStringList which;
        for (const CNotification* reminder : named) {
            const std::optional<LONG> at = ReminderDueOdometer(*reminder);
            which << QStringLiteral("%1, %2").arg(at ? QString::number(*at) : QStringLiteral("-"),
                                                  IsoDay(ReminderDueDay(*reminder)));
        }
        Complain(FormatStringResource(IDS_CLI_REMINDER_TWO, {QString::number(named.size()), vehicleName, name,
                                                             which.join(QStringLiteral("; "))}));
        return ExitRefused;
    }
    CNotification& reminder = *named.front();

    // The reading of the work: given, else the current odometer; never below one logged on or
    // before its day.
    CLocalDays days;
    LONG before = 0;
    LONG highest = 0;
    for (const CDataLayer::FigureRow& row : rows) {
        highest = std::max(highest, row.Odometer);
        if (const QDate rowDay = days.Day(row.Date); rowDay.isValid() && rowDay <= *day)
            before = std::max(before, row.Odometer);
    }
    const LONG reading = *odometer != 0 ? *odometer : highest > 0 ? highest : record.GetCurrentOdometer();
    if (reading < before) {
        Complain(
            FormatStringResource(IDS_CLI_DONE_READING_LOW, {QString::number(reading), QString::number(before),
                                                            day->toString(Qt::ISODate)}));
        return ExitRefused;
    }

    if (CompleteReminder(layer, reminder, *day, reading, amount) == ReminderDoneResult::Failed) {
        Complain(FormatStringResource(IDS_CLI_REMINDER_NOT_STORED, {path}));
        return ExitRefused;
    }
    return ExitOK;
}

int CCommandLineTool::Version(const Options&) {
    Print(QStringLiteral("carvelle-cli " CARVELLE_VERSION_TEXT "\n"));
    return ExitOK;
}
