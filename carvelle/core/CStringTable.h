#pragma once
// The program's string table, keyed by number.

#include <QString>
#include <QStringList>

// Numbers of texts with a fixed place in the program.
constexpr int IDS_PRODUCT_NAME = 128;
constexpr int IDS_SORT_DATE = 129;
constexpr int IDS_SORT_DESCRIPTION = 130; // also the entry list's column title
constexpr int IDS_SORT_ODOMETER = 131;
constexpr int IDS_SORT_AMOUNT = 132;
constexpr int IDS_COLUMN_NAME = 133;
constexpr int IDS_DEFAULT_DATA_FILE = 32809;
constexpr int IDS_STAT_AVERAGE_ECONOMY = 32813;
constexpr int IDS_STAT_RECENT_ECONOMY = 32814;
constexpr int IDS_STAT_DISTANCE = 32815;
constexpr int IDS_STAT_FUEL_CONSUMED = 32816;
constexpr int IDS_STAT_CONSUMPTION_RATE = 32817;
constexpr int IDS_STAT_OVERALL_EXPENSE = 32818;
constexpr int IDS_STAT_COST_OF_OWNERSHIP = 32819;
constexpr int IDS_TEMPLATE_FILE = 32810;
constexpr int IDS_CANNOT_CREATE_DATA_FILE = 32811;
constexpr int IDS_NO_ACTIVE_VEHICLE = 32820;
constexpr int IDS_MY_VEHICLES = 32840;
constexpr int IDS_EMPTY_LIST = 32864;
// Titles of the keyword manager, by keyword type.
constexpr int IDS_VEHICLE_PROPERTIES = 32806;
constexpr int IDS_ENTRY_PROPERTIES = 32807;
constexpr int IDS_KEYWORDS_EXPENSES = 32857;
constexpr int IDS_KEYWORDS_REPAIRS = 32858;
constexpr int IDS_KEYWORDS_CATEGORIES = 32859;
constexpr int IDS_KEYWORDS_FUEL_VENDORS = 32865;
constexpr int IDS_STAT_DATE_RANGE = 32866;
// Unit names: long and short forms, then the four economy units in their stored order.
constexpr int IDS_GALLONS_US = 32876;
constexpr int IDS_GALLONS_US_SHORT = 32877;
constexpr int IDS_GALLONS_UK = 32878;
constexpr int IDS_GALLONS_UK_SHORT = 32879;
constexpr int IDS_LITRES = 32880;
constexpr int IDS_LITRES_SHORT = 32881;
constexpr int IDS_MILES = 32882;
constexpr int IDS_MILES_SHORT = 32883;
constexpr int IDS_KILOMETRES = 32884;
constexpr int IDS_KILOMETRES_SHORT = 32885;
constexpr int IDS_ECONOMY_MPG_US = 32886;
constexpr int IDS_ECONOMY_MPG_UK = 32887;
constexpr int IDS_ECONOMY_KM_PER_LITRE = 32888;
constexpr int IDS_ECONOMY_MILES_PER_LITRE = 32889;
constexpr int IDS_DATA_FILE_FILTER = 32895;
constexpr int IDS_STAT_AVERAGE_FUEL_COST = 32896;
constexpr int IDS_STAT_FUEL_EXPENSE = 32897;
constexpr int IDS_SORT_BY = 32898;
constexpr int IDS_READ_ONLY_DATA_FILE = 33001;
constexpr int IDS_INVALID_DATA_FILE = 33002;
constexpr int IDS_ACTIVESYNC_CONNECTED = 33003;
constexpr int IDS_VERIFY_UNITS = 33004;
constexpr int IDS_DELETE_VEHICLE = 33005;
constexpr int IDS_REMINDER_CREATED = 33006;
constexpr int IDS_WELCOME_TITLE = 33007;
constexpr int IDS_ABOUT_VERSION = 33008;
constexpr int IDS_ABOUT_NOTICE = 33009;
constexpr int IDS_VEHICLE_DISPLAY_TEXT = 33010;
constexpr int IDS_DELETE_ENTRY = 33011;
constexpr int IDS_DELETE_ENTRIES = 33012;
constexpr int IDS_END_BEFORE_START = 33013;
constexpr int IDS_ALL_DATES = 33014;
constexpr int IDS_NOT_AVAILABLE = 33015;
constexpr int IDS_DATE_RANGE_TEXT = 33016;
constexpr int IDS_ENTRIES_NOT_DELETED = 33017;
constexpr int IDS_ENTRIES_NOT_READ = 33018;
constexpr int IDS_DATA_FILE_NOT_OPENED = 33019;
constexpr int IDS_NAME_REQUIRED = 33020;
constexpr int IDS_DESCRIPTION_REQUIRED = 33021;
constexpr int IDS_END_BELOW_START = 33022;
constexpr int IDS_CHECK_INPUTS = 33023;
constexpr int IDS_RECORD_NOT_SAVED = 33024;
constexpr int IDS_DELETE_REMINDER = 33031;
constexpr int IDS_REMINDER_NOT_SAVED = 33032;
constexpr int IDS_REMINDER_NOT_DELETED = 33033;
// Import, export, backup and the console tool.
constexpr int IDS_EXCHANGE_FIELD_NAMES = 33040;
constexpr int IDS_EXCHANGE_KIND_NAMES = 33041;
constexpr int IDS_IMPORT_NOT_READ = 33042;
constexpr int IDS_IMPORT_NOT_TEXT = 33043;
constexpr int IDS_IMPORT_DATA_FILE = 33044;
constexpr int IDS_IMPORT_EMPTY = 33045;
constexpr int IDS_IMPORT_NO_DATE_COLUMN = 33046;
constexpr int IDS_IMPORT_NO_ODOMETER_COLUMN = 33047;
constexpr int IDS_IMPORT_TOO_LONG = 33048;
constexpr int IDS_LINE_ERROR = 33049;
constexpr int IDS_ROW_MISSING = 33050;
constexpr int IDS_ROW_BAD_NUMBER = 33051;
constexpr int IDS_ROW_NEGATIVE = 33052;
constexpr int IDS_ROW_TOO_LARGE = 33053;
constexpr int IDS_ROW_ODOMETER_TOO_LARGE = 33054;
constexpr int IDS_ROW_BAD_DATE = 33055;
constexpr int IDS_ROW_DATE_RANGE = 33056;
constexpr int IDS_ROW_BAD_TYPE = 33057;
constexpr int IDS_ROW_BAD_TEXT = 33058;
constexpr int IDS_ROW_NO_VEHICLE = 33059;
constexpr int IDS_PARTIAL_FILL_UP = 33060;
constexpr int IDS_MISSED_FILL_UP = 33061;
constexpr int IDS_IMPORT_SUMMARY = 33062;
constexpr int IDS_IMPORT_VEHICLES_MADE = 33063;
constexpr int IDS_IMPORT_LATIN1 = 33064;
constexpr int IDS_IMPORT_FILL_UP_MARKS = 33065;
constexpr int IDS_IMPORT_BUSY = 33066;
constexpr int IDS_IMPORT_FAILED = 33067;
constexpr int IDS_IMPORT_CANCELLED = 33068;
constexpr int IDS_IMPORT_ERRORS = 33069;
constexpr int IDS_IMPORT_MORE_ERRORS = 33070;
constexpr int IDS_IMPORT_DATES_AMBIGUOUS = 33071;
constexpr int IDS_BACKUP_DONE = 33072;
constexpr int IDS_BACKUP_FAILED = 33073;
constexpr int IDS_BACKUP_SAME_FILE = 33074;
constexpr int IDS_BACKUP_BUSY = 33075;
constexpr int IDS_BACKUP_NOT_VERIFIED = 33076;
constexpr int IDS_EXPORT_DONE = 33077;
constexpr int IDS_EXPORT_FAILED = 33078;
constexpr int IDS_CSV_FILE_FILTER = 33079;
constexpr int IDS_IMPORT_TITLE = 33080;
constexpr int IDS_EXPORT_TITLE = 33081;
constexpr int IDS_BACKUP_TITLE = 33082;
constexpr int IDS_EXPORT_IN_VIEW = 33083;
constexpr int IDS_EXPORT_ALL = 33084;
constexpr int IDS_IMPORT_LABELS = 33085;
constexpr int IDS_IMPORT_CHOICES = 33086;
constexpr int IDS_IMPORT_GOOD_ROWS = 33087;
constexpr int IDS_IMPORT_CHECKING = 33088;
constexpr int IDS_CLI_USAGE = 33089;
constexpr int IDS_CLI_HELP_VEHICLES = 33090;
constexpr int IDS_CLI_HELP_EXPORT = 33091;
constexpr int IDS_CLI_HELP_IMPORT = 33092;
constexpr int IDS_CLI_HELP_BACKUP = 33093;
constexpr int IDS_CLI_HELP_STATS = 33094;
constexpr int IDS_CLI_NO_VEHICLE = 33096;
constexpr int IDS_CLI_DATES_AMBIGUOUS = 33097;
constexpr int IDS_CLI_BAD_OPTION = 33098;
constexpr int IDS_CLI_NEED_VEHICLE = 33099;
constexpr int IDS_CLI_BAD_DATE = 33120;
// The editing sheets: the odometer question and the reasons a value is refused.
constexpr int IDS_ODOMETER_LOWER = 33300;
constexpr int IDS_ODOMETER_HIGHER = 33301;
constexpr int IDS_REFUSED_EMPTY_NUMBER = 33302;
constexpr int IDS_REFUSED_NUMBER = 33303;
constexpr int IDS_REFUSED_WHOLE_NUMBER = 33304;
constexpr int IDS_REFUSED_OUT_OF_RANGE = 33305;
constexpr int IDS_REFUSED_DATE = 33306;
constexpr int IDS_REFUSED_EMPTY_DATE = 33307;
constexpr int IDS_DIGITS_ONLY = 33308;
constexpr int IDS_DELETE_KEYWORD = 33309;
constexpr int IDS_KEYWORD_EXISTS = 33310;
constexpr int IDS_KEYWORD_TOO_LONG = 33311;
constexpr int IDS_SHOW_CALENDAR = 33312;
// The fifth economy unit, the main window's title and the filter shown over the entry list.
constexpr int IDS_ECONOMY_LITRES_PER_100_KM = 33350;
constexpr int IDS_LITRES_PER_100_KM_LABEL = 33351;
constexpr int IDS_WINDOW_TITLE = 33352;
constexpr int IDS_FILTER_SEPARATOR = 33353;
// Reading other programs' exports: tables, what their columns were taken as, repeated errors.
constexpr int IDS_IMPORT_NO_TABLE = 33200;
constexpr int IDS_ROW_REPEATED_HEADER = 33201;
constexpr int IDS_TABLE_MIXED_DELIMITERS = 33202;
constexpr int IDS_DELIMITER_NAMES = 33203;
constexpr int IDS_TABLE_NO_PLACE = 33204;
constexpr int IDS_TABLE_NO_COLUMNS = 33205;
constexpr int IDS_TABLE_EMPTY = 33206;
constexpr int IDS_IMPORT_READ_AS = 33207;
constexpr int IDS_IMPORT_TABLE = 33208;
constexpr int IDS_IMPORT_SERVICE_AS = 33209;
constexpr int IDS_IMPORT_PRICE_READING = 33210;
constexpr int IDS_IMPORT_PRICE_WORDS = 33211;
constexpr int IDS_IMPORT_UNUSED = 33212;
constexpr int IDS_IMPORT_SERVICE_LOG = 33213;
constexpr int IDS_IMPORT_ERROR_KIND = 33214;
constexpr int IDS_ROW_KIND_NAMES = 33215;
constexpr int IDS_IMPORT_DATE_HINT = 33216;
constexpr int IDS_CLI_DATE_HINT = 33217;
constexpr int IDS_CLI_NEED_AS = 33218;
constexpr int IDS_CLI_NO_COLUMN = 33219;
constexpr int IDS_CLI_BAD_MAP = 33220;
constexpr int IDS_CLI_PROGRESS = 33221;
constexpr int IDS_IMPORT_MORE_LABELS = 33222;
constexpr int IDS_IMPORT_PRICE_CHOICES = 33223;
constexpr int IDS_IMPORT_NOT_USED = 33224;
constexpr int IDS_IMPORT_VEHICLES_NAMED = 33225;
constexpr int IDS_TABLE_NO_VEHICLE_COLUMN = 33226;
constexpr int IDS_IMPORT_FIELD_COLUMN = 33228;

// The text of the given number; empty when there is none.
QString LoadStringResource(int id);

// The text of the given number with its printf-style conversions (%s, %d, %i) replaced, in order,
// by the given arguments and "%%" by "%". One pass: an argument's own "%s" stays as it is.
QString FormatStringResource(int id, const QStringList& arguments);
