#include "exchange/SpreadsheetSafe.h"

namespace {

bool StartsFormula(QChar c) {
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

} // namespace

bool NeedsFormulaQuote(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    return i < text.size() && StartsFormula(text[i]);
}

QString WithoutFormulaQuote(const QString& text) {
    if (text.isEmpty() || text.front() != u'\'' || !NeedsFormulaQuote(text))
        return text;
    return text.mid(1);
}
