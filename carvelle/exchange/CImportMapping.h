#pragma once
// What the columns of an imported CSV file mean: recognised from the header (our own export, a
// fuel log or a service log of another program), and how one record becomes an entry. Values
// that cannot be read are errors with a reason, never a silent 0.

#include "core/LocalDates.h"

#include "platform/WinTypes.h"
#include "records/CEntry.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

struct CImportProblem;

// One record of the file as it will be stored.
struct CImportRow {
    qint64 line = 0;
    QString vehicle; // the file's vehicle name; empty when it names none
    CEntry::Type type = CEntry::EntryNone;
    double date = 0.0; // stored (UTC) OLE date
    QDate day;         // the local day
    LONG odometer = 0;
    float amount = 0.0f;
    float custom1 = 0.0f;
    float custom2 = 0.0f;
    QString vendor;
    QString name;
    QString notes;
};

class CImportMapping {
public:
    enum Field {
        FieldVehicle,
        FieldDate,
        FieldType,
        FieldOdometer,
        FieldQuantity,
        FieldUnitPrice,
        FieldAmount,
        FieldVendor,
        FieldDescription,
        FieldNotes,
        FieldPartial,
        FieldMissed,
        FieldCount
    };
    enum Kind { KindOwn, KindFuelLog, KindServiceLog };
    enum DateFormat { DateIso, DateMonthDayYear, DateDayMonthYear, DateDayMonthYearDots, DateFormatCount };

    // The mapping of a header line; Usable() says whether it can be imported and, if not, Problem() why.
    static CImportMapping Recognise(const QStringList& header);
    bool Usable() const { return m_Columns[FieldDate] >= 0 && m_Columns[FieldOdometer] >= 0; }
    CImportProblem Problem() const;

    Kind GetKind() const { return m_Kind; }
    int Column(Field field) const { return m_Columns[field]; }
    // The field of a column, or FieldCount when the column is not imported.
    Field FieldOf(int column) const;
    static QString FieldName(Field field);
    static QString KindName(Kind kind);

    // Choices the file cannot fix by itself.
    bool decimalComma = false;
    DateFormat dateFormat = DateIso;
    CEntry::Type serviceType = CEntry::EntryRepair; // what a service log's rows become

    // A record as an entry; false with the problem when a value cannot be read. The problem's line
    // is left to the caller.
    bool Convert(const QStringList& fields, CImportRow& row, CImportProblem& problem) const;

    // Guesses from the first records: the date format (ambiguous when the rows fit both the
    // month-first and the day-first form; guess then holds the locale's order) and the decimal comma.
    struct Detection {
        DateFormat dateFormat = DateIso;
        bool dateAmbiguous = false;
        bool decimalComma = false;
    };
    Detection Detect(const QList<QStringList>& records) const;

    // Readers of single values, for the mapping and the console tool's options.
    static std::optional<double> ParseNumber(const QString& text, bool decimalComma);
    // A date with an optional time ("14:30", "2:30 PM", "T14:30:00"; noon without one), as the
    // local date and time; problem says why not.
    struct LocalTime {
        QDate date;
        QTime time;
    };
    static std::optional<LocalTime> ParseDate(const QString& text, DateFormat format,
                                              CImportProblem* problem);
    static QString DateFormatName(DateFormat format);
    static std::optional<DateFormat> DateFormatFromName(const QString& name);
    static QString NormaliseHeader(const QString& text);

private:
    QString Value(const QStringList& fields, Field field) const;

    std::array<int, FieldCount> m_Columns{};
    Kind m_Kind = KindOwn;
    QStringList m_Header;
    mutable CLocalDays m_Days; // a cache only
};
