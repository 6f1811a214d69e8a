#pragma once
// The words an import speaks of a table's columns in: the fields a column can hold, the kinds of
// table, what a lone price column means and the forms of a date. The mapping, the known programs'
// profiles and the problems share them.

struct CImportFields {
    // The fields a column can hold; FieldCount is a column that is not used.
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
        FieldFull, // a full tank: not full is a partial fill-up
        FieldTime, // the time of the date column, when apart
        FieldCount
    };
    enum Kind { KindOwn, KindFuelLog, KindServiceLog, KindVehicles, KindSkipped };
    // What a price column that does not say whether it is per unit means.
    enum PriceReading { PriceNone, PriceUnit, PriceTotal };
    // Who decided it: the known program's layout, the rows' figures, too few rows to tell (a
    // guess), or the user.
    enum PriceReason { ReasonProfile, ReasonNumbers, ReasonGuess, ReasonUser };
    enum DateFormat { DateIso, DateMonthDayYear, DateDayMonthYear, DateDayMonthYearDots, DateFormatCount };
};
