#include "resources/CStringTable.h"

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
                        "reminders, tap Menu > Manage Reminders.")},
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
