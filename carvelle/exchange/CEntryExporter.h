#pragma once
// Writes entries as CSV: RFC 4180, UTF-8, one header row, ISO local days, '.' as the decimal
// point and no grouping. For a trip the odometer is the end reading and the start reading goes
// in Quantity, so that an import gives back every field.

#include <QByteArray>
#include <QString>

class CDataLayer;
class CEntryFilter;
class QIODevice;

class CEntryExporter {
public:
    explicit CEntryExporter(CDataLayer& dataLayer);

    // The entries that the filter selects (its vehicle 0: every vehicle's), by vehicle, date and
    // odometer. False when they cannot be read or written.
    bool Write(CEntryFilter& filter, QIODevice& out);
    // To a file that appears, complete, only when everything was written.
    bool WriteFile(CEntryFilter& filter, const QString& path);

    qint64 Count() const { return m_Count; }
    // Entries whose stored date is no day from the year 100 to 9999: their Date column holds the
    // stored number, for the caller to warn of.
    qint64 BadDates() const { return m_BadDates; }
    // Why the last write failed.
    const QString& Problem() const { return m_Problem; }

    static QByteArray HeaderLine();

    // Text cells that a spreadsheet would run as a formula get a leading ' (the importer takes it
    // away again); numbers are written as they are.
    bool spreadsheetSafe = false;

private:
    CDataLayer& m_DataLayer;
    qint64 m_Count = 0;
    qint64 m_BadDates = 0;
    QString m_Problem;
};
