#pragma once
// The pick lists of the editing pages: an editable combo of the keywords of one type, and the
// keyword manager behind the pages' "..." buttons.

#include "records/CKeyword.h"

#include <QString>

class QComboBox;

// Refills the combo's list, sorted, with the names of the stored keywords of the type; a failed
// load leaves it empty. The typed text stays; typing never adds to the list or completes.
void FillKeywordCombo(CKeyword::Type type, QComboBox* combo);

// Runs the keyword manager over the active window. True, with the chosen keyword in text, only
// when the user pressed Done on a selected keyword; otherwise text is left as it was.
bool ManageKeywords(CKeyword::Type type, QString& text);
// The same, putting the chosen keyword into the combo's edit field; the list is not refilled.
bool ManageKeywords(CKeyword::Type type, QComboBox* combo);
