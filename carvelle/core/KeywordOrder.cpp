#include "core/KeywordOrder.h"

#include <QCollator>

#include <algorithm>

namespace {

QCollator KeywordCollator() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

} // namespace

void SortKeywordNames(QStringList& names) {
    const QCollator collator = KeywordCollator();
    std::stable_sort(names.begin(), names.end(), collator);
}

int SortedKeywordIndex(const QStringList& sorted, const QString& name) {
    const QCollator collator = KeywordCollator();
    const auto at =
        std::upper_bound(sorted.begin(), sorted.end(), name,
                         [&collator](const QString& a, const QString& b) { return collator(a, b); });
    return static_cast<int>(at - sorted.begin());
}
