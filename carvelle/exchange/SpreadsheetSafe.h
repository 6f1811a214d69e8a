#pragma once
// A text cell that a spreadsheet would take as a formula (one beginning with =, +, -, @, a tab or
// a carriage return) is written with a ' before it, which spreadsheets show as text and do not
// run. The importer takes exactly that ' away again. A text that begins with ' before one of those
// gets one more, so that every text comes back as it was.

#include <QString>
#include <QStringView>

// The text needs the leading ' in a spreadsheet-safe export.
bool NeedsFormulaQuote(QStringView text);
// The text as it was before a spreadsheet-safe export, for a cell that begins with such a '.
QString WithoutFormulaQuote(const QString& text);
