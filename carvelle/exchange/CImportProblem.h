#pragma once
// What an import cannot read, as a code and the values its message names: the file as a whole,
// or one row's value with its line and column. ImportText puts it into words.

#include "exchange/CImportFields.h"

#include <QString>

struct CImportProblem {
    enum Code {
        None,
        // The file as a whole; value is the file's name unless said otherwise.
        FileNotRead,
        FileNotText,
        FileIsDataFile,
        FileEmpty,
        NoDateColumn,     // value: the header's names
        NoOdometerColumn, // value: the header's names
        RecordTooLong, // line: where the record starts; limit: the longest allowed; nothing after it is read
        UnclosedQuote, // line: where the record starts; its quote runs to the end of the file
        NoTable,       // no table of the file has rows that can be stored
        // One row; value is the value at fault as the file has it.
        Missing,
        BadNumber,
        Negative,
        TooLarge,
        OdometerTooLarge,
        BadDate, // dateFormat: the form it was read in
        DateOutOfRange,
        BadType,
        BadText, // the line is not valid UTF-8
        NoVehicle,
        RepeatedHeader, // the table's header line again, as where two exports were joined
        // A table of the file; line: its header line.
        MixedDelimiters, // value: the delimiter its header uses, then the file's
        // About a table, not a fault; value: the table's marker or header.
        NoPlace,         // the table holds what the data file has no place for
        NoVehicleColumn, // a table of vehicles without their names
        CodeCount
    };

    Code code = None;
    qint64 line = 0;    // the file's line, from 1; 0 when not known
    int column = -1;    // the file's column, from 0; -1 when no one value is at fault
    QString columnName; // its name in the file's header
    CImportFields::Field field = CImportFields::FieldCount;
    QString value;
    CImportFields::DateFormat dateFormat = CImportFields::DateIso;
    qint64 limit = 0;

    bool IsProblem() const { return code != None; }
    // The file cannot be read past this, so there are no good rows to pick out.
    bool StopsTheFile() const { return code >= FileNotRead && code <= NoTable; }
};
