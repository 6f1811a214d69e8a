#pragma once
// Readers of single values of an imported file, for the mapping, the known programs' profiles and
// the console tool's options: numbers in the file's notation, dates in one of its forms with an
// optional time, header names as they are compared, and the guess of the forms from the rows.

#include "exchange/CImportFields.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

struct CImportProblem;

namespace ImportValues {

// A number as the file writes it: grouping in threes, currency signs and codes, the decimal comma
// when asked; nullopt when it is no number.
std::optional<double> ParseNumber(const QString& text, bool decimalComma);

// A date with an optional time ("14:30", "2:30 PM", "T14:30:00"; noon without one), as the
// local date and time; problem says why not. A two-digit year is the one nearest today.
struct LocalTime {
    QDate date;
    QTime time;
};
std::optional<LocalTime> ParseDate(const QString& text, CImportFields::DateFormat format,
                                   CImportProblem* problem);
QString DateFormatName(CImportFields::DateFormat format);
std::optional<CImportFields::DateFormat> DateFormatFromName(const QString& name);

// A header name as it is compared: lower case, without accents, spaces, punctuation or a unit
// in brackets at the end ("Odo (km)" is "odo").
QString NormaliseHeader(const QString& text);

// A row's type that names a vehicle of our own export rather than an entry.
bool IsVehicleType(const QString& type);

// Guesses from the first records' dates and numbers: the date format (ambiguous when the rows
// fit both the month-first and the day-first form; the guess then holds the locale's order) and
// the decimal comma.
struct Detection {
    CImportFields::DateFormat dateFormat = CImportFields::DateIso;
    bool dateAmbiguous = false;
    bool dateUnknown = false; // no format reads most of the dates
    bool decimalComma = false;
};
Detection Detect(const QStringList& dates, const QStringList& numbers);

} // namespace ImportValues
