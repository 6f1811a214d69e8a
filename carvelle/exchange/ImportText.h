#pragma once
// What an import found, in the words the import dialog and the console tool show alike.

#include "exchange/CEntryImporter.h"
#include "exchange/CImportProblem.h"

#include <QString>
#include <QStringList>

// Where the words are read: a hint names the dialog's choices or the console tool's options.
enum class ImportReader { Dialog, Console };

// "Line 12: Odometer is missing", or the reason alone when the line is not known; a problem of
// the whole file as it stands. A value is quoted with at most 80 characters.
QString ImportText(const CImportProblem& problem);
// The counts of an import that ran, and what the user should know about the file.
QString ImportText(const CEntryImporter::Summary& summary);
// What was made of each table of the file: its kind and the program that wrote it, what a lone
// price was taken as, the columns not used, the tables skipped and the sections without rows.
QStringList ImportNotes(const CEntryImporter& importer);
// The summary of an import that ran: the counts, then the notes.
QString ImportSummaryText(const CEntryImporter& importer);
// Over the list of refused rows: how many of how many rows cannot be read.
QString ImportErrorsHeading(const CEntryImporter& importer);
// A line for each problem, repeats of one kind summed up in one line ("45 rows: date not
// readable, first at line 2 (...)"), and how to give the date format when dates were not read.
QStringList ImportErrorLines(const CEntryImporter& importer, ImportReader reader = ImportReader::Dialog);
