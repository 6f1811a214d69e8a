#include "exchange/CTableReader.h"

#include "exchange/CImportMapping.h"
#include "exchange/ImportUnits.h"

#include <algorithm>

namespace {

// Text with a letter that reads as neither a number nor a date: a name, not a value.
bool IsWordy(const QString& text) {
    bool letter = false;
    for (const QChar c : text) {
        if (c.isLetter()) {
            letter = true;
            break;
        }
    }
    return letter && !CImportMapping::ParseNumber(text, false) && !CImportMapping::ParseNumber(text, true);
}

bool IsBlank(const QString& text) {
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

// Whether the record holds one value only, in its first field: a title or marker line. Most
// records are rows with many values, so it looks no further than the second.
bool OnlyFirst(const QStringList& fields) {
    if (fields.isEmpty() || IsBlank(fields[0]))
        return false;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        if (!IsBlank(fields[i]))
            return false;
    }
    return true;
}

// The delimiter other than the file's that splits a one-field line into columns.
char OtherDelimiter(const QString& text, char used) {
    for (const char delimiter : {',', ';', '\t'}) {
        if (delimiter != used && text.count(QLatin1Char(delimiter)) >= 2)
            return delimiter;
    }
    return 0;
}

} // namespace

bool CTableReader::Restart() {
    m_HavePeeked = false;
    m_ExpectHeader = true;
    m_First = true;
    m_Table = -1;
    m_Marker.clear();
    m_Title.clear();
    return m_Reader.Rewind();
}

CCsvReader::ReadResult CTableReader::Take(Record& record) {
    if (m_HavePeeked) {
        m_HavePeeked = false;
        record = std::move(m_Peeked);
        return m_PeekResult;
    }
    // The record's list is reused from row to row, so it seldom allocates.
    record.role = RoleRow;
    record.table = -1;
    record.marker.clear();
    record.otherDelimiter = 0;
    const CCsvReader::ReadResult result = m_Reader.Next(record.fields, record.line);
    record.badText = m_Reader.LastRecordHadBadText();
    return result;
}

bool CTableReader::LooksLikeHeader(const QStringList& fields) const {
    int names = 0;
    for (const QString& field : fields) {
        const QString text = field.trimmed();
        if (text.isEmpty())
            continue;
        if (!IsWordy(text))
            return false;
        ++names;
    }
    return names >= 2;
}

bool CTableReader::StatesUnitsAboveHeader(const Record& record) {
    // "Distance: miles; Volume: UK gallons" is split by a file's semicolons: it is a line of units
    // when it says units and a header with more names follows.
    if (!IsWordy(record.fields.value(0).trimmed()))
        return false;
    const QString text = record.fields.join(QLatin1Char(m_Reader.Delimiter()));
    if (!UnitsInText(text).States())
        return false;
    auto names = [](const QStringList& fields) {
        return std::count_if(fields.begin(), fields.end(),
                             [](const QString& field) { return !IsBlank(field); });
    };
    m_PeekResult = Take(m_Peeked);
    m_HavePeeked = true;
    return m_PeekResult == CCsvReader::ReadRecord && LooksLikeHeader(m_Peeked.fields) &&
           names(m_Peeked.fields) > names(record.fields);
}

CCsvReader::ReadResult CTableReader::Next(Record& record) {
    const CCsvReader::ReadResult result = Take(record);
    if (result != CCsvReader::ReadRecord)
        return result;
    const bool first = m_First;
    m_First = false;
    // Road Trip's first line names the program and, in quotes, its delimiter and decimal mark.
    if (first &&
        record.fields.value(0).trimmed().startsWith(QLatin1String("ROAD TRIP CSV"), Qt::CaseInsensitive)) {
        record.role = RoleTitle;
        m_Title = record.fields.join(QLatin1Char(m_Reader.Delimiter()));
        return result;
    }
    bool single = OnlyFirst(record.fields) && IsWordy(record.fields[0].trimmed());
    QString lead = single ? record.fields[0].trimmed() : QString();
    if (!single && m_ExpectHeader && StatesUnitsAboveHeader(record)) {
        single = true;
        // As it was most likely written: the reader trims the fields.
        const char delimiter = m_Reader.Delimiter();
        lead =
            record.fields
                .join(delimiter == '\t' ? QStringLiteral(" ") : QLatin1Char(delimiter) + QStringLiteral(" "))
                .trimmed();
    }
    if (single && m_ExpectHeader && record.fields.size() == 1) {
        if (const char other = OtherDelimiter(lead, m_Reader.Delimiter()); other) {
            record.role = RoleHeader;
            record.otherDelimiter = other;
            record.table = ++m_Table;
            record.marker = m_Marker;
            m_Marker.clear();
            m_ExpectHeader = false;
            return result;
        }
    }
    if (single) {
        bool marker = lead.startsWith(u'#') || m_ExpectHeader;
        if (!marker) {
            // A lone name is a marker only when header names follow it; else it is a row.
            m_PeekResult = Take(m_Peeked);
            m_HavePeeked = true;
            marker = m_PeekResult == CCsvReader::ReadRecord && LooksLikeHeader(m_Peeked.fields);
        }
        if (marker) {
            if (m_Table < 0 && !lead.startsWith(u'#')) {
                record.role = RoleTitle;
                m_Title += (m_Title.isEmpty() ? QString() : QStringLiteral(" ")) + lead;
            } else {
                record.role = RoleMarker;
                m_Marker = lead;
            }
            m_ExpectHeader = true;
            return result;
        }
    }
    if (m_ExpectHeader) {
        record.role = RoleHeader;
        record.table = ++m_Table;
        record.marker = m_Marker;
        m_Marker.clear();
        m_ExpectHeader = false;
        return result;
    }
    record.role = RoleRow;
    record.table = m_Table;
    return result;
}
