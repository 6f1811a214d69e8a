#pragma once
// What an import found, in the words the import dialog and the console tool show alike.

#include "exchange/CEntryImporter.h"
#include "exchange/CImportProblem.h"

#include <QString>
#include <QStringList>

// "Line 12: Odometer is missing", or the reason alone when the line is not known; a problem of
// the whole file as it stands.
QString ImportText(const CImportProblem& problem);
// The counts of an import that ran, and what the user should know about the file.
QString ImportText(const CEntryImporter::Summary& summary);
// Over the list of refused rows: how many of how many rows cannot be read.
QString ImportErrorsHeading(const CEntryImporter& importer);
// A line for each problem kept and one that counts the rest.
QStringList ImportErrorLines(const CEntryImporter& importer);
