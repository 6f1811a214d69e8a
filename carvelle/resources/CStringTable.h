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
constexpr int IDS_TEMPLATE_FILE = 32810;
constexpr int IDS_CANNOT_CREATE_DATA_FILE = 32811;
constexpr int IDS_NO_ACTIVE_VEHICLE = 32820;
constexpr int IDS_MY_VEHICLES = 32840;
constexpr int IDS_EMPTY_LIST = 32864;
constexpr int IDS_DATA_FILE_FILTER = 32895;
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

// The text of the given number; empty when there is none.
QString LoadStringResource(int id);

// The text of the given number with its printf-style conversions (%s, %d, %i) replaced, in order,
// by the given arguments and "%%" by "%". One pass: an argument's own "%s" stays as it is.
QString FormatStringResource(int id, const QStringList& arguments);
