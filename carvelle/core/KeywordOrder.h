#pragma once
// The order of the pick lists' keywords: by the locale, ignoring case.

#include <QString>
#include <QStringList>

// Sorts the names in pick-list order; names that compare equal keep their order.
void SortKeywordNames(QStringList& names);
// Where a name goes in a list sorted in pick-list order.
int SortedKeywordIndex(const QStringList& sorted, const QString& name);
