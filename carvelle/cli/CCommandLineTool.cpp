#include "cli/CCommandLineTool.h"

#include "exchange/CDataFileBackup.h"
#include "exchange/CEntryExporter.h"
#include "exchange/CEntryImporter.h"

#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CQuickStats.h"
#include "core/CStringTable.h"
#include "core/ConnectStatusMessage.h"
#include "core/EntryTypeNames.h"
#include "core/LocalDates.h"
#include "core/ParseIsoDay.h"
#include "core/VehicleLookup.h"
#include "datastore/CDataLayer.h"
#include "records/CEntryFilter.h"
#include "records/CObjectListT.h"

#include <QDate>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>

namespace {

const QString kVehicle = QStringLiteral("--vehicle");
const QString kType = QStringLiteral("--type");
const QString kFrom = QStringLiteral("--from");
const QString kTo = QStringLiteral("--to");
const QString kOutput = QStringLiteral("-o");
const QString kAs = QStringLiteral("--as");
const QString kDateFormat = QStringLiteral("--date-format");

} // namespace

CCommandLineTool::CCommandLineTool(QIODevice& out, QIODevice& err) : m_Out(out), m_Err(err) {}

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

bool CCommandLineTool::Parse(const QStringList& arguments, const QStringList& valued,
                             const QStringList& flags, Options& options) {
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
        if (valued.contains(argument)) {
            if (!haveValue) {
                if (i + 1 >= arguments.size()) {
                    Complain(FormatStringResource(IDS_CLI_BAD_OPTION,
                                                  {argument, QStringLiteral("a value is missing")}));
                    return false;
                }
                value = arguments[++i];
            }
            options.values[argument] = value;
        } else if (flags.contains(argument) && !haveValue) {
            if (argument == u"--dry-run")
                options.dryRun = true;
            else if (argument == u"--skip-bad-rows")
                options.skipBadRows = true;
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
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        Print(LoadStringResource(IDS_CLI_USAGE));
        return ExitOK;
    }
    if (command == u"--version") {
        Print(QStringLiteral("carvelle-cli " CARVELLE_VERSION_TEXT "\n"));
        return ExitOK;
    }
    // Units and the locale's figures as the user chose them in Options; never written back.
    TheSettings().LoadSettings();
    TheSettings().DiscardOnExit();
    if (command == u"vehicles")
        return Vehicles(rest);
    if (command == u"export")
        return Export(rest);
    if (command == u"import")
        return Import(rest);
    if (command == u"backup")
        return Backup(rest);
    if (command == u"stats")
        return Stats(rest);
    return Usage(IDS_CLI_USAGE,
                 FormatStringResource(IDS_CLI_BAD_OPTION, {command, QStringLiteral("unknown command")}));
}

bool CCommandLineTool::Connect(CDataLayer& layer, const QString& path) {
    if (!QFileInfo(path).isFile()) {
        Complain(FormatStringResource(IDS_IMPORT_NOT_READ, {path}));
        return false;
    }
    const QString problem = ConnectStatusMessage(layer.Connect(path.toStdU16String().c_str()), path);
    if (problem.isEmpty())
        return true;
    Complain(problem);
    return false;
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

bool CCommandLineTool::ApplyFilter(const Options& options, CEntryFilter& filter, bool allowType) {
    if (allowType && options.values.count(kType)) {
        const CEntry::Type type = EntryTypeFromName(options.values.at(kType));
        if (type == CEntry::EntryNone) {
            Complain(FormatStringResource(IDS_CLI_BAD_OPTION,
                                          {kType, QStringLiteral("fuel, repair, trip or expense")}));
            return false;
        }
        filter.SetEntryType(type);
    }
    if (!options.values.count(kFrom) && !options.values.count(kTo))
        return true;
    QDate from(kFirstStoredYear, 1, 1);
    QDate to(kLastStoredYear, 12, 31);
    for (const auto& [option, day] : {std::pair{kFrom, &from}, std::pair{kTo, &to}}) {
        if (!options.values.count(option))
            continue;
        const std::optional<QDate> parsed = ParseIsoDay(options.values.at(option));
        if (!parsed) {
            Complain(
                FormatStringResource(IDS_CLI_BAD_DATE, {option, options.values.at(option),
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

int CCommandLineTool::Vehicles(const QStringList& arguments) {
    Options options;
    if (!Parse(arguments, {}, {}, options))
        return Usage(IDS_CLI_HELP_VEHICLES, QString());
    if (options.help) {
        Print(LoadStringResource(IDS_CLI_HELP_VEHICLES));
        return ExitOK;
    }
    if (options.positional.size() != 1)
        return Usage(IDS_CLI_HELP_VEHICLES, QString());
    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    CObjectListT<CVehicle> vehicles;
    if (!layer.Load(vehicles)) {
        Complain(FormatStringResource(IDS_ENTRIES_NOT_READ, {options.positional[0]}));
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

int CCommandLineTool::Export(const QStringList& arguments) {
    Options options;
    if (!Parse(arguments, {kVehicle, kType, kFrom, kTo, kOutput}, {}, options))
        return Usage(IDS_CLI_HELP_EXPORT, QString());
    if (options.help) {
        Print(LoadStringResource(IDS_CLI_HELP_EXPORT));
        return ExitOK;
    }
    if (options.positional.size() != 1)
        return Usage(IDS_CLI_HELP_EXPORT, QString());
    CEntryFilter filter;
    if (!ApplyFilter(options, filter, true))
        return ExitUsage;
    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    if (options.values.count(kVehicle)) {
        const unsigned long vehicle = FindVehicle(layer, options.values.at(kVehicle));
        if (vehicle == 0)
            return ExitRefused;
        filter.SetVehicleID(vehicle);
    }
    CEntryExporter exporter(layer);
    if (options.values.count(kOutput)) {
        const QString path = options.values.at(kOutput);
        if (!exporter.WriteFile(filter, path)) {
            Complain(FormatStringResource(IDS_EXPORT_FAILED, {path, exporter.Problem()}));
            return ExitRefused;
        }
        Print(FormatStringResource(IDS_EXPORT_DONE, {QString::number(exporter.Count()), path}) + u'\n');
        return ExitOK;
    }
    if (!exporter.Write(filter, m_Out)) {
        Complain(FormatStringResource(IDS_EXPORT_FAILED, {QStringLiteral("-"), exporter.Problem()}));
        return ExitRefused;
    }
    return ExitOK;
}

int CCommandLineTool::Import(const QStringList& arguments) {
    Options options;
    if (!Parse(arguments, {kVehicle, kAs, kDateFormat},
               {QStringLiteral("--dry-run"), QStringLiteral("--skip-bad-rows")}, options))
        return Usage(IDS_CLI_HELP_IMPORT, QString());
    if (options.help) {
        Print(LoadStringResource(IDS_CLI_HELP_IMPORT));
        return ExitOK;
    }
    if (options.positional.size() != 2)
        return Usage(IDS_CLI_HELP_IMPORT, QString());
    std::optional<CImportMapping::DateFormat> dateFormat;
    if (options.values.count(kDateFormat)) {
        dateFormat = CImportMapping::DateFormatFromName(options.values.at(kDateFormat));
        if (!dateFormat)
            return Usage(
                IDS_CLI_HELP_IMPORT,
                FormatStringResource(IDS_CLI_BAD_OPTION, {kDateFormat, options.values.at(kDateFormat)}));
    }
    CEntry::Type serviceType = CEntry::EntryRepair;
    if (options.values.count(kAs)) {
        const QString as = options.values.at(kAs).toLower();
        if (as == u"expense")
            serviceType = CEntry::EntryExpense;
        else if (as != u"repair")
            return Usage(IDS_CLI_HELP_IMPORT,
                         FormatStringResource(IDS_CLI_BAD_OPTION, {kAs, options.values.at(kAs)}));
    }

    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    CEntryImporter importer(layer);
    if (!importer.Open(options.positional[1])) {
        Complain(importer.OpenProblem());
        return ExitRefused;
    }
    CImportMapping& mapping = importer.Mapping();
    mapping.serviceType = serviceType;
    if (dateFormat) {
        mapping.dateFormat = *dateFormat;
    } else if (importer.Detected().dateAmbiguous) {
        Complain(LoadStringResource(IDS_CLI_DATES_AMBIGUOUS));
        return ExitRefused;
    }
    if (options.values.count(kVehicle)) {
        importer.targetVehicleName = options.values.at(kVehicle);
        importer.overrideFileVehicles = true;
    } else if (mapping.Column(CImportMapping::FieldVehicle) < 0) {
        Complain(LoadStringResource(IDS_CLI_NEED_VEHICLE));
        return ExitRefused;
    }
    importer.skipBadRows = options.skipBadRows;
    const CEntryImporter::Result result = importer.Import(nullptr, options.dryRun);
    auto listErrors = [&]() {
        for (const CEntryImporter::Error& error : importer.Errors())
            Complain(error.Text());
        if (importer.ErrorCount() > static_cast<qint64>(importer.Errors().size()))
            Complain(FormatStringResource(
                IDS_IMPORT_MORE_ERRORS,
                {QString::number(importer.ErrorCount() - static_cast<qint64>(importer.Errors().size()))}));
    };
    switch (result) {
    case CEntryImporter::ResultOK:
        listErrors();
        Print(importer.SummaryText() + u'\n');
        return ExitOK;
    case CEntryImporter::ResultRefused:
        Complain(FormatStringResource(IDS_IMPORT_ERRORS, {QString::number(importer.ErrorCount()),
                                                          QString::number(importer.RowCount())}));
        listErrors();
        return ExitRefused;
    case CEntryImporter::ResultBusy:
        Complain(LoadStringResource(IDS_IMPORT_BUSY));
        return ExitRefused;
    default:
        Complain(LoadStringResource(IDS_IMPORT_FAILED));
        return ExitRefused;
    }
}

int CCommandLineTool::Backup(const QStringList& arguments) {
    Options options;
    if (!Parse(arguments, {}, {}, options))
        return Usage(IDS_CLI_HELP_BACKUP, QString());
    if (options.help) {
        Print(LoadStringResource(IDS_CLI_HELP_BACKUP));
        return ExitOK;
    }
    if (options.positional.size() != 2)
        return Usage(IDS_CLI_HELP_BACKUP, QString());
    CDataFileBackup backup;
    if (backup.Backup(options.positional[0], options.positional[1]) != CDataFileBackup::ResultOK) {
        Complain(backup.Problem());
        return ExitRefused;
    }
    Print(FormatStringResource(IDS_BACKUP_DONE, {backup.Destination()}) + u'\n');
    return ExitOK;
}

int CCommandLineTool::Stats(const QStringList& arguments) {
    Options options;
    if (!Parse(arguments, {kVehicle, kFrom, kTo}, {}, options))
        return Usage(IDS_CLI_HELP_STATS, QString());
    if (options.help) {
        Print(LoadStringResource(IDS_CLI_HELP_STATS));
        return ExitOK;
    }
    if (options.positional.size() != 1 || !options.values.count(kVehicle))
        return Usage(IDS_CLI_HELP_STATS, QString());
    CEntryFilter filter;
    if (!ApplyFilter(options, filter, false))
        return ExitUsage;
    CDataLayer layer;
    if (!Connect(layer, options.positional[0]))
        return ExitRefused;
    const unsigned long vehicle = FindVehicle(layer, options.values.at(kVehicle));
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
