#pragma once
// Command, template and resource numbers of the program. Controls are found by name, not number.

// Menus
constexpr int IDR_CONTEXT_MENUS = 207; // popups: 0 vehicle list, 1 entry list, 2 sort by
constexpr int IDR_DONE_CANCEL = 221;
constexpr int IDR_MAINFRAME_MENU = 230;
constexpr int IDR_REMINDER_LIST_MENU = 231; // "New"; "Menu": Edit, Delete, Done..., Done

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
constexpr int ID_REMINDER_WORK_DONE = 32906; // "Done...": the reminder's work is done
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
