// The console tool as a script drives it: in this process through its two output devices, and
// once as the built program, for the exit statuses a shell sees.

#include "carvelle/exchange/ExchangeTestSupport.h"
#include "carvelle/support/CTestEnvironment.h"

#include "cli/CCommandLineTool.h"
#include "core/AppData.h"
#include "core/LocalDates.h"
#include "records/CNotification.h"

#include "support/DamagedFiles.h"
#include "support/SqliteFile.h"
#include "support/TempDataFile.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>

#include <memory>
#include <tuple>

namespace {

// Long enough for a commit of the other, short for a test.
constexpr int kShortWaitMs = 300;

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

class CommandLineToolTest : public ExchangeTest {
protected:
    // The tool loads the settings of this test's own home; none of them is kept.
    ~CommandLineToolTest() override { ResetSettings(); }

    static CliRun Cli(const QStringList& arguments) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        CCommandLineTool tool(out, err);
        tool.busyTimeoutMs = kShortWaitMs;
        const int status = tool.Run(arguments);
        return {status, QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
    }

    QString Data() const { return QString::fromStdString(m_File.Path()); }

    CTestEnvironment m_Environment;
};

} // namespace

TEST_F(CommandLineToolTest, HelpAndUsageErrors) {
    for (const char* command :
         {"", "vehicles", "export", "import", "backup", "check", "stats", "report", "fillups"}) {
        SCOPED_TRACE(command);
        QStringList arguments{QStringLiteral("--help")};
        if (*command)
            arguments.prepend(QString::fromLatin1(command));
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.startsWith(QLatin1String("Usage: carvelle-cli"))) << run.out.toStdString();
    }
    const CliRun version = Cli({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(
        version.out.contains(QRegularExpression(QStringLiteral("^carvelle-cli \\d+\\.\\d+\\.\\d+\\n$"))))
        << version.out.toStdString();
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("frobnicate"), Data()}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("import"), Data()}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("export"), Data(), QStringLiteral("--colour")}).status, 2);
    EXPECT_EQ(
        Cli({QStringLiteral("export"), Data(), QStringLiteral("--type"), QStringLiteral("boat")}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("stats"), Data()}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("check"), Data(), QStringLiteral("--force")}).status, 2);
}

TEST_F(CommandLineToolTest, AFileThatCannotBeUsedIsNamedWithTheReason) {
    m_Layer.Disconnect();
    const QString missing = Folder() + QStringLiteral("/none.dat");
    const QString text = WriteSample(QStringLiteral("letter.dat"), "Dear Sir,\n");
    const QString locked = WriteSample(QStringLiteral("locked.dat"), "");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    const QString checked = QStringLiteral("check");
    for (const auto& [command, path, reason] :
         {std::tuple{QStringLiteral("vehicles"), missing, QStringLiteral(" does not exist.")},
          std::tuple{checked, missing, QStringLiteral(" does not exist.")},
          std::tuple{QStringLiteral("export"), text, QStringLiteral(" is not a Carvelle data file.")},
          std::tuple{checked, text, QStringLiteral(" is not a Carvelle data file.")},
          std::tuple{QStringLiteral("vehicles"), locked,
                     QStringLiteral(" is not readable: permission denied.")},
          std::tuple{QStringLiteral("backup"), locked,
                     QStringLiteral(" is not readable: permission denied.")}}) {
        QStringList arguments{command, path};
        if (command == u"backup")
            arguments << Folder();
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, QStringLiteral("carvelle-cli: ") + path + reason + u'\n');
    }
}

TEST_F(CommandLineToolTest, CheckSaysSoundOrListsTheFindingsAndRepairsIntoACopy) {
    CliRun run = Cli({QStringLiteral("check"), Data()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, QStringLiteral("The data file is sound.\n"));

    const ULONG car = AddVehicle(u"Car");
    CEntry entry;
    entry.SetRefID(++m_LastRefID);
    entry.SetVehicleID(car);
    ASSERT_EQ(m_Layer.Save(&entry, 0), 1);
    m_Layer.Disconnect();
    SqliteFile(m_File.Path()).Exec("UPDATE Entry SET Date=3e6");
    run = Cli({QStringLiteral("check"), Data()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              QStringLiteral("Entry: 1 rows have a Date that is not a date from the year 100 to 9999 "
                             "(the first: ID 1).\nProblems found: 1.\n"));
    // A copy would carry a finding in the data along: no repair is suggested for it.
    EXPECT_EQ(run.err, QString());

    // The repair writes the copy, replacing an older one only with --force.
    const QString copy = WriteSample(QStringLiteral("copy.dat"), "old");
    run = Cli({QStringLiteral("check"), Data(), QStringLiteral("--repair"), copy});
    EXPECT_EQ(run.status, 1);
    run = Cli({QStringLiteral("check"), Data(), QStringLiteral("--repair"), copy, QStringLiteral("--force")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("The repaired copy has been written to %1.\n").arg(copy)))
        << run.out.toStdString();
    CDataLayer repaired;
    EXPECT_EQ(repaired.Connect(copy.toStdU16String().c_str()), CDataLayer::ConnectOK);
}

TEST_F(CommandLineToolTest, ImportExportStatsAndBackupFromAScript) {
    m_Layer.Disconnect();
    const QString log = WriteSample(QStringLiteral("fuel.csv"), "Date,Odometer,Gallons,Total Cost,Station\n"
                                                                "2024-03-05,5000,10,30,Shell\n"
                                                                "2024-03-12,5300,10,31,BP\n");
    const QString bad = WriteSample(QStringLiteral("bad.csv"), "Date,Odometer,Gallons,Total Cost\n"
                                                               "2024-03-19,5600,10,32\n"
                                                               "2024-03-26,oops,10,33\n");
    const QString dry = QStringLiteral("--dry-run");
    const QString vehicle = QStringLiteral("--vehicle");

    CliRun run = Cli({QStringLiteral("import"), Data(), log, vehicle, QStringLiteral("Corolla"), dry});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QLatin1String("Imported: 2"))) << run.out.toStdString();
    run = Cli({QStringLiteral("import"), Data(), log});
    EXPECT_EQ(run.status, 1); // the file names no vehicle
    run = Cli({QStringLiteral("import"), Data(), bad, vehicle, QStringLiteral("Corolla")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("Line 3: Odometer \"oops\" is not a number")))
        << run.err.toStdString();
    run = Cli({QStringLiteral("vehicles"), Data()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, QString()); // nothing was written so far

    run = Cli({QStringLiteral("import"), Data(), log, vehicle, QStringLiteral("Corolla")});
    EXPECT_EQ(run.status, 0);
    run = Cli({QStringLiteral("import"), Data(), bad, vehicle, QStringLiteral("corolla"),
               QStringLiteral("--skip-bad-rows")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QLatin1String("Imported: 1\nSkipped as duplicates: 0\nRefused: 1")))
        << run.out.toStdString();

    run = Cli({QStringLiteral("vehicles"), Data()});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QRegularExpression(QStringLiteral("^\\d+\\tCorolla\\t\\d{4}\\t5600\\n$"))))
        << run.out.toStdString();

    run = Cli({QStringLiteral("export"), Data(), vehicle, QStringLiteral("Corolla"), QStringLiteral("--from"),
               QStringLiteral("2024-03-12"), QStringLiteral("--to"), QStringLiteral("2024-03-19")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              QStringLiteral("Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes,"
                             "Partial,Missed\r\n"
                             "Corolla,2024-03-12,Fuel,5300,10,3.1,31,BP,,,,\r\n"
                             "Corolla,2024-03-19,Fuel,5600,10,3.2,32,,,,,\r\n"));
    const QString out = Folder() + QStringLiteral("/out.csv");
    EXPECT_EQ(Cli({QStringLiteral("export"), Data(), QStringLiteral("-o"), out}).status, 0);
    EXPECT_TRUE(QFile::exists(out));

    run = Cli({QStringLiteral("stats"), Data(), vehicle, QStringLiteral("Corolla")});
    EXPECT_EQ(run.status, 0);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 10) << run.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Date range\tAll Dates"));
    EXPECT_TRUE(lines[4].startsWith(QLatin1String("Distance traveled\t600 "))) << lines[4].toStdString();
    EXPECT_EQ(Cli({QStringLiteral("stats"), Data(), vehicle, QStringLiteral("Van")}).status, 1);

    // The same name in capitals is another vehicle; each is found by its own name.
    const QString caps =
        WriteSample(QStringLiteral("caps.csv"),
                    "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes\n"
                    "COROLLA,2024-04-01,Repair,10,,,5,,Wipers,\n"
                    "Corolla,2024-04-01,Repair,5600,,,7,,Bulb,\n");
    ASSERT_EQ(Cli({QStringLiteral("import"), Data(), caps}).status, 0);
    for (const QString& name : {QStringLiteral("COROLLA"), QStringLiteral("Corolla")}) {
        run = Cli({QStringLiteral("export"), Data(), vehicle, name, QStringLiteral("--from"),
                   QStringLiteral("2024-04-01")});
        EXPECT_EQ(run.out.count(u'\n'), 2) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(u'\n' + name + u',')) << run.out.toStdString();
    }

    const QString copy = Folder() + QStringLiteral("/copy.dat");
    run = Cli({QStringLiteral("backup"), Data(), copy});
    EXPECT_EQ(run.status, 0);
    CDataLayer check;
    EXPECT_EQ(check.Connect(copy.toStdU16String().c_str()), CDataLayer::ConnectOK);
}

TEST_F(CommandLineToolTest, ReportAndFillUpsOfAVehicleForASpreadsheet) {
    m_Layer.Disconnect();
    CliRun empty = Cli({QStringLiteral("report"), Data()});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, QStringLiteral("carvelle-cli: The data file has no vehicle.\n"));
    const QString log =
        WriteSample(QStringLiteral("log.csv"),
                    "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes\n"
                    "Corolla,2024-01-05,Fuel,1000,10,3.599,35.99,Shell,,\n"
                    "Corolla,2024-01-20,Repair,1080,,,120.5,Garage,Oil change,\n"
                    "Corolla,2024-03-02,Fuel,1400,12.5,3.2,40,BP,,\n"
                    "Corolla,2024-03-09,Expense,1450,,,15,,Parking,\n"
                    "Corolla,2024-03-30,Fuel,1700,10,3.3,33,BP,,\n");
    ASSERT_EQ(Cli({QStringLiteral("import"), Data(), log}).status, 0);
    const QString report = QStringLiteral("report");
    // Miles per US gallon, the first start's unit where the locale names no country; a range
    // starts the distances afresh.
    CliRun run = Cli({QStringLiteral("fillups"), Data()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              QStringLiteral("Date,Odometer,Distance,Volume,UnitPrice,Total,Economy,Partial,Missed\r\n"
                             "2024-01-05,1000,,10.000,3.599,35.99,,,\r\n"
                             "2024-03-02,1400,400,12.500,3.200,40.00,32.00,,\r\n"
                             "2024-03-30,1700,300,10.000,3.300,33.00,30.00,,\r\n"));
    run = Cli({QStringLiteral("fillups"), Data(), QStringLiteral("--from"), QStringLiteral("2024-03-01")});
    EXPECT_TRUE(run.out.contains(QLatin1String("\r\n2024-03-02,1400,,12.500,3.200,40.00,,,\r\n")))
        << run.out.toStdString();

    {
        // Figures never take the locale's decimal comma.
        const ScopedLocale german(QLocale(QLocale::German, QLocale::Germany));

        // The only vehicle need not be named; February is there with zeros.
        run = Cli({report, Data()});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, QStringLiteral("Period,Entries,Distance,FuelVolume,FuelCost,RepairCost,TripCost,"
                                          "ExpenseCost,TotalCost,CostPer100\r\n"
                                          "2024-01,2,80,10.000,35.99,120.50,0.00,0.00,156.49,\r\n"
                                          "2024-02,0,0,0.000,0.00,0.00,0.00,0.00,0.00,\r\n"
                                          "2024-03,3,620,22.500,73.00,0.00,0.00,15.00,88.00,14.19\r\n"));
        run = Cli({report, Data(), QStringLiteral("--by=year"), QStringLiteral("--vehicle"),
                   QStringLiteral("corolla")});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.endsWith(
            QLatin1String("\r\n2024,5,700,32.500,108.99,120.50,0.00,15.00,244.49,34.93\r\n")))
            << run.out.toStdString();
    }

    EXPECT_EQ(Cli({report, Data(), QStringLiteral("--by"), QStringLiteral("week")}).status, 2);
    // With two vehicles the tool does not guess.
    const QString van =
        WriteSample(QStringLiteral("van.csv"), "Date,Odometer,Description,Cost\n2024-05-01,10,Wash,1\n");
    ASSERT_EQ(Cli({QStringLiteral("import"), Data(), van, QStringLiteral("--vehicle"), QStringLiteral("Van")})
                  .status,
              0);
    run = Cli({QStringLiteral("fillups"), Data()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringLiteral("carvelle-cli: The data file has 2 vehicles: give --vehicle NAME.\n"));
    EXPECT_EQ(run.out, QString());
}

TEST_F(CommandLineToolTest, AnImportIntoABusyFileWaitsAndIsRefused) {
    const QString log =
        WriteSample(QStringLiteral("fuel.csv"), "Date,Odometer,Gallons,Total Cost\n2024-03-05,5000,10,30\n");
    // The program holds a write of its own open for longer than the tool waits.
    ASSERT_TRUE(m_Layer.BeginTransaction());
    const CliRun run =
        Cli({QStringLiteral("import"), Data(), log, QStringLiteral("--vehicle"), QStringLiteral("Car")});
    m_Layer.RollBack();
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("busy"))) << run.err.toStdString();
    EXPECT_EQ(EntryCount(), 0);
}

TEST_F(CommandLineToolTest, ADateRangeReachesTheFirstAndLastDaysTheFileStores) {
    m_Layer.Disconnect();
    const QString ends = WriteSample(QStringLiteral("ends.csv"), "Date,Odometer,Cost\n"
                                                                 "0100-01-02,100,1\n"
                                                                 "2024-06-01,200,2\n"
                                                                 "9999-12-31,300,3\n");
    auto odometers = [this](const QString& vehicle, const QString& from, const QString& to) {
        QStringList arguments{QStringLiteral("export"), Data(), QStringLiteral("--vehicle"), vehicle};
        if (!from.isEmpty())
            arguments << QStringLiteral("--from") << from;
        if (!to.isEmpty())
            arguments << QStringLiteral("--to=") + to;
        const CliRun run = Cli(arguments);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        QStringList found;
        for (const QString& line : run.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1))
            found << line.section(u',', 3, 3);
        return found.join(u' ');
    };
    // West of Greenwich the last day ends in UTC's year 10000; east of it the first starts in 99.
    for (const auto& [zone, vehicle] : {std::pair{kNewYork, "West"}, std::pair{"AEST-10", "East"}}) {
        SCOPED_TRACE(zone);
        ScopedTimeZone here(zone);
        const QString name = QLatin1String(vehicle);
        ASSERT_EQ(Cli({QStringLiteral("import"), Data(), ends, QStringLiteral("--vehicle"), name,
                       QStringLiteral("--as"), QStringLiteral("expense")})
                      .status,
                  0);
        EXPECT_EQ(odometers(name, QStringLiteral("0100-01-01"), QString()), QStringLiteral("100 200 300"));
        EXPECT_EQ(odometers(name, QStringLiteral("9999-12-31"), QString()), QStringLiteral("300"));
        EXPECT_EQ(odometers(name, QString(), QStringLiteral("9999-01-01")), QStringLiteral("100 200"));
    }

    for (const char* bad : {"9999-13-01", "0099-12-31", "10000-01-01", "2024/06/01"}) {
        const CliRun run =
            Cli({QStringLiteral("export"), Data(), QStringLiteral("--to"), QLatin1String(bad)});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err,
                  QStringLiteral("carvelle-cli: --to: \"%1\" is not a date in the form yyyy-MM-dd from "
                                 "0100-01-01 to 9999-12-31\n")
                      .arg(QLatin1String(bad)));
    }
}

TEST_F(CommandLineToolTest, MapSaysWhatAColumnHoldsAndAServiceLogNeedsAs) {
    m_Layer.Disconnect();
    const QString import = QStringLiteral("import");
    const QString vehicle = QStringLiteral("--vehicle=Car");
    // Column names no program writes: nothing says which is the date, the odometer or the fuel.
    const QString log = WriteSample(QStringLiteral("log.csv"), "Tag,Km,Sprit,Preis\n"
                                                               "05.03.2024,5000,40,1.75\n"
                                                               "19.03.2024,5620,25,1.7\n"
                                                               "02.04.2024,6240,55,1.8\n");
    CliRun run = Cli({import, Data(), log, vehicle});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("no date column"))) << run.err.toStdString();
    // Once told, the dates' form and what the lone price is are read from the rows anew. "Km"
    // says kilometres, but its owner kept the log in miles.
    run = Cli({import, Data(), log, vehicle, QStringLiteral("--map"), QStringLiteral("tag=date"),
               QStringLiteral("--map=Km=odometer"), QStringLiteral("--map"), QStringLiteral("Sprit=quantity"),
               QStringLiteral("--file-units=mi,gal")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("Imported: 3\n"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("Distances in miles, as in Options.")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("\"Preis\" is read as the price per unit")))
        << run.out.toStdString();
    EXPECT_TRUE(Cli({QStringLiteral("export"), Data()})
                    .out.contains(QLatin1String("Car,2024-03-19,Fuel,5620,25,1.7,42.5,")));

    // Read as a service log, it says what it was only with a description; else --as must say.
    const QString costs =
        WriteSample(QStringLiteral("costs.csv"), "Date,Odometer,Cost,Memo\n2024-03-06,5100,12.5,\n");
    run = Cli({import, Data(), costs, vehicle});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("--as repair or --as expense")) &&
                run.err.contains(QLatin1String("--map COLUMN=FIELD")))
        << run.err.toStdString();
    run = Cli({import, Data(), costs, vehicle, QStringLiteral("--as"), QStringLiteral("expense")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();

    EXPECT_EQ(Cli({import, Data(), log, vehicle, QStringLiteral("--map"), QStringLiteral("Km")}).status, 2);
    EXPECT_EQ(
        Cli({import, Data(), log, vehicle, QStringLiteral("--map"), QStringLiteral("Km=distance")}).status,
        2);
    run = Cli({import, Data(), log, vehicle, QStringLiteral("--map"), QStringLiteral("Miles=odometer")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringLiteral("carvelle-cli: --map: the file has no column named \"Miles\".\n"));
    // Flag codes name a flag and at least one value; units and date patterns say what they take.
    EXPECT_EQ(Cli({import, Data(), log, vehicle, QStringLiteral("--map=Sprit=quantity:1")}).status, 2);
    EXPECT_EQ(Cli({import, Data(), log, vehicle, QStringLiteral("--map=Sprit=partial:")}).status, 2);
    run = Cli({import, Data(), log, vehicle, QStringLiteral("--file-units=furlongs,l")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("DIST is km or mi"))) << run.err.toStdString();
    run = Cli({import, Data(), log, vehicle, QStringLiteral("--date-format=MM-MM-yyyy")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("A pattern holds the day"))) << run.err.toStdString();
}

TEST_F(CommandLineToolTest, AnImportThatLeftATableUnreadDoesNotExitAsImported) {
    m_Layer.Disconnect();
    // A stray section line under the header of an export: its rows are not read.
    const QString stray =
        WriteSample(QStringLiteral("stray.csv"),
                    "Vehicle,Date,Type,Odometer,Quantity,UnitPrice,Amount,Vendor,Description,Notes\n"
                    "## Log\n"
                    "Corolla,2024-03-05,Fuel,5000,10,3,30,Shell,,\n");
    const CliRun run = Cli(
        {QStringLiteral("import"), Data(), stray, QStringLiteral("--vehicle"), QStringLiteral("Corolla")});
    EXPECT_EQ(run.status, CCommandLineTool::ExitIncomplete) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String("was not read"))) << run.err.toStdString();
}

TEST_F(CommandLineToolTest, AWriteIntoAFileWhoseIndexDisagreesIsRefusedNamingTheRepair) {
    const ULONG car = AddVehicle(u"Car");
    m_Layer.Disconnect();
    AddRowsBehindIndex(m_File.Path(), "EntryVehicle",
                       "INSERT INTO Entry VALUES(NULL, 900, '', '', 0, 0, 45000, 10, " + std::to_string(car) +
                           ", 2, '', 5, 0, 0)");
    const QByteArray before = [this] {
        QFile file(Data());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }();
    const QString log =
        WriteSample(QStringLiteral("fuel.csv"), "Date,Odometer,Gallons,Total Cost\n2024-03-05,5000,10,30\n");
    const CliRun run =
        Cli({QStringLiteral("import"), Data(), log, QStringLiteral("--vehicle"), QStringLiteral("Car")});
    EXPECT_EQ(run.status, CCommandLineTool::ExitRefused);
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("%1 is damaged, so nothing has been written to it:").arg(Data())))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String("check FILE --repair OUT"))) << run.err.toStdString();
    QFile file(Data());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(CommandLineToolTest, ASpreadsheetSafeExportRunsNoFormulaAndImportsBackAsItWas) {
    const ULONG car = AddVehicle(u"-Van");
    auto add = [&](CEntry::Type type, const char16_t* vendor, const char16_t* name, const char16_t* notes,
                   float amount) {
        CEntry entry;
        entry.SetRefID(++m_LastRefID);
        entry.SetVehicleID(car);
        entry.SetType(type);
        entry.SetDate(45000.0 + m_LastRefID);
        entry.SetOdometer(static_cast<LONG>(m_LastRefID));
        entry.SetVendor(vendor);
        entry.SetName(name);
        entry.SetNotes(notes);
        entry.SetAmount(amount);
        EXPECT_EQ(m_Layer.Save(&entry, 0), 1);
    };
    add(CEntry::EntryRepair, u"=1+1", u"@SUM(A1)", u"+49 30 1234", 12.5f);
    add(CEntry::EntryExpense, u"'=quoted already", u"\tTabbed", u"'plain quote", -7.25f);
    const QStringList stored = StoredRows(m_Layer);

    const CliRun run = Cli({QStringLiteral("export"), Data(), QStringLiteral("--spreadsheet-safe")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
    // A number stays a number; every text a spreadsheet would run begins with '.
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("'-Van,"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QLatin1String(",12.5,'=1+1,'@SUM(A1),'+49 30 1234,,")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QLatin1String(",-7.25,''=quoted already,\"'\tTabbed\",'plain quote,,")))
        << lines[2].toStdString();

    TempDataFile other;
    const QString csv = WriteSample(QStringLiteral("safe.csv"), run.out.toUtf8());
    ASSERT_EQ(Cli({QStringLiteral("import"), QString::fromStdString(other.Path()), csv}).status, 0);
    CDataLayer imported;
    ASSERT_EQ(imported.Connect(other.WidePath().c_str()), CDataLayer::ConnectOK);
    EXPECT_EQ(StoredRows(imported), stored);
}

// The one run of the built program: what a shell sees of success, refusal and misuse.
TEST_F(CommandLineToolTest, TheBuiltToolExitsWithTheStatusAScriptTests) {
    auto status = [this](const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(m_Environment.ProcessEnvironment());
        process.start(QStringLiteral(CARVELLE_CLI_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    EXPECT_EQ(status({QStringLiteral("vehicles"), Data()}), 0);
    EXPECT_EQ(status({QStringLiteral("vehicles"), Folder() + QStringLiteral("/none.dat")}), 1);
    EXPECT_EQ(status({QStringLiteral("vehicles")}), 2);
}

TEST_F(CommandLineToolTest, RemindersForATimerWithThePredictedDayAndTheStatusOfDue) {
    const ULONG golf = AddVehicle(u"Golf, blue");
    // 100 days of driving at 20 a day, from 1000 to 3000.
    for (int day = 0; day <= 100; day += 20) {
        CEntry entry;
        entry.SetVehicleID(golf);
        entry.SetType(CEntry::EntryFuel);
        entry.SetDate(LocalToOleDate(QDateTime(QDate(2024, 1, 1).addDays(day), QTime(12, 0))));
        entry.SetOdometer(1000 + 20 * day);
        ASSERT_EQ(m_Layer.Save(&entry, 0), 1);
    }
    auto reminder = [this, golf](const char16_t* name, QDate day, LONG odometer) {
        auto added = std::make_unique<CNotification>();
        added->SetVehicleID(golf);
        added->SetName(name);
        added->SetDate(LocalToOleDate(day.startOfDay()));
        added->SetOdometer(odometer);
        EXPECT_EQ(m_Layer.Save(added.get(), 0), 1);
        return added;
    };
    const auto oil = reminder(u"Oil change", QDate(2100, 1, 1), 4000);
    ASSERT_EQ(m_Layer.SetReminderInterval(oil.get(), {5000, 6}), 1);
    reminder(u"Inspection", QDate(2024, 2, 1), 99999);
    m_Layer.Disconnect();

    const QString header = QStringLiteral("Vehicle,Name,DueDate,DueOdometer,EveryMonths,EveryDistance,"
                                          "PredictedDate,Due\r\n");
    CliRun run = Cli({QStringLiteral("reminders"), Data()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    // The oil change was estimated for 30 May 2024, long past: the log stops there, so it is
    // taken to be due about now.
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_EQ(run.out,
              header + QStringLiteral("\"Golf, blue\",Oil change,2100-01-01,4000,6,5000,%1,no\r\n"
                                      "\"Golf, blue\",Inspection,2024-02-01,99999,,,2037-07-21,yes\r\n")
                           .arg(today))
        << run.out.toStdString();
    // For a timer: only what is due, and a status of its own while anything is.
    run = Cli({QStringLiteral("reminders"), Data(), QStringLiteral("--due"), QStringLiteral("--vehicle"),
               QStringLiteral("golf, blue")});
    EXPECT_EQ(run.status, CCommandLineTool::ExitRemindersDue) << run.err.toStdString();
    EXPECT_EQ(run.out,
              header + QStringLiteral("\"Golf, blue\",Inspection,2024-02-01,99999,,,2037-07-21,yes\r\n"))
        << run.out.toStdString();
    {
        SqliteFile file(m_File.Path());
        file.Exec("DELETE FROM Notification WHERE Name='Inspection'");
    }
    run = Cli({QStringLiteral("reminders"), Data(), QStringLiteral("--due")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, header) << run.out.toStdString();
}

TEST_F(CommandLineToolTest, RemindersAddedAndDoneFromAScriptMoveOnOrGo) {
    const ULONG golf = AddVehicle(u"Golf");
    CEntry entry;
    entry.SetVehicleID(golf);
    entry.SetType(CEntry::EntryFuel);
    entry.SetDate(LocalToOleDate(QDateTime(QDate(2024, 3, 1), QTime(12, 0))));
    entry.SetOdometer(41000);
    ASSERT_EQ(m_Layer.Save(&entry, 0), 1);
    m_Layer.Disconnect();
    const QString add = QStringLiteral("add");
    const QString done = QStringLiteral("done");
    auto reminders = [this](const QString& verb, QStringList options) {
        return Cli(QStringList{QStringLiteral("reminders"), verb, Data(), QStringLiteral("--vehicle"),
                               QStringLiteral("Golf")} +
                   options);
    };
    auto listed = [this]() {
        return Cli({QStringLiteral("reminders"), Data()}).out.section(QStringLiteral("\r\n"), 1);
    };

    // Absurd intervals and a reminder that would never fall due are refused, nothing stored.
    EXPECT_EQ(reminders(add, {QStringLiteral("--name=Oil"), QStringLiteral("--every-months=601")}).status, 2);
    EXPECT_EQ(reminders(add, {QStringLiteral("--name=Oil"), QStringLiteral("--every-distance=-5")}).status,
              2);
    EXPECT_EQ(reminders(add, {QStringLiteral("--name=Oil")}).status, 1);
    EXPECT_EQ(listed(), QString()) << listed().toStdString();

    CliRun run = reminders(add, {QStringLiteral("--name=Oil change"), QStringLiteral("--odometer=45000"),
                                 QStringLiteral("--date=2031-07-31"), QStringLiteral("--every-distance=5000"),
                                 QStringLiteral("--every-months=6")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_EQ(reminders(add, {QStringLiteral("--name=Wipers"), QStringLiteral("--odometer=50000")}).status,
              0);
    EXPECT_EQ(listed(), QStringLiteral("Golf,Oil change,2031-07-31,45000,6,5000,,no\r\n"
                                       "Golf,Wipers,,50000,,,,no\r\n"))
        << listed().toStdString();

    // A reading below one logged before the day of the work changes nothing.
    run = reminders(done, {QStringLiteral("--name=oil CHANGE"), QStringLiteral("--date=2030-03-05"),
                           QStringLiteral("--odometer=40000")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("lower than 41000"))) << run.err.toStdString();
    // Done with a repair: moved on from the work's day and reading, the repair in the log.
    run = reminders(done, {QStringLiteral("--name=oil CHANGE"), QStringLiteral("--date=2030-03-05"),
                           QStringLiteral("--odometer=41200"), QStringLiteral("--store-repair=49.90")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // A one-time reminder done is gone.
    ASSERT_EQ(reminders(done, {QStringLiteral("--name=Wipers")}).status, 0);
    // The two readings six years apart give a slow pace.
    EXPECT_EQ(listed(), QStringLiteral("Golf,Oil change,2030-09-05,46200,6,5000,2180-06-01,no\r\n"))
        << listed().toStdString();
    run = Cli({QStringLiteral("export"), Data(), QStringLiteral("--type=repair")});
    EXPECT_TRUE(run.out.contains(QLatin1String("Oil change"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String(",49.9,"))) << run.out.toStdString();

    // Two namesakes: both are named, and the due reading tells them apart.
    ASSERT_EQ(
        reminders(add, {QStringLiteral("--name=Oil change"), QStringLiteral("--odometer=60000")}).status, 0);
    run = reminders(done, {QStringLiteral("--name=Oil change")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("46200, 2030-09-05; 60000, "))) << run.err.toStdString();
    ASSERT_EQ(
        reminders(done, {QStringLiteral("--name=Oil change"), QStringLiteral("--due-odometer=60000")}).status,
        0);
    EXPECT_EQ(listed(), QStringLiteral("Golf,Oil change,2030-09-05,46200,6,5000,2180-06-01,no\r\n"))
        << listed().toStdString();
}
