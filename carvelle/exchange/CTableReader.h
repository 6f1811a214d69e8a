#pragma once
// Finds the tables of a CSV file as it reads it, one record at a time: title lines at the start
// ("My Fuel Manager - Fuel"), section markers ("## Log", "FUEL RECORDS") and, after each, a line of
// header names and the rows under it. A file without markers is one table under its first line.

#include "exchange/CCsvReader.h"

#include <QString>
#include <QStringList>

class CTableReader {
public:
    enum Role { RoleTitle, RoleMarker, RoleHeader, RoleRow };
    struct Record {
        Role role = RoleRow;
        QStringList fields;
        qint64 line = 0;
        bool badText = false;
        int table = -1;          // the table of a header or row, counted from 0
        QString marker;          // a header's: the marker above it, empty when none
        char otherDelimiter = 0; // a header written with another delimiter than the file's
    };

    explicit CTableReader(CCsvReader& reader) : m_Reader(reader) {}

    // Back to the start of the file.
    bool Restart();
    CCsvReader::ReadResult Next(Record& record);
    // The file's title lines, joined.
    const QString& Title() const { return m_Title; }

private:
    CCsvReader::ReadResult Take(Record& record);
    bool LooksLikeHeader(const QStringList& fields) const;
    // A line of units that the file's delimiter splits, above a header (peeks at the next record).
    bool StatesUnitsAboveHeader(const Record& record);

    CCsvReader& m_Reader;
    Record m_Peeked;
    CCsvReader::ReadResult m_PeekResult = CCsvReader::ReadEnd;
    bool m_HavePeeked = false;
    bool m_ExpectHeader = true;
    bool m_First = true;
    int m_Table = -1;
    QString m_Marker;
    QString m_Title;
};
