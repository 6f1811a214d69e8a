#pragma once
// Command, control, template and resource numbers of the program.

// Menus
constexpr int IDR_CONTEXT_MENUS = 207; // popups: 0 vehicle list, 1 entry list, 2 sort by
constexpr int IDR_DONE_CANCEL = 221;
constexpr int IDR_MAINFRAME_MENU = 230;
constexpr int IDR_REMINDER_LIST_MENU = 231; // "New"; "Menu": Edit, Delete, Done

// Dialog templates and views
constexpr int IDD_ABOUTBOX = 127;
constexpr int IDD_STARTUP = 208;
constexpr int IDD_VIEW_ENTRIES = 210;
constexpr int IDD_VIEW_VEHICLES = 211;
constexpr int IDD_OPTIONS = 212;
constexpr int IDD_DATE_RANGE = 213;
constexpr int IDD_QUICK_STATS = 214;
constexpr int IDD_KEYWORDS = 224;
// The editing sheet's pages.
constexpr int IDD_FUEL_DETAILS = 103;
constexpr int IDD_EXPENSE_DETAILS = 104;
constexpr int IDD_REPAIR_DETAILS = 105;
constexpr int IDD_TRIP_DETAILS = 106;
constexpr int IDD_VEHICLE_DETAILS = 107;
constexpr int IDD_VEHICLE_INSURANCE = 109;
constexpr int IDD_VEHICLE_DEALER = 110;
constexpr int IDD_NOTES = 111;
constexpr int IDD_TRIP_EXPENSE = 223;
constexpr int IDD_EDIT_REMINDER = 225;
constexpr int IDD_REMINDER = 226;
constexpr int IDD_UPCOMING_REMINDERS = 227;
constexpr int IDD_REMINDER_DONE = 228;
constexpr int IDD_IMPORT = 33110;
constexpr int IDD_EXPORT = 33111;
constexpr int IDD_CHARTS = 33502;
constexpr int IDD_REPORT = 33503;

// Icons and pictures
constexpr int IDI_PROGRAM = 128;
constexpr int IDB_PRODUCT = 129;
constexpr int IDI_REPAIR = 201;
constexpr int IDI_REMINDER = 202;
constexpr int IDI_FUEL = 203;
constexpr int IDI_EXPENSE = 204;
constexpr int IDI_TRIP = 205;
constexpr int IDI_DROP_ARROW = 229;
constexpr int IDI_CHARTS = 33504;

// Dialog commands
constexpr int ID_DONE = 1;
constexpr int ID_CANCEL = 2;

// Controls
constexpr int IDC_LIST = 1020;
// The fields of the editing pages; a number may serve a different field on another page.
constexpr int IDC_ODOMETER = 1001; // also the trip's elapsed distance
constexpr int IDC_DATE = 1002;
constexpr int IDC_QUANTITY = 1003;
constexpr int IDC_PRICE = 1004;
constexpr int IDC_AMOUNT = 1005;
constexpr int IDC_DESCRIPTION = 1006; // also a name, or the fuel vendor
constexpr int IDC_NOTES = 1007;       // also the insurance coverage
constexpr int IDC_TRIP_START = 1008;
constexpr int IDC_TRIP_END = 1009;
constexpr int IDC_VENDOR = 1010;
constexpr int IDC_PHONE = 1011;
constexpr int IDC_POLICY_NUMBER = 1012;
constexpr int IDC_ADDRESS = 1013;
constexpr int IDC_LICENSE_PLATE = 1014;
constexpr int IDC_YEAR = 1015;
constexpr int IDC_VIN = 1016;
constexpr int IDC_CALC = 1051;
constexpr int IDC_MANAGE_KEYWORDS = 1052;
constexpr int IDC_TRIP_MILEAGE_RATE = 1053;
constexpr int IDC_CATEGORY = 1054;
constexpr int IDC_STARTUP_TEXT = 1031;
constexpr int IDC_STARTUP_GROUP = 1033;
constexpr int IDC_CREATE_NEW = 1017;
constexpr int IDC_OPEN_EXISTING = 1018;
// Options
constexpr int IDC_MILEAGE_RATE = 1004;
constexpr int IDC_UNIT_DISTANCE = 1104;
constexpr int IDC_UNIT_VOLUME = 1105;
constexpr int IDC_UNIT_ECONOMY = 1114;
constexpr int IDC_CURRENCY = 1119;
// Keyword manager
constexpr int IDC_KEYWORD_NAME = 1006;
constexpr int IDC_KEYWORD_ADD = 1055;
constexpr int IDC_KEYWORD_DELETE = 1056;
constexpr int IDC_KEYWORD_RENAME = 1057;
// Reminders
constexpr int IDC_REMINDER_ODOMETER = 1001;
constexpr int IDC_REMINDER_DATE = 1002;
constexpr int IDC_REMINDER_DESCRIPTION = 1006; // also the reminder list's title text
constexpr int IDC_REMINDER_KEYWORDS = 1052;
constexpr int IDC_REMINDER_STEPS = 1113;
constexpr int IDC_NOTICE_VEHICLE = 1010;
constexpr int IDC_NOTICE_ODOMETER = 1008;
constexpr int IDC_NOTICE_CURRENT_ODOMETER = 1009;
constexpr int IDC_NOTICE_DATE = 1109;
constexpr int IDC_NOTICE_CURRENT_DATE = 1110;
// Date range
constexpr int IDC_END_DATE = 1024;
constexpr int IDC_START_DATE = 1025;
constexpr int IDC_LAST_3_MONTHS = 1045;
constexpr int IDC_LAST_6_MONTHS = 1046;
constexpr int IDC_LAST_12_MONTHS = 1047;
constexpr int IDC_LAST_30_DAYS = 1048;
constexpr int IDC_PREVIOUS_MONTH = 1049;
constexpr int IDC_PREVIOUS_YEAR = 1050;

// Frame and view commands
constexpr int ID_NEW_FUEL = 32781;
constexpr int ID_NEW_REPAIR = 32782;
constexpr int ID_NEW_TRIP = 32783;
constexpr int ID_NEW_EXPENSE = 32784;
constexpr int ID_NEW_REMINDER = 32785;
constexpr int ID_EDIT = 32800;
constexpr int ID_DELETE = 32801;
constexpr int ID_NEW_VEHICLE = 32802;
constexpr int ID_QUICK_STATS = 32837;
constexpr int ID_SELECT_VEHICLE = 32841;
constexpr int ID_DATE_RANGE_ALL = 32850; // 32850..32855: date range types 0..5
constexpr int ID_DATE_RANGE_LAST_WEEK = 32851;
constexpr int ID_DATE_RANGE_LAST_TWO_WEEKS = 32852;
constexpr int ID_DATE_RANGE_MONTH_TO_DATE = 32853;
constexpr int ID_DATE_RANGE_YEAR_TO_DATE = 32854;
constexpr int ID_DATE_RANGE_CUSTOM = 32855;
constexpr int ID_ENTRY_TYPE_ALL = 32900; // 32900..32904: entry types 0..4
constexpr int ID_ENTRY_TYPE_FUEL = 32901;
constexpr int ID_ENTRY_TYPE_REPAIR = 32902;
constexpr int ID_ENTRY_TYPE_TRIP = 32903;
constexpr int ID_ENTRY_TYPE_EXPENSE = 32904;
constexpr int ID_MANAGE_REMINDERS = 32905;
constexpr int ID_OPTIONS = 915;
constexpr int ID_SORT_DATE = 919; // 919..922 sort column, 923..924 direction
constexpr int ID_SORT_DESCRIPTION = 920;
constexpr int ID_SORT_ODOMETER = 921;
constexpr int ID_SORT_AMOUNT = 922;
constexpr int ID_SORT_ASCENDING = 923;
constexpr int ID_SORT_DESCENDING = 924;
constexpr int ID_IMPORT = 33100;
constexpr int ID_EXPORT = 33101;
constexpr int ID_BACKUP = 33102;
constexpr int ID_OPEN_DATA_FILE = 33103;
constexpr int ID_VIEW_CHARTS = 33500;
constexpr int ID_VIEW_REPORT = 33501;
constexpr int ID_CHECK_DATA_FILE = 33480;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
