#include "core/CStringTable.h"

#include <QHash>

namespace {

const QHash<int, QString>& Table() {
    static const QHash<int, QString> table = {
        {IDS_PRODUCT_NAME, QStringLiteral("Carvelle")},
        {IDS_SORT_DATE, QStringLiteral("Date")},
        {IDS_SORT_DESCRIPTION, QStringLiteral("Description")},
        {IDS_SORT_ODOMETER, QStringLiteral("Odometer")},
        {IDS_SORT_AMOUNT, QStringLiteral("Amount")},
        {IDS_COLUMN_NAME, QStringLiteral("Name")},
        {IDS_DEFAULT_DATA_FILE, QStringLiteral("My Vehicles.dat")},
        {IDS_STAT_AVERAGE_ECONOMY, QStringLiteral("Average fuel economy:")},
        {IDS_STAT_RECENT_ECONOMY, QStringLiteral("Most recent fuel economy:")},
        {IDS_STAT_DISTANCE, QStringLiteral("Distance traveled:")},
        {IDS_STAT_FUEL_CONSUMED, QStringLiteral("Total fuel consumed:")},
        {IDS_STAT_CONSUMPTION_RATE, QStringLiteral("Fuel consumption rate:")},
        {IDS_STAT_OVERALL_EXPENSE, QStringLiteral("Total overall expense:")},
        {IDS_STAT_COST_OF_OWNERSHIP, QStringLiteral("Cost of ownership:")},
        {IDS_TEMPLATE_FILE, QStringLiteral("Default.ENU")},
        {IDS_CANNOT_CREATE_DATA_FILE, QStringLiteral("Cannot create new data file %s. Please try again.")},
        {IDS_NO_ACTIVE_VEHICLE, QStringLiteral("<No Active Vehicle>")},
        {IDS_MY_VEHICLES, QStringLiteral("My Vehicles")},
        {IDS_EMPTY_LIST, QStringLiteral("There are no items in this list.")},
        {IDS_VEHICLE_PROPERTIES, QStringLiteral("Vehicle Properties")},
        {IDS_ENTRY_PROPERTIES, QStringLiteral("Entry Properties")},
        {IDS_KEYWORDS_EXPENSES, QStringLiteral("Expenses")},
        {IDS_KEYWORDS_REPAIRS, QStringLiteral("Repairs and Maintenance")},
        {IDS_KEYWORDS_CATEGORIES, QStringLiteral("Categories")},
        {IDS_KEYWORDS_FUEL_VENDORS, QStringLiteral("Fuel Vendors")},
        {IDS_STAT_DATE_RANGE, QStringLiteral("Date range:")},
        {IDS_GALLONS_US, QStringLiteral("Gallons (US)")},
        {IDS_GALLONS_US_SHORT, QStringLiteral("Gal")},
        {IDS_GALLONS_UK, QStringLiteral("Gallons (UK)")},
        {IDS_GALLONS_UK_SHORT, QStringLiteral("Gal")},
        {IDS_LITRES, QStringLiteral("Litres")},
        {IDS_LITRES_SHORT, QStringLiteral("Ltr")},
        {IDS_MILES, QStringLiteral("Miles")},
        {IDS_MILES_SHORT, QStringLiteral("Mi")},
        {IDS_KILOMETRES, QStringLiteral("Kilometres")},
        {IDS_KILOMETRES_SHORT, QStringLiteral("Km")},
        {IDS_ECONOMY_MPG_US, QStringLiteral("Miles per gallon (US)")},
        {IDS_ECONOMY_MPG_UK, QStringLiteral("Miles per gallon (UK)")},
        {IDS_ECONOMY_KM_PER_LITRE, QStringLiteral("Kilometres per litre")},
        {IDS_ECONOMY_MILES_PER_LITRE, QStringLiteral("Miles per litre")},
        {IDS_ECONOMY_LITRES_PER_100_KM, QStringLiteral("Litres per 100 kilometres")},
        {IDS_LITRES_PER_100_KM_LABEL, QStringLiteral("l/100 km")},
        {IDS_WINDOW_TITLE, QStringLiteral("%s \u2014 %s")},
        {IDS_FILTER_SEPARATOR, QStringLiteral(" \u00B7 ")},
        {IDS_DATA_FILE_FILTER, QStringLiteral("Carvelle Data Files (*.dat)|*.dat||")},
        {IDS_STAT_AVERAGE_FUEL_COST, QStringLiteral("Average fuel cost:")},
        {IDS_STAT_FUEL_EXPENSE, QStringLiteral("Total fuel expense:")},
        {IDS_SORT_BY, QStringLiteral("Sort By")},
        {IDS_READ_ONLY_DATA_FILE,
         QStringLiteral(
             "%s is a read-only file. Remove the read-only attribute of this file before opening it "
             "using Carvelle.")},
        {IDS_INVALID_DATA_FILE,
         QStringLiteral(
             "%s is not a valid database for this version of Carvelle. If you are upgrading from a "
             "previous version, please see the online upgrade instructions at "
             "https://www.ferroxsoftware.example/carvelle/upgrade or contact customer support.")},
        {IDS_ACTIVESYNC_CONNECTED, QStringLiteral("Carvelle cannot be used while ActiveSync is connected.")},
        {IDS_VERIFY_UNITS,
         QStringLiteral("Please verify the units for distance and volume under the Options screen.")},
        {IDS_DELETE_VEHICLE,
         QStringLiteral("Do you want to permanently delete the selected vehicle and all data "
                        "associated with it?")},
        {IDS_REMINDER_CREATED,
         QStringLiteral("The reminder has been created successfully. To see all upcoming "
                        "reminders, choose Reminders > Manage Reminders\u2026")},
        {IDS_WELCOME_TITLE, QStringLiteral("Welcome!")},
        {IDS_ABOUT_VERSION, QStringLiteral("Version %s build %i")},
        {IDS_ABOUT_NOTICE, QStringLiteral("Copyright \u00A9 2026 Ferrox Software.\nAll rights reserved.")},
        {IDS_VEHICLE_DISPLAY_TEXT, QStringLiteral("%s (%d)")},
        {IDS_DELETE_ENTRY, QStringLiteral("Do you want to permanently delete the selected entry?")},
        {IDS_DELETE_ENTRIES, QStringLiteral("Do you want to permanently delete the selected entries?")},
        {IDS_END_BEFORE_START, QStringLiteral("End date must be greater than start date.")},
        {IDS_ALL_DATES, QStringLiteral("All Dates")},
        {IDS_NOT_AVAILABLE, QStringLiteral("N/A")},
        {IDS_DATE_RANGE_TEXT, QStringLiteral("%s - %s")},
        {IDS_ENTRIES_NOT_DELETED,
         QStringLiteral("Some of the selected entries could not be deleted from the data file %s. They are "
                        "still listed.")},
        {IDS_DATA_FILE_NOT_OPENED,
         QStringLiteral("%s could not be opened. Another program may be using it, or the disk may be full or "
                        "failing. The file has not been changed; try again later.")},
        {IDS_ENTRIES_NOT_READ,
         QStringLiteral("The entries could not be read from the data file %s. The file may be damaged or "
                        "in use by another program.")},
        {IDS_NAME_REQUIRED, QStringLiteral("A name is required.")},
        {IDS_DESCRIPTION_REQUIRED, QStringLiteral("A description is required.")},
        {IDS_END_BELOW_START, QStringLiteral("End odometer must be greater than start odometer.")},
        {IDS_CHECK_INPUTS, QStringLiteral("An error occurred, please double-check your inputs.")},
        {IDS_RECORD_NOT_SAVED,
         QStringLiteral(
             "Your changes could not be saved to the data file %s. The file may be read-only, full "
             "or in use by another program; the record keeps what was stored before.")},
        {IDS_DELETE_REMINDER, QStringLiteral("Are you sure you want to delete this reminder?")},
        {IDS_REMINDER_NOT_SAVED,
         QStringLiteral("The reminder could not be saved to the data file %s. The file may be damaged, full "
                        "or in use by another program.")},
        {IDS_REMINDER_NOT_DELETED,
         QStringLiteral("The reminder could not be deleted from the data file %s. It is still stored.")},
        {IDS_EXCHANGE_FIELD_NAMES,
         QStringLiteral(
             "Vehicle|Date|Type|Odometer|Quantity|Unit "
             "price|Amount|Vendor|Description|Notes|Partial fill-up|Missed fill-up|Full tank|Time")},
        {IDS_EXCHANGE_KIND_NAMES,
         QStringLiteral("Carvelle export|Fuel log|Service or expense log|Vehicles|Not imported")},
        {IDS_IMPORT_NOT_READ, QStringLiteral("%s could not be read.")},
        {IDS_IMPORT_NOT_TEXT,
         QStringLiteral(
             "%s is not a text file. Choose a CSV file (comma-separated values, UTF-8 or Latin-1).")},
        {IDS_IMPORT_DATA_FILE,
         QStringLiteral("%s is a Carvelle data file, not a CSV file. Use Open Data File to open it.")},
        {IDS_IMPORT_EMPTY, QStringLiteral("%s holds no header line and no rows.")},
        {IDS_IMPORT_NO_DATE_COLUMN,
         QStringLiteral("The file has no date column (such as \"Date\"). Its columns are: %s")},
        {IDS_IMPORT_NO_ODOMETER_COLUMN,
         QStringLiteral("The file has no odometer column (such as \"Odometer\", \"Odo\" or \"Mileage\"). Its "
                        "columns are: %s")},
        {IDS_IMPORT_TOO_LONG, QStringLiteral("Line %s: a record runs on past %s MB; a quote is probably not "
                                             "closed. Nothing has been imported.")},
        {IDS_LINE_ERROR, QStringLiteral("Line %s: %s")},
        {IDS_ROW_MISSING, QStringLiteral("%s is missing")},
        {IDS_ROW_BAD_NUMBER, QStringLiteral("%s \"%s\" is not a number")},
        {IDS_ROW_NEGATIVE, QStringLiteral("%s %s is negative")},
        {IDS_ROW_TOO_LARGE, QStringLiteral("%s %s is too large")},
        {IDS_ROW_ODOMETER_TOO_LARGE, QStringLiteral("odometer %s is above 2,147,483,647")},
        {IDS_ROW_BAD_DATE, QStringLiteral("\"%s\" is not a date in the form %s")},
        {IDS_ROW_DATE_RANGE, QStringLiteral("date %s is before the year 100 or after 9999")},
        {IDS_ROW_BAD_TYPE, QStringLiteral("type \"%s\" is not Fuel, Repair, Trip, Expense or Vehicle")},
        {IDS_ROW_BAD_TEXT, QStringLiteral("the line is not valid UTF-8 text")},
        {IDS_ROW_NO_VEHICLE, QStringLiteral("the row names no vehicle; choose the vehicle to import into")},
        {IDS_PARTIAL_FILL_UP, QStringLiteral("Partial fill-up")},
        {IDS_MISSED_FILL_UP, QStringLiteral("Missed fill-up before this one")},
        {IDS_IMPORT_SUMMARY, QStringLiteral("Rows read: %s\n"
                                            "Imported: %s\n"
                                            "Skipped as duplicates: %s\n"
                                            "Refused: %s")},
        {IDS_IMPORT_VEHICLES_MADE, QStringLiteral("Vehicles added: %s")},
        {IDS_IMPORT_LATIN1,
         QStringLiteral("The file is not UTF-8 text; it was read as Latin-1 (Western European).")},
        {IDS_IMPORT_FILL_UP_MARKS,
         QStringLiteral("Partial and missed fill-ups are marked as such: economy runs from one full tank to "
                        "the next, and a missed fill-up starts the count anew.")},
        {IDS_IMPORT_BUSY, QStringLiteral("The data file is busy: another program is using it. Nothing "
                                         "has been imported; try again in a moment.")},
        {IDS_IMPORT_FAILED,
         QStringLiteral("The entries could not be written to the data file. Nothing has been imported.")},
        {IDS_IMPORT_CANCELLED, QStringLiteral("The import was cancelled. Nothing has been imported.")},
        {IDS_IMPORT_ERRORS, QStringLiteral("%s of %s rows cannot be read, so nothing has been imported:")},
        {IDS_IMPORT_MORE_ERRORS, QStringLiteral("... and %s more.")},
        {IDS_IMPORT_DATES_AMBIGUOUS,
         QStringLiteral("The dates could be month/day or day/month: choose the date format.")},
        {IDS_BACKUP_DONE, QStringLiteral("The data file has been backed up to %s.")},
        {IDS_BACKUP_FAILED, QStringLiteral("The backup could not be written to %s. %s")},
        {IDS_BACKUP_SAME_FILE,
         QStringLiteral("The backup cannot replace the data file itself. Choose another name.")},
        {IDS_BACKUP_BUSY, QStringLiteral("Another program kept the data file busy.")},
        {IDS_BACKUP_NOT_VERIFIED,
         QStringLiteral(
             "The copy did not pass the integrity check, so it was not kept. The data file itself may "
             "be damaged: Check Data File (carvelle-cli check) tells.")},
        {IDS_EXPORT_DONE, QStringLiteral("Entries exported: %s\nFile: %s")},
        {IDS_EXPORT_FAILED, QStringLiteral("The entries could not be exported to %s. %s")},
        {IDS_CSV_FILE_FILTER, QStringLiteral("CSV Files (*.csv);;Text Files (*.txt);;All Files (*)")},
        {IDS_IMPORT_TITLE, QStringLiteral("Import")},
        {IDS_EXPORT_TITLE, QStringLiteral("Export")},
        {IDS_BACKUP_TITLE, QStringLiteral("Back Up Data File")},
        {IDS_EXPORT_IN_VIEW, QStringLiteral("The entries in view (%s)")},
        {IDS_EXPORT_ALL, QStringLiteral("Every vehicle's entries")},
        {IDS_IMPORT_LABELS, QStringLiteral("File:|Columns:|Delimiter:|Decimal mark:|Date format:|Import "
                                           "into:|Rows as they will be stored:|Service log rows are:")},
        {IDS_IMPORT_CHOICES, QStringLiteral("Comma|Semicolon|Tab|Point (12.5)|Comma (12,5)|The vehicles "
                                            "named in the file|Repairs|Other expenses")},
        {IDS_IMPORT_GOOD_ROWS, QStringLiteral("Import the %s good rows only")},
        {IDS_IMPORT_CHECKING, QStringLiteral("Checking and importing...")},
        {IDS_CLI_USAGE,
         QStringLiteral(
             "Usage: carvelle-cli COMMAND FILE [ARGUMENTS]\n"
             "\n"
             "Commands:\n"
             "  vehicles FILE                 list the vehicles: RefID, name, year, current odometer\n"
             "  export FILE [OPTIONS]         write entries as CSV\n"
             "  import FILE IN.csv [OPTIONS]  read entries from a CSV file\n"
             "  backup FILE DEST              copy the data file safely, even while Carvelle has it open\n"
             "  check FILE [--repair OUT]     check the data file fully; write a repaired copy\n"
             "  stats FILE --vehicle NAME     print the ten quick statistics\n"
             "  report FILE [OPTIONS]         write the figures per month or year as CSV\n"
             "  fillups FILE [OPTIONS]        write one CSV row per fill-up with its economy\n"
             "  reminders FILE [OPTIONS]      write one CSV row per reminder; --due: only those due\n"
             "  reminders add FILE OPTIONS    add a reminder, once or repeating\n"
             "  reminders done FILE OPTIONS   tell that a reminder's work is done and move it on\n"
             "  --version                     print the version\n"
             "\n"
             "FILE is a Carvelle data file (.dat). 'carvelle-cli COMMAND --help' describes each command.\n"
             "Exit status: 0 on success, 1 when the input is refused, 2 on a usage error, 3 when an\n"
             "import left a table of the file unread, 4 when 'reminders --due' found a reminder due.\n")},
        {IDS_CLI_HELP_VEHICLES,
         QStringLiteral("Usage: carvelle-cli vehicles FILE\n"
                        "\n"
                        "Lists the vehicles of the data file, one a line, tab-separated: RefID, name, year,\n"
                        "current odometer.\n")},
        {IDS_CLI_HELP_EXPORT,
         QStringLiteral(
             "Usage: carvelle-cli export FILE [--vehicle NAME] [--type fuel|repair|trip|expense]\n"
             "                            [--from DATE] [--to DATE] [-o OUT.csv] [--spreadsheet-safe]\n"
             "\n"
             "Writes the entries as CSV (UTF-8, a header row, ISO dates, '.' as the decimal point) to\n"
             "OUT.csv or to standard output. Without --vehicle every vehicle's entries are written.\n"
             "DATE is yyyy-MM-dd, a local day; both ends are included.\n"
             "\n"
             "  --spreadsheet-safe  write a text that begins with =, +, -, @, a tab or a carriage\n"
             "                      return with a ' before it, so that a spreadsheet does not run it;\n"
             "                      the import takes the ' away again\n")},
        {IDS_CLI_HELP_IMPORT,
         QStringLiteral(
             "Usage: carvelle-cli import FILE IN.csv [--vehicle NAME] [--as repair|expense]\n"
             "                            [--date-format FMT] [--file-units DIST,VOL]\n"
             "                            [--map COLUMN=FIELD]... [--dry-run] [--skip-bad-rows]\n"
             "\n"
             "Reads entries from a CSV file: Carvelle's own export, or the export of another program\n"
             "(Fuelly, Fuelio, Drivvo, Road Trip, My Fuel Manager, Car Report, aCar, Spritmonitor,\n"
             "self-hosted trackers) or any fuel log or service log, recognised by its column names; a\n"
             "file may hold several tables under section lines. Distances and quantities in units the\n"
             "file states are converted into those of Options. The whole file is checked; a row that\n"
             "cannot be read refuses the whole import unless --skip-bad-rows is given. Rows already\n"
             "stored (same vehicle, type, day, odometer and amount) are skipped.\n"
             "\n"
             "  --vehicle NAME     import every row into this vehicle (made when there is none)\n"
             "  --as TYPE          what the rows of a table without a quantity (costs, services)\n"
             "                     become: repair or expense; needed for one without a description\n"
             "  --date-format FMT  a pattern of yyyy or yy, MM or M, dd or d with -, /, . or a space\n"
             "                     between, perhaps a time: MM-dd-yyyy, d.M.yy, yyyy/MM/dd HH:mm\n"
             "                     (else detected)\n"
             "  --file-units DIST,VOL the file's units, when it does not state them or states them\n"
             "                     wrong: DIST km or mi, VOL l, gal (US), ukgal, kg or kWh\n"
             "  --map COLUMN=FIELD what a column holds, by its name; may be repeated. FIELD is date,\n"
             "                     odometer, quantity, unitprice, total, vendor, description, notes,\n"
             "                     vehicle, type, partial, missed, full, time or ignore. A flag reads\n"
             "                     yes/no words; partial:VALUE[,VALUE] names the codes that set it\n"
             "                     (--map Tankart=partial:2)\n"
             "  --dry-run          check and count, write nothing\n"
             "  --skip-bad-rows    import the good rows, count the others as refused\n"
             "\n"
             "A data file changed since a full check last found it sound is checked fully first, and\n"
             "a damaged one is refused (see 'check --repair'). Exit status 3: the rows were imported\n"
             "but a table of the file was left unread.\n")},
        {IDS_CLI_HELP_BACKUP,
         QStringLiteral(
             "Usage: carvelle-cli backup FILE DEST [--force]\n"
             "\n"
             "Copies the data file to DEST with SQLite's online backup (safe while Carvelle has the file\n"
             "open). The copy is written under a new name of its own, DEST.XXXXXX.partial, must pass\n"
             "SQLite's full integrity check, and only then gets its name; no existing file is opened,\n"
             "changed or removed on the way, and what a killed backup left is cleared away. A DEST that\n"
             "is the data file (under any name), a link or a device is refused. The copy has the data\n"
             "file's permissions, never more.\n"
             "\n"
             "DEST may be a folder: the copy is then named after FILE and today, \"NAME YYYY-MM-DD.dat\"\n"
             "(\"My Vehicles 2024-03-05.dat\"), or \"NAME YYYY-MM-DD-2.dat\" and so on when that is taken.\n"
             "A DEST file that exists is left alone (exit status 1) unless --force is given; it is then\n"
             "replaced in one step.\n")},
        {IDS_CLI_HELP_CHECK,
         QStringLiteral(
             "Usage: carvelle-cli check FILE [--repair OUT [--force]]\n"
             "\n"
             "Checks the data file fully: SQLite's integrity check of every page, record and index, the\n"
             "tables and MetaData rows Carvelle needs, dates from the year 100 to 9999, entries and\n"
             "reminders whose vehicle is missing, and current odometers below the highest reading.\n"
             "Prints each problem, or \"The data file is sound.\" FILE is never written to.\n"
             "Exit status: 0 sound, 1 damaged or not readable, 2 on a usage error.\n"
             "\n"
             "  --repair OUT  also write a repaired copy to OUT (a file, or a folder for\n"
             "                \"NAME repaired YYYY-MM-DD.dat\"): every table is read without its indexes,\n"
             "                rows that cannot be read are left out and counted, the indexes are built\n"
             "                again and the copy is checked. Exit status 0 once the copy is written.\n"
             "  --force       replace OUT when it exists\n")},
        {IDS_CLI_NEED_VEHICLE, QStringLiteral("The file names no vehicle: give --vehicle NAME.")},
        {IDS_CLI_HELP_STATS,
         QStringLiteral(
             "Usage: carvelle-cli stats FILE --vehicle NAME [--from DATE] [--to DATE]\n"
             "\n"
             "Prints the ten quick statistics of the vehicle, one 'label<TAB>value' a line, in the\n"
             "units chosen in Carvelle's Options. DATE is yyyy-MM-dd, a local day.\n")},
        {IDS_CLI_HELP_REPORT,
         QStringLiteral(
             "Usage: carvelle-cli report FILE [--vehicle NAME] [--by month|year] [--from DATE]\n"
             "                            [--to DATE]\n"
             "\n"
             "Writes the vehicle's figures per month (the default) or year as CSV with the header\n"
             "Period,Entries,Distance,FuelVolume,FuelCost,RepairCost,TripCost,ExpenseCost,TotalCost,"
             "CostPer100\n"
             "Period is yyyy-MM or yyyy. Every period from the first entry's to the last entry's is\n"
             "listed, an empty one with zeros; CostPer100 is empty below a distance of 100.\n"
             "Distances and volumes are in the units chosen in Carvelle's Options, '.' is the\n"
             "decimal point. --vehicle may be left out when the file has one vehicle.\n"
             "DATE is yyyy-MM-dd, a local day; both ends are included.\n")},
        {IDS_CLI_HELP_REMINDERS,
         QStringLiteral(
             "Usage: carvelle-cli reminders FILE [--vehicle NAME] [--due]\n"
             "\n"
             "Writes the reminders, by vehicle, as CSV with the header\n"
             "Vehicle,Name,DueDate,DueOdometer,EveryMonths,EveryDistance,PredictedDate,Due\n"
             "DueDate and PredictedDate are yyyy-MM-dd; a cell is empty where the reminder has no such\n"
             "value. PredictedDate is the day on which the vehicle is likely to reach DueOdometer, from\n"
             "its distance per day over the last 90 days of entries; it needs 30 days of entries.\n"
             "Due is yes or no, as Carvelle would tell today. Without --vehicle every vehicle's\n"
             "reminders are written. Distances are in the units the data file holds.\n"
             "\n"
             "  --due  write only the reminders that are due; the exit status is then 4 when any is\n"
             "         due and 0 when none is.\n")},
        {IDS_CLI_HELP_REMINDERS_ADD,
         QStringLiteral(
             "Usage: carvelle-cli reminders add FILE --vehicle NAME --name TEXT [--odometer N]\n"
             "                                  [--date DATE] [--every-distance N] [--every-months N]\n"
             "\n"
             "Adds a reminder to the vehicle. It falls due at the odometer reading N or on DATE,\n"
             "whichever comes first. With --every-distance or --every-months it repeats: 'reminders\n"
             "done' moves it on by that much from the day and reading of the work. Left out, the\n"
             "reading and the day are counted from the current odometer and today by the interval;\n"
             "without either, the reminder does not fall due by that measure. An interval of 0 is\n"
             "none; at most 1000000 distance units and 600 months. DATE is yyyy-MM-dd.\n")},
        {IDS_CLI_HELP_REMINDERS_DONE,
         QStringLiteral(
             "Usage: carvelle-cli reminders done FILE --vehicle NAME --name TEXT [--date DATE]\n"
             "                                   [--odometer N] [--store-repair AMOUNT]\n"
             "                                   [--due-odometer N] [--due-date DATE]\n"
             "\n"
             "Tells that the reminder's work was done on DATE (today when left out) at the reading N\n"
             "(the current odometer when left out). A repeating reminder moves on by its interval\n"
             "from there; a one-time reminder is removed. --store-repair also stores a repair entry\n"
             "named after the reminder, with AMOUNT ('.' as the decimal point). The name is matched\n"
             "case aside; when two reminders of the vehicle share it, --due-odometer or --due-date\n"
             "says which one.\n")},
        {IDS_CLI_HELP_FILLUPS,
         QStringLiteral(
             "Usage: carvelle-cli fillups FILE [--vehicle NAME] [--from DATE] [--to DATE]\n"
             "\n"
             "Writes the vehicle's fill-ups, oldest first, as CSV with the header\n"
             "Date,Odometer,Distance,Volume,UnitPrice,Total,Economy,Partial,Missed\n"
             "Distance is counted from the previous fill-up; it is empty for the first fill-up and\n"
             "one without a reading (odometer 0). Economy (in the unit chosen in Carvelle's Options)\n"
             "runs from one full tank to the next: a partial fill-up has none, and the next full one\n"
             "covers the distance since the last full tank with all the fuel bought since, partial\n"
             "fill-ups included. After a missed fill-up (Missed: yes) or one without a reading the\n"
             "chain starts anew, so the next full fill-up has none either. Partial and Missed are\n"
             "\"yes\" or empty. ISO dates, '.' as the decimal point. --vehicle may be left out when\n"
             "the file has one vehicle. DATE is yyyy-MM-dd, a local day; both ends are included.\n")},
        {IDS_CLI_WHICH_VEHICLE, QStringLiteral("The data file has %s vehicles: give --vehicle NAME.")},
        {IDS_CLI_NO_VEHICLES, QStringLiteral("The data file has no vehicle.")},
        {IDS_CLI_OUTPUT_FAILED, QStringLiteral("carvelle-cli: The output could not be written: %s\n")},
        {IDS_CLI_NO_VEHICLE, QStringLiteral("No vehicle is named \"%s\".")},
        {IDS_CHARTS_TITLE, QStringLiteral("Charts")},
        {IDS_CHART_NAMES, QStringLiteral("Fuel economy|Fuel price|Cost|Cost per 100 %s")},
        {IDS_CHART_KINDS, QStringLiteral("Fuel|Repairs|Trips|Other")},
        {IDS_CHART_PERIODS, QStringLiteral("By month|By year")},
        {IDS_CHART_AVERAGE, QStringLiteral("Average of %s fill-ups")},
        {IDS_CHART_ECONOMY_AXIS, QStringLiteral("Economy (%s)")},
        {IDS_CHART_PRICE_AXIS, QStringLiteral("Price per unit")},
        {IDS_CHART_COST_AXIS, QStringLiteral("Cost (%s)")},
        {IDS_CHART_PER_100_AXIS, QStringLiteral("Cost per 100 %s")},
        {IDS_CHART_SAVE, QStringLiteral("Save as PNG/SVG\u2026")},
        {IDS_CHART_FILE_FILTER, QStringLiteral("PNG Images (*.png);;SVG Images (*.svg)")},
        {IDS_CHART_NOT_SAVED, QStringLiteral("The chart could not be saved to %s.")},
        {IDS_CHART_TIP, QStringLiteral("%s: %s")},
        {IDS_CHART_BAR_TIP, QStringLiteral("%s\n%s: %s\nTotal: %s")},
        {IDS_CHART_PER_100_TIP, QStringLiteral("%s\n%s: %s\nTotal: %s")},
        {IDS_CHART_NO_ENTRIES, QStringLiteral("There are no entries in this view.")},
        {IDS_CHART_NO_FILL_UPS, QStringLiteral("There are no fill-ups in this view.")},
        {IDS_CHART_FUEL_FILTERED,
         QStringLiteral("The log's filter leaves the fill-ups out: choose all entries or fuel only.")},
        {IDS_CHART_ONE_FILL_UP, QStringLiteral("Fuel economy needs two fill-ups; this view has one.")},
        {IDS_CHART_NO_ECONOMY,
         QStringLiteral(
             "No full fill-up has fuel and a reading above the full one before it, so there is no economy to "
             "draw.")},
        {IDS_CHART_WITHOUT_ECONOMY,
         QStringLiteral("Fill-ups without economy: %s (no fuel, or a reading not above the one before).")},
        {IDS_CHART_OFF_SCALE,
         QStringLiteral("Fill-ups far off the rest: %s (outside %s to %s); the axis is scaled to the rest.")},
        {IDS_CHART_ONE_DAY, QStringLiteral("Every fill-up in this view is on one day, %s.")},
        {IDS_CHART_NO_PRICES, QStringLiteral("No fill-up in this view has a price per unit.")},
        {IDS_CHART_GROUPED, QStringLiteral("Each bar sums %s months.|Each bar sums %s years.")},
        {IDS_CHART_NO_PER_100,
         QStringLiteral("No month reaches a distance of 100 %s, so there is no cost per 100 "
                        "to draw.|No year reaches a distance of 100 %s, so there is no cost "
                        "per 100 to draw.")},
        {IDS_REPORT_TITLE, QStringLiteral("Report")},
        {IDS_REPORT_COLUMNS,
         QStringLiteral("Period|Entries|Distance|Fuel|Fuel cost|Repairs|Trips|Other|Total|Cost per 100 %s")},
        {IDS_FLEET_COLUMNS,
         QStringLiteral("Vehicle|Entries|Distance|Total cost|Cost per 100 %s|Average economy")},
        {IDS_REPORT_TOTAL, QStringLiteral("Total")},
        {IDS_REPORT_BUTTONS, QStringLiteral("Copy|Print\u2026|Export as PDF\u2026")},
        {IDS_REPORT_HEADINGS, QStringLiteral("By month|By year|All vehicles|Charts|Printed %s")},
        {IDS_PDF_FILE_FILTER, QStringLiteral("PDF Files (*.pdf)")},
        {IDS_REPORT_NOT_WRITTEN, QStringLiteral("The report could not be written to %s.")},
        {IDS_REPORT_NOT_PRINTED, QStringLiteral("The report could not be printed.")},
        {IDS_REPORT_PAGE, QStringLiteral("Page %s of %s")},
        {IDS_ABOUT_LICENCE,
         QStringLiteral(
             "Carvelle draws its charts with Qt Charts, so this program is distributed under the "
             "GNU General Public License version 3. Its sources and the Dorvane data library, which "
             "has no Qt in it, are free software under the MIT licence.")},
        {IDS_IMPORT_UNIT_NAMES, QStringLiteral("km|miles|litres|US gallons|UK gallons|kg|kWh")},
        {IDS_IMPORT_UNIT_KINDS, QStringLiteral("Distances|Quantities")},
        {IDS_IMPORT_UNITS_CONVERTED, QStringLiteral("%s in %s, converted to %s.")},
        {IDS_IMPORT_UNITS_KEPT, QStringLiteral("%s in %s, as in Options.")},
        {IDS_IMPORT_UNITS_UNSTATED,
         QStringLiteral("%s: the file does not say their unit, so they are taken as %s, as in Options.")},
        {IDS_IMPORT_UNITS_NOT_VOLUME,
         QStringLiteral("Quantities in %s are stored as they are: they are not a volume to convert.")},
        {IDS_IMPORT_UNIT_UNKNOWN,
         QStringLiteral("Warning: \"%s\" is in \"%s\", a unit Carvelle does not know, so its numbers are "
                        "taken as they are.")},
        {IDS_IMPORT_UNIT_COLUMN, QStringLiteral("%s in the units of the \"%s\" column, converted to %s.")},
        {IDS_IMPORT_CURRENCIES,
         QStringLiteral("The rows are in several currencies (%s); their amounts are stored as they are.")},
        {IDS_IMPORT_UNIT_LABELS, QStringLiteral("Distances in the file:|Quantities in the file:")},
        {IDS_IMPORT_UNITS_FROM_TEXT, QStringLiteral("Units as the %s \"%s\" states them.")},
        {IDS_IMPORT_UNIT_PLACES, QStringLiteral("title line|section line")},
        {IDS_IMPORT_GALLONS_US,
         QStringLiteral("The file says only \"gallons\", so they are taken as US gallons.")},
        {IDS_IMPORT_GALLONS_UK,
         QStringLiteral("The file says only \"gallons\" and %s, so they are taken as UK gallons.")},
        {IDS_IMPORT_UK_MARKS,
         QStringLiteral("its title says UK|a section says UK|its amounts are in pounds sterling")},
        {IDS_CLI_BAD_FILE_UNITS,
         QStringLiteral("--file-units: \"%s\" is not DIST,VOL, where DIST is km or mi and VOL is l, gal (US "
                        "gallons), ukgal, kg or kWh; for example km,l or mi,gal.")},
        {IDS_CLI_BAD_DATE_FORMAT,
         QStringLiteral("--date-format: \"%s\" is not a date pattern. A pattern holds the day (d or dd), the "
                        "month (M or MM) and the year (yy or yyyy) once each, separated by -, /, . or a "
                        "space, and may end with a time (HH:mm); for example MM-dd-yyyy, d.M.yy or "
                        "yyyy/MM/dd HH:mm.")},
        {IDS_CLI_COSTS_HINT,
         QStringLiteral("To import rows without a quantity as costs, give --as expense or --as repair; to "
                        "say which column holds the quantity, give --map COLUMN=quantity.")},
        {IDS_IMPORT_COSTS_HINT,
         QStringLiteral("To import rows without a quantity as costs, set the quantity and price per unit "
                        "columns to \u201cnot used\u201d and choose what the rows are.")},
        {IDS_CLI_MAP_HINT,
         QStringLiteral("Give --map COLUMN=FIELD to say which column holds it (such as --map Datum=date).")},
        {IDS_IMPORT_FLAG_VALUES, QStringLiteral("\"%s\" means a partial fill-up when it is: %s.")},
        {IDS_IMPORT_FLAG_CHOICE, QStringLiteral("Partial fill-up when:|it says yes (Y, ja, oui, 1, ...)")},
        {IDS_IMPORT_NO_READINGS,
         QStringLiteral("It has no odometer column, so its entries are stored without a reading.")},
        {IDS_IMPORT_FLAG_NOT_YES_NO,
         QStringLiteral("Warning: \"%s\" holds %s, which is neither yes nor no; name the values that set "
                        "the flag (Partial fill-up when, or --map COLUMN=partial:VALUE).")},
        {IDS_CLI_DATES_AMBIGUOUS, QStringLiteral("The dates could be month/day or day/month; give "
                                                 "--date-format M/d/yyyy or --date-format d/M/yyyy.")},
        {IDS_CLI_BAD_OPTION, QStringLiteral("%s: %s")},
        {IDS_CLI_BAD_WHOLE, QStringLiteral("%s: \"%s\" is not a whole number from %s to %s")},
        {IDS_CLI_REMINDER_NEVER_DUE,
         QStringLiteral("The reminder would never fall due: give --odometer, --date, --every-distance or "
                        "--every-months.")},
        {IDS_CLI_REMINDER_NOT_STORED,
         QStringLiteral("The reminder could not be stored in %s; nothing has changed.")},
        {IDS_CLI_NO_REMINDER, QStringLiteral("The vehicle \"%s\" has no reminder named \"%s\".")},
        {IDS_CLI_REMINDER_TWO, QStringLiteral("%s reminders of \"%s\" are named \"%s\" (due at %s): give "
                                              "--due-odometer or --due-date to tell them apart.")},
        {IDS_CLI_DONE_READING_LOW,
         QStringLiteral(
             "The odometer reading %s is lower than %s, logged on %s or before; nothing has changed.")},
        {IDS_CLI_BAD_DATE, QStringLiteral("%s: \"%s\" is not a date in the form yyyy-MM-dd from %s to %s")},
        {IDS_ODOMETER_LOWER,
         QStringLiteral("The odometer reading is lower than the one on %s (%s). Store it anyway?")},
        {IDS_ODOMETER_HIGHER,
         QStringLiteral("The odometer reading is higher than the later one on %s (%s). Store it anyway?")},
        {IDS_REFUSED_EMPTY_NUMBER, QStringLiteral("A number is required here.")},
        {IDS_REFUSED_NUMBER, QStringLiteral("Not a number: %s")},
        {IDS_REFUSED_WHOLE_NUMBER, QStringLiteral("Not a whole number: %s")},
        {IDS_REFUSED_OUT_OF_RANGE, QStringLiteral("Out of range: %s")},
        {IDS_REFUSED_DATE, QStringLiteral("Not a date: %s (type it like %s)")},
        {IDS_REFUSED_EMPTY_DATE, QStringLiteral("A date is required here (type it like %s).")},
        {IDS_DIGITS_ONLY, QStringLiteral("Only the digits 0 to 9 can be typed here.")},
        {IDS_DELETE_KEYWORD, QStringLiteral("Delete \"%s\" from the list?")},
        {IDS_KEYWORD_EXISTS, QStringLiteral("\"%s\" is in the list already.")},
        {IDS_KEYWORD_TOO_LONG, QStringLiteral("A name in this list has at most %s characters.")},
        {IDS_SHOW_CALENDAR, QStringLiteral("Pick the day from a calendar (Alt+Down)")},
        {IDS_DATA_FILE_MISSING, QStringLiteral("%s does not exist.")},
        {IDS_DATA_FILE_NOT_READABLE, QStringLiteral("%s is not readable: permission denied.")},
        {IDS_NOT_A_DATA_FILE, QStringLiteral("%s is not a Carvelle data file.")},
        {IDS_BACKUP_EXISTS,
         QStringLiteral("%s already exists and has been left as it is. Give --force to replace it.")},
        {IDS_BACKUP_NO_FREE_NAME, QStringLiteral("Every name for today's copy is taken.")},
        {IDS_BACKUP_IN_PROGRESS, QStringLiteral("Another copy is being written to the same name right now.")},
        {IDS_BACKUP_NO_FOLDER, QStringLiteral("The folder %s does not exist.")},
        {IDS_CHECK_SOUND, QStringLiteral("The data file is sound.")},
        {IDS_CHECK_ENGINE, QStringLiteral("SQLite: %s")},
        {IDS_CHECK_ENGINE_MORE,
         QStringLiteral("SQLite stopped listing after %s problems; there may be more.")},
        {IDS_CHECK_NOT_RUN, QStringLiteral("The check of %s could not be run: %s")},
        {IDS_CHECK_TABLE,
         QStringLiteral("The table %s is missing or does not have the columns Carvelle reads.")},
        {IDS_CHECK_TABLES, QStringLiteral("The tables cannot be read as those of a Carvelle data file.")},
        {IDS_CHECK_METADATA,
         QStringLiteral("The MetaData table does not hold a store ID, the mark \"QDX\" and a "
                        "version in its first three rows.")},
        {IDS_CHECK_DATES,
         QStringLiteral(
             "%s: %s rows have a %s that is not a date from the year 100 to 9999 (the first: ID %s).")},
        {IDS_CHECK_ENTRY_ORPHANS,
         QStringLiteral("%s entries belong to no vehicle of the data file (the first: ID %s).")},
        {IDS_CHECK_REMINDER_ORPHANS,
         QStringLiteral("%s reminders belong to no vehicle of the data file (the first: ID %s).")},
        {IDS_FILL_FLAGS_NOT_STORED,
         QStringLiteral("The entry was stored, but whether it was a partial or missed fill-up could not be "
                        "stored in the data file %s.")},
        {IDS_PARTIAL_FILL_UP_BOX, QStringLiteral("&Partial fill-up")},
        {IDS_MISSED_FILL_UP_BOX, QStringLiteral("&Missed the fill-up before this one")},
        {IDS_PARTIAL_FILL_UP_MARK, QStringLiteral(" · partial fill-up")},
        {IDS_MISSED_FILL_UP_MARK, QStringLiteral(" · after a missed fill-up")},
        {IDS_CHECK_FILL_FLAG_TABLE,
         QStringLiteral(
             "The table %s has not the columns of fill flags: no fill-up is read as partial or missed.")},
        {IDS_CHECK_FILL_FLAG_ORPHANS,
         QStringLiteral("%s fill flags belong to no entry of the data file (the first: reference ID %s).")},
        {IDS_CHECK_FILL_FLAG_NOT_FUEL,
         QStringLiteral(
             "%s entries that are not fill-ups carry fill flags, which are ignored (the first: ID %s).")},
        {IDS_CHECK_INTERVAL_TABLE,
         QStringLiteral("The table %s has not the columns of reminder intervals: every reminder is read as "
                        "one that does not repeat.")},
        {IDS_CHECK_INTERVAL_ORPHANS,
         QStringLiteral(
             "%s reminder intervals belong to no reminder of the data file (the first: reference ID "
             "%s).")},
        {IDS_REMINDER_DONE_TITLE, QStringLiteral("Reminder Done")},
        {IDS_REMINDER_DONE_DAY, QStringLiteral("Done on the &day:")},
        {IDS_REMINDER_DONE_ODOMETER, QStringLiteral("At the &odometer reading:")},
        {IDS_REMINDER_DONE_STORE_REPAIR, QStringLiteral("&Store a repair entry with the reminder's name")},
        {IDS_REMINDER_DONE_AMOUNT, QStringLiteral("&Amount paid (%s):")},
        {IDS_REMINDER_DONE_READING_LOW,
         QStringLiteral("The odometer reading %s is lower than %s, logged on %s.")},
        {IDS_REMINDER_DONE_NOT_STORED,
         QStringLiteral(
             "The work could not be stored in the data file %s. The file may be damaged, full or in "
             "use by another program; nothing has changed.")},
        {IDS_REMINDER_OFFER_MOVE_ON,
         QStringLiteral("This repair is the work of the reminder \"%s\". Mark the reminder done on %s at %s, "
                        "so that it falls due again after its interval?")},
        {IDS_REMINDER_OFFER_REMOVE,
         QStringLiteral(
             "This repair is the work of the reminder \"%s\". Mark the reminder done and remove it?")},
        {IDS_REMINDER_PREDICTED_DAYS, QStringLiteral("about %s days, around %s")},
        {IDS_REMINDER_PREDICTED_DAY, QStringLiteral("about 1 day, around %s")},
        {IDS_REMINDER_PREDICTED_NOW, QStringLiteral("any day now")},
        {IDS_REMINDER_EVERY_GROUP, QStringLiteral("Repeat every... (empty or 0: never)")},
        {IDS_REMINDER_EVERY_DISTANCE, QStringLiteral("dis&tance (%s):")},
        {IDS_REMINDER_EVERY_MONTHS, QStringLiteral("&months:")},
        {IDS_REMINDER_EVERY_RANGE, QStringLiteral("Enter a whole number from 0 to %s.")},
        {IDS_REMINDER_COLUMN_EXPECTED, QStringLiteral("Expected")},
        {IDS_REMINDER_DONE_BUTTON, QStringLiteral("D&one...")},
        {IDS_CHECK_ODOMETER,
         QStringLiteral("Vehicle \"%s\" (ID %s): its current odometer %s is below its highest reading %s.")},
        {IDS_CHECK_DAMAGED, QStringLiteral("Problems found: %s.")},
        {IDS_CHECK_UNDONE_WRITE,
         QStringLiteral("The last write to the data file was cut short; it was checked as it "
                        "will be once that write is undone.")},
        {IDS_CHECK_REPAIR_HINT,
         QStringLiteral(
             "'carvelle-cli check FILE --repair OUT' writes a repaired copy; FILE is left as it is.")},
        {IDS_REPAIR_TABLE_KEPT, QStringLiteral("%s: %s rows kept")},
        {IDS_REPAIR_TABLE_SKIPPED, QStringLiteral(", %s rows that could not be read left out")},
        {IDS_REPAIR_TABLE_STRETCHES,
         QStringLiteral(", %s damaged stretches of the table stepped over (the rows in them are lost)")},
        {IDS_REPAIR_TABLE_FAILED, QStringLiteral("%s could not be copied: %s")},
        {IDS_REPAIR_TABLE_DEFAULTED,
         QStringLiteral(", %s of them with 0 or an empty text where the damage had left a value out")},
        {IDS_DATA_FILE_DAMAGED,
         QStringLiteral("The data file %s is damaged, so Carvelle does not open it as it is:")},
        {IDS_REPAIR_TABLE_PIECED,
         QStringLiteral(", %s of them pieced together from damaged records (check their values)")},
        {IDS_REPAIR_INDEX_FAILED, QStringLiteral("The index %s could not be built again: %s")},
        {IDS_REPAIR_DONE, QStringLiteral("The repaired copy has been written to %s.")},
        {IDS_REPAIR_FAILED, QStringLiteral("The repaired copy could not be written to %s. %s")},
        {IDS_REPAIR_NOT_VERIFIED,
         QStringLiteral("The repaired copy did not pass the integrity check either, so it was not kept.")},
        {IDS_REPAIR_SCHEMA,
         QStringLiteral("The table descriptions cannot be read, so no copy can be made: %s")},
        {IDS_REPAIR_OPEN,
         QStringLiteral("%s\n\nOpen the repaired copy now? The damaged file is left as it is.")},
        {IDS_CHECK_TITLE, QStringLiteral("Check Data File")},
        {IDS_CHECK_FOUND, QStringLiteral("The data file %s has problems:")},
        {IDS_CHECK_OFFER_REPAIR,
         QStringLiteral("Save a repaired copy? The data file itself is left as it is.")},
        {IDS_CHECK_BACKGROUND_FOUND, QStringLiteral("A check of the data file %s found problems:\n\n%s")},
        {IDS_CHECK_REPAIR_MENU, QStringLiteral("File > Check Data File... saves a repaired copy.")},
        {IDS_REPAIRED_NAME, QStringLiteral("%s repaired")},
        {IDS_EXPORT_BAD_DATES,
         QStringLiteral("%s entries have a date outside the years 100 to 9999; their Date "
                        "column holds the stored number instead.")},
        {IDS_WAIT_WRITER,
         QStringLiteral("Another program is writing to the data file. Waiting for it to finish...")},
        {IDS_WAIT_READERS,
         QStringLiteral("Another program is reading the data file. Waiting for it to finish...")},
        {IDS_APP_USAGE,
         QStringLiteral("Usage: carvelle [OPTION]...\n"
                        "Carvelle, a personal vehicle log: fuel, repairs, trips, expenses and reminders.\n"
                        "\n"
                        "  -h, --help     print this help and exit\n"
                        "  -v, --version  print the version and exit\n"
                        "\n"
                        "Qt's own options, such as -platform and -style, are understood as well.\n"
                        "Carvelle opens the data file it had open last; its settings are in\n"
                        "~/.config/Ferrox Software/Carvelle.reg. Starting it again brings the running\n"
                        "window forward. carvelle-cli works on data files from scripts.\n")},
        {IDS_NO_DATE, QStringLiteral("\u2014")},
        {IDS_CHECK_INDEX_MISSES,
         QStringLiteral("SQLite: the index %s misses %s rows, which lists read through it leave out.")},
        {IDS_IMPORT_NO_TABLE,
         QStringLiteral("%s holds no table that Carvelle can import: no line of column names with a date and "
                        "an odometer column (such as \"Date\" and \"Odometer\").")},
        {IDS_ROW_REPEATED_HEADER,
         QStringLiteral("the header line again, as where two exports were joined into "
                        "one file; remove the line or import the files one by one")},
        {IDS_TABLE_MIXED_DELIMITERS,
         QStringLiteral("this table's columns are separated by %s, the rest of the file's by %s, so its rows "
                        "were not read; save it as a file of its own and import that")},
        {IDS_DELIMITER_NAMES, QStringLiteral("commas|semicolons|tabs")},
        {IDS_TABLE_NO_PLACE, QStringLiteral("Line %s: \"%s\" was skipped: Carvelle has no place for it.")},
        {IDS_TABLE_NO_COLUMNS,
         QStringLiteral("Line %s, \"%s\": no column was taken as the %s, so its rows are "
                        "not read; choose the column that holds it.")},
        {IDS_TABLE_EMPTY, QStringLiteral("Line %s: \"%s\" has no rows.")},
        {IDS_IMPORT_READ_AS, QStringLiteral("Read as: %s")},
        {IDS_IMPORT_TABLE, QStringLiteral("Line %s, \"%s\": %s")},
        {IDS_IMPORT_SERVICE_AS, QStringLiteral("imported as repairs|imported as other expenses")},
        {IDS_IMPORT_PRICE_READING, QStringLiteral("\"%s\" is read as %s: %s.")},
        {IDS_IMPORT_PRICE_WORDS,
         QStringLiteral("the price per unit|the total paid|%s writes it so|it varies little from row to row, "
                        "as a price per unit does|it varies with the quantity, as a total does|there are too "
                        "few rows to tell, so check the rows below|as you chose")},
        {IDS_IMPORT_UNUSED, QStringLiteral("Columns not used: %s")},
        {IDS_IMPORT_SERVICE_LOG,
         QStringLiteral(
             "It has no fuel quantity or price per unit, so it is read as a service or expense log "
             "and its rows are %s.")},
        {IDS_IMPORT_ERROR_KIND, QStringLiteral("%s rows: %s, first at line %s (%s)")},
        {IDS_ROW_KIND_NAMES,
         QStringLiteral("%s missing|%s not a number|%s negative|%s too large|odometer too large|date not "
                        "readable|date out of range|type not known|not UTF-8 text|no vehicle|the header line "
                        "again|another delimiter")},
        {IDS_IMPORT_DATE_HINT,
         QStringLiteral(
             "The dates were read as %s. Carvelle reads the year, month and day in the orders "
             "yyyy-MM-dd, M/d/yyyy and d/M/yyyy, with -, /, . or a space between, a two-digit year "
             "and a time: choose the date format above.")},
        {IDS_CLI_DATE_HINT,
         QStringLiteral(
             "The dates were read as %s. Orders tried: yyyy-MM-dd, M/d/yyyy and d/M/yyyy, with -, /, "
             ". or a space between, a two-digit year and a time; give --date-format PATTERN, such as "
             "MM-dd-yyyy.")},
        {IDS_CLI_NEED_AS,
         QStringLiteral(
             "The file has no fuel quantity or price per unit, so it reads as a service or expense "
             "log, and it has no description column, so its rows would not say what they were. "
             "Give --as repair or --as expense to import it so, or --map COLUMN=FIELD to say what "
             "a column holds (such as --map Litres=quantity). Its columns are: %s")},
        {IDS_CLI_NO_COLUMN, QStringLiteral("--map: the file has no column named \"%s\".")},
        {IDS_CLI_BAD_MAP,
         QStringLiteral(
             "--map: \"%s\" is not COLUMN=FIELD, where FIELD is date, odometer, quantity, "
             "unitprice, total, vendor, description, notes, vehicle, type, partial, missed, full, "
             "time or ignore; or COLUMN=FLAG:VALUE[,VALUE], where FLAG is partial, full or missed.")},
        {IDS_CLI_PROGRESS, QStringLiteral("Importing: %s%% (%s of %s MB)")},
        {IDS_IMPORT_MORE_LABELS, QStringLiteral("Table:|A lone price is:")},
        {IDS_IMPORT_PRICE_CHOICES, QStringLiteral("The price per unit|The total paid")},
        {IDS_IMPORT_NOT_USED, QStringLiteral("\u2014 not used")},
        {IDS_IMPORT_VEHICLES_NAMED, QStringLiteral("vehicles named: %s")},
        {IDS_TABLE_NO_VEHICLE_COLUMN, QStringLiteral("the table of vehicles has no name column")},
        {IDS_IMPORT_FIELD_COLUMN, QStringLiteral("%s (column \"%s\")")},
        {IDS_IMPORT_UNCLOSED_QUOTE,
         QStringLiteral("Line %s: a closing quote is missing; the quoted value begun "
                        "there runs on to the end of the file. Nothing has been "
                        "imported.")},
        {IDS_COPY_IS_LINK,
         QStringLiteral("%s is a link; nothing has been written to it. Choose a file or a folder.")},
        {IDS_COPY_NOT_FILE, QStringLiteral("%s is not a plain file; nothing has been written to it.")},
        {IDS_CLI_TABLE_UNREAD,
         QStringLiteral("A table of the file was not read (see above); its rows have not been imported.")},
        {IDS_CLI_DAMAGED_NOT_WRITTEN, QStringLiteral("%s is damaged, so nothing has been written to it:")},
        {IDS_EXPORT_SPREADSHEET_SAFE,
         QStringLiteral("Spreadsheet-safe: a ' before text that begins with =, +, -, @")},
        {IDS_NEW_REMINDER_TITLE, QStringLiteral("New Reminder")},
        {IDS_WAIT_CANCEL, QStringLiteral("Cancel")},
        {IDS_WAIT_OPENING, QStringLiteral("Opening and checking the data file %s\u2026")},
        {IDS_WAIT_LOADING_LOG, QStringLiteral("Loading the log\u2026")},
    };
    return table;
}

} // namespace

QString LoadStringResource(int id) {
    return Table().value(id);
}

QString FormatStringResource(int id, const QStringList& arguments) {
    const QString format = LoadStringResource(id);
    QString text;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'%' && i + 1 < format.size()) {
            const QChar kind = format.at(i + 1);
            if (kind == u'%') {
                text += u'%';
                ++i;
                continue;
            }
            if (kind == u's' || kind == u'd' || kind == u'i') {
                if (next < arguments.size())
                    text += arguments.at(next++);
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}
