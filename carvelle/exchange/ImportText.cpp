#include "exchange/ImportText.h"

#include "exchange/CImportProfile.h"

#include "core/CStringTable.h"
#include "exchange/ImportUnits.h"

namespace {

constexpr qsizetype kLongestValue = 80;

// A value as a message quotes it: a long one is cut.
QString Quoted(const QString& value) {
    return value.size() > kLongestValue ? value.left(kLongestValue - 1) + u'\u2026' : value;
}

QString Part(int id, int index) {
    return LoadStringResource(id).split(u'|').value(index);
}

QString DelimiterName(char delimiter) {
    return Part(IDS_DELIMITER_NAMES, delimiter == ';' ? 1 : delimiter == '\t' ? 2 : 0);
}

// The field, and the file's own name for its column where that is another.
QString FieldText(const CImportProblem& p) {
    const QString field = CImportMapping::FieldName(p.field);
    if (p.columnName.isEmpty() ||
        CImportMapping::NormaliseHeader(p.columnName) == CImportMapping::NormaliseHeader(field))
        return field;
    return FormatStringResource(IDS_IMPORT_FIELD_COLUMN, {field, Quoted(p.columnName)});
}

QString Reason(const CImportProblem& p) {
    const QString field = FieldText(p);
    const QString value = Quoted(p.value);
    switch (p.code) {
    case CImportProblem::None:
    case CImportProblem::CodeCount:
        return QString();
    case CImportProblem::FileNotRead:
        return FormatStringResource(IDS_IMPORT_NOT_READ, {value});
    case CImportProblem::FileNotText:
        return FormatStringResource(IDS_IMPORT_NOT_TEXT, {value});
    case CImportProblem::FileIsDataFile:
        return FormatStringResource(IDS_IMPORT_DATA_FILE, {value});
    case CImportProblem::FileEmpty:
        return FormatStringResource(IDS_IMPORT_EMPTY, {value});
    case CImportProblem::NoDateColumn:
        return FormatStringResource(IDS_IMPORT_NO_DATE_COLUMN, {value});
    case CImportProblem::NoOdometerColumn:
        return FormatStringResource(IDS_IMPORT_NO_ODOMETER_COLUMN, {value});
    case CImportProblem::RecordTooLong:
        return FormatStringResource(IDS_IMPORT_TOO_LONG,
                                    {QString::number(p.line), QString::number(p.limit / (1 << 20))});
    case CImportProblem::UnclosedQuote:
        return FormatStringResource(IDS_IMPORT_UNCLOSED_QUOTE, {QString::number(p.line)});
    case CImportProblem::NoTable:
        return FormatStringResource(IDS_IMPORT_NO_TABLE, {value});
    case CImportProblem::Missing:
        return FormatStringResource(IDS_ROW_MISSING, {field});
    case CImportProblem::BadNumber:
        return FormatStringResource(IDS_ROW_BAD_NUMBER, {field, value});
    case CImportProblem::Negative:
        return FormatStringResource(IDS_ROW_NEGATIVE, {field, value});
    case CImportProblem::TooLarge:
        return FormatStringResource(IDS_ROW_TOO_LARGE, {field, value});
    case CImportProblem::OdometerTooLarge:
        return FormatStringResource(IDS_ROW_ODOMETER_TOO_LARGE, {value});
    case CImportProblem::BadDate:
        return FormatStringResource(IDS_ROW_BAD_DATE, {value, CImportMapping::DateFormatName(p.dateFormat)});
    case CImportProblem::DateOutOfRange:
        return FormatStringResource(IDS_ROW_DATE_RANGE, {value});
    case CImportProblem::BadType:
        return FormatStringResource(IDS_ROW_BAD_TYPE, {value});
    case CImportProblem::BadText:
        return LoadStringResource(IDS_ROW_BAD_TEXT);
    case CImportProblem::NoVehicle:
        return LoadStringResource(IDS_ROW_NO_VEHICLE);
    case CImportProblem::RepeatedHeader:
        return LoadStringResource(IDS_ROW_REPEATED_HEADER);
    case CImportProblem::MixedDelimiters:
        // value: the table's delimiter, then the file's.
        return FormatStringResource(IDS_TABLE_MIXED_DELIMITERS,
                                    {DelimiterName(p.value.left(1).toLatin1().append(',').at(0)),
                                     DelimiterName(p.value.mid(1).toLatin1().append(',').at(0))});
    case CImportProblem::NoPlace:
        return FormatStringResource(IDS_TABLE_NO_PLACE, {QString::number(p.line), value});
    case CImportProblem::NoVehicleColumn:
        return LoadStringResource(IDS_TABLE_NO_VEHICLE_COLUMN);
    }
    return QString();
}

// A table as the notes name it: its marker, else its first column names.
QString TableName(const CEntryImporter::Table& table) {
    if (!table.marker.isEmpty())
        return Quoted(table.marker);
    return Quoted(table.mapping.Header().join(QStringLiteral(", ")));
}

// "Fuel log (Fuelly fuel-ups)", "Service or expense log, imported as repairs".
QString KindText(const CImportMapping& mapping) {
    QString text = CImportMapping::KindName(mapping.GetKind());
    if (mapping.Profile())
        text += QStringLiteral(" (%1)").arg(mapping.Profile()->Name());
    if (mapping.GetKind() == CImportMapping::KindServiceLog)
        text += QStringLiteral(", ") +
                Part(IDS_IMPORT_SERVICE_AS, mapping.serviceType == CEntry::EntryExpense ? 1 : 0);
    return text;
}

QString PriceText(const CImportMapping& mapping) {
    const int column = mapping.PriceColumn();
    if (column < 0 || mapping.GetPriceReading() == CImportMapping::PriceNone)
        return QString();
    const bool unit = mapping.GetPriceReading() == CImportMapping::PriceUnit;
    QString why;
    switch (mapping.GetPriceReason()) {
    case CImportMapping::ReasonProfile:
        why = Part(IDS_IMPORT_PRICE_WORDS, 2)
                  .replace(QStringLiteral("%s"), mapping.Profile() ? mapping.Profile()->Name() : QString());
        break;
    case CImportMapping::ReasonNumbers:
        why = Part(IDS_IMPORT_PRICE_WORDS, unit ? 3 : 4);
        break;
    case CImportMapping::ReasonGuess:
        why = Part(IDS_IMPORT_PRICE_WORDS, 5);
        break;
    case CImportMapping::ReasonUser:
        why = Part(IDS_IMPORT_PRICE_WORDS, 6);
        break;
    }
    return FormatStringResource(IDS_IMPORT_PRICE_READING, {Quoted(mapping.Header().value(column)),
                                                           Part(IDS_IMPORT_PRICE_WORDS, unit ? 0 : 1), why});
}

// What the table's distances and quantities are taken as, and what they become.
QStringList UnitNotes(const CImportMapping& mapping) {
    QStringList notes;
    if (mapping.UnitsFromText() != CImportMapping::UnitsFromNone &&
        (mapping.fileDistance == FileDistance::Unstated || mapping.fileVolume == FileVolume::Unstated)) {
        const bool title = mapping.UnitsFromText() == CImportMapping::UnitsFromTitle;
        notes << FormatStringResource(IDS_IMPORT_UNITS_FROM_TEXT,
                                      {Part(IDS_IMPORT_UNIT_PLACES, title ? 0 : 1),
                                       Quoted(title ? mapping.Title() : mapping.Marker())});
    }
    const QString distances = Part(IDS_IMPORT_UNIT_KINDS, 0);
    const QString quantities = Part(IDS_IMPORT_UNIT_KINDS, 1);
    const FileDistance distance = mapping.DistanceIn();
    const QString myDistance = UnitName(AsFileUnit(mapping.userDistance));
    if (distance == FileDistance::Unstated && mapping.DistanceUnitColumn() >= 0)
        notes << FormatStringResource(
            IDS_IMPORT_UNIT_COLUMN,
            {distances, Quoted(mapping.Header().value(mapping.DistanceUnitColumn())), myDistance});
    else if (distance == FileDistance::Unstated)
        notes << FormatStringResource(IDS_IMPORT_UNITS_UNSTATED, {distances, myDistance});
    else if (Converts(distance, mapping.userDistance))
        notes << FormatStringResource(IDS_IMPORT_UNITS_CONVERTED,
                                      {distances, UnitName(distance), myDistance});
    else
        notes << FormatStringResource(IDS_IMPORT_UNITS_KEPT, {distances, UnitName(distance)});

    const bool fuel =
        mapping.GetKind() == CImportMapping::KindFuelLog || mapping.GetKind() == CImportMapping::KindOwn;
    if (!fuel)
        return notes;
    const FileVolume volume = mapping.VolumeIn();
    const QString myVolume = UnitName(AsFileUnit(mapping.userVolume));
    if (volume == FileVolume::Unstated && mapping.VolumeUnitColumn() >= 0)
        notes << FormatStringResource(
            IDS_IMPORT_UNIT_COLUMN,
            {quantities, Quoted(mapping.Header().value(mapping.VolumeUnitColumn())), myVolume});
    else if (volume == FileVolume::Unstated && mapping.UnknownUnitColumn() >= 0)
        notes << FormatStringResource(
            IDS_IMPORT_UNIT_UNKNOWN,
            {Quoted(mapping.Header().value(mapping.UnknownUnitColumn())), Quoted(mapping.UnknownUnit())});
    else if (volume == FileVolume::Unstated)
        notes << FormatStringResource(IDS_IMPORT_UNITS_UNSTATED, {quantities, myVolume});
    else if (volume == FileVolume::Kilograms || volume == FileVolume::KilowattHours)
        notes << FormatStringResource(IDS_IMPORT_UNITS_NOT_VOLUME, {UnitName(volume)});
    else if (Converts(volume, mapping.userVolume))
        notes << FormatStringResource(IDS_IMPORT_UNITS_CONVERTED, {quantities, UnitName(volume), myVolume});
    else
        notes << FormatStringResource(IDS_IMPORT_UNITS_KEPT, {quantities, UnitName(volume)});

    const int partial = mapping.Column(CImportMapping::FieldPartial);
    if (partial >= 0 && !mapping.FlagValues(CImportMapping::FieldPartial).isEmpty())
        notes << FormatStringResource(
            IDS_IMPORT_FLAG_VALUES,
            {Quoted(mapping.Header().value(partial)),
             mapping.FlagValues(CImportMapping::FieldPartial).join(QStringLiteral(", "))});
    return notes;
}

// A flag column read as yes and no that holds other values ("2" of a fill-type code) is named:
// its rows would be read wrongly.
QStringList FlagWarnings(const CEntryImporter::Table& table) {
    QStringList warnings;
    const CImportMapping& mapping = table.mapping;
    if (mapping.GetKind() != CImportMapping::KindFuelLog)
        return warnings;
    for (CImportMapping::Field field :
         {CImportMapping::FieldPartial, CImportMapping::FieldFull, CImportMapping::FieldMissed}) {
        const int column = mapping.Column(field);
        if (column < 0 || !mapping.FlagValues(field).isEmpty())
            continue;
        QStringList odd;
        for (const QStringList& row : table.sample) {
            const QString value = row.value(column).trimmed();
            if (!value.isEmpty() && !CImportProfile::IsYes(value) && !CImportProfile::IsNo(value) &&
                !odd.contains(value) && odd.size() < 3)
                odd << Quoted(value);
        }
        if (!odd.isEmpty())
            warnings << FormatStringResource(
                IDS_IMPORT_FLAG_NOT_YES_NO,
                {Quoted(mapping.Header().value(column)), odd.join(QStringLiteral(", "))});
    }
    return warnings;
}

} // namespace

QString ImportText(const CImportProblem& problem) {
    const QString reason = Reason(problem);
    // The file's problems and the notes about tables name their place themselves.
    if (problem.line <= 0 || problem.StopsTheFile() || problem.code == CImportProblem::NoPlace)
        return reason;
    return FormatStringResource(IDS_LINE_ERROR, {QString::number(problem.line), reason});
}

QString ImportText(const CEntryImporter::Summary& summary) {
    QString text = FormatStringResource(
        IDS_IMPORT_SUMMARY, {QString::number(summary.read), QString::number(summary.imported),
                             QString::number(summary.duplicates), QString::number(summary.refused)});
    if (summary.vehiclesMade > 0)
        text +=
            u'\n' + FormatStringResource(IDS_IMPORT_VEHICLES_MADE, {QString::number(summary.vehiclesMade)});
    if (summary.latin1)
        text += QStringLiteral("\n\n") + LoadStringResource(IDS_IMPORT_LATIN1);
    if (summary.fillUpMarks)
        text += QStringLiteral("\n\n") + LoadStringResource(IDS_IMPORT_FILL_UP_MARKS);
    if (summary.currencies.size() > 1)
        text += QStringLiteral("\n\n") +
                FormatStringResource(IDS_IMPORT_CURRENCIES, {summary.currencies.join(QStringLiteral(", "))});
    return text;
}

QStringList ImportNotes(const CEntryImporter& importer) {
    QStringList notes;
    const auto& tables = importer.Tables();
    // A file of one table says what it is read as; a file of several, what each is.
    const bool several = tables.size() > 1 || !importer.EmptySections().empty();
    for (const CEntryImporter::Table& table : tables) {
        const CImportMapping& mapping = table.mapping;
        const qint64 line = table.markerLine > 0 ? table.markerLine : table.headerLine;
        if (table.otherDelimiter)
            continue; // an error of its own
        if (mapping.SkippedByMarker()) {
            notes << FormatStringResource(IDS_TABLE_NO_PLACE, {QString::number(line), TableName(table)});
            continue;
        }
        QString what = KindText(mapping);
        if (mapping.GetKind() == CImportMapping::KindVehicles && mapping.Usable()) {
            QStringList names;
            for (const QStringList& row : table.sample) {
                const QString name = mapping.Value(row, CImportMapping::FieldVehicle);
                if (!name.trimmed().isEmpty() && !names.contains(name))
                    names << Quoted(name);
            }
            what += QStringLiteral(", ") +
                    FormatStringResource(IDS_IMPORT_VEHICLES_NAMED, {names.join(QStringLiteral(", "))});
        }
        if (!mapping.Usable()) {
            // What it lacks, which the user may find among its columns.
            const CImportMapping::Field missing =
                mapping.GetKind() == CImportMapping::KindVehicles ? CImportMapping::FieldVehicle
                : mapping.Column(CImportMapping::FieldDate) < 0   ? CImportMapping::FieldDate
                                                                  : CImportMapping::FieldOdometer;
            notes << FormatStringResource(
                IDS_TABLE_NO_COLUMNS,
                {QString::number(line), TableName(table), CImportMapping::FieldName(missing).toLower()});
        } else if (several) {
            notes << FormatStringResource(IDS_IMPORT_TABLE, {QString::number(line), TableName(table), what});
        } else {
            notes << FormatStringResource(IDS_IMPORT_READ_AS, {what});
        }
        if (mapping.GetKind() == CImportMapping::KindServiceLog && !mapping.ServiceTypeFixed() &&
            !mapping.Profile() && mapping.Usable())
            notes << FormatStringResource(
                IDS_IMPORT_SERVICE_LOG,
                {Part(IDS_IMPORT_SERVICE_AS, mapping.serviceType == CEntry::EntryExpense ? 1 : 0)});
        if (const QString price = PriceText(mapping); !price.isEmpty())
            notes << price;
        for (const QString& warning : FlagWarnings(table))
            notes << warning;
        if (mapping.Usable() && mapping.WithoutReadings())
            notes << LoadStringResource(IDS_IMPORT_NO_READINGS);
        if (mapping.Usable() && mapping.GetKind() != CImportMapping::KindVehicles) {
            // Tables in the same units say so once.
            for (const QString& note : UnitNotes(mapping)) {
                if (!notes.contains(note))
                    notes << note;
            }
        }
        QStringList unused;
        // A list of vehicles is read for their names: the rest goes without saying.
        for (int column : mapping.UnusedColumns()) {
            if (mapping.GetKind() != CImportMapping::KindVehicles)
                unused << Quoted(mapping.Header().value(column));
        }
        if (!unused.isEmpty())
            notes << FormatStringResource(IDS_IMPORT_UNUSED, {unused.join(QStringLiteral(", "))});
        if (mapping.Usable() && table.rows == 0 && (importer.ReadWhole() || importer.GetSummary().read > 0))
            notes << FormatStringResource(IDS_TABLE_EMPTY, {QString::number(line), TableName(table)});
    }
    for (const CEntryImporter::EmptySection& section : importer.EmptySections())
        notes << FormatStringResource(IDS_TABLE_EMPTY,
                                      {QString::number(section.line), Quoted(section.marker)});
    // Which gallons were assumed where the file does not say.
    if (importer.PlainGallons()) {
        const CEntryImporter::UkMark uk = importer.UkGallons();
        notes << (uk == CEntryImporter::UkNone
                      ? LoadStringResource(IDS_IMPORT_GALLONS_US)
                      : FormatStringResource(IDS_IMPORT_GALLONS_UK, {Part(IDS_IMPORT_UK_MARKS, uk - 1)}));
    }
    return notes;
}

QString ImportSummaryText(const CEntryImporter& importer) {
    QString text = ImportText(importer.GetSummary());
    const QStringList notes = ImportNotes(importer);
    if (!notes.isEmpty())
        text += QStringLiteral("\n\n") + notes.join(u'\n');
    return text;
}

QString ImportErrorsHeading(const CEntryImporter& importer) {
    return FormatStringResource(
        IDS_IMPORT_ERRORS, {QString::number(importer.ErrorCount()), QString::number(importer.RowCount())});
}

QStringList ImportErrorLines(const CEntryImporter& importer, ImportReader reader) {
    QStringList lines;
    bool dates = false;
    bool noQuantity = false;
    for (const CEntryImporter::ErrorKind& kind : importer.ErrorKinds()) {
        const CImportProblem& first = kind.first.front();
        dates = dates || first.code == CImportProblem::BadDate;
        // A fuel row without its quantity: the table may hold costs.
        noQuantity =
            noQuantity ||
            (first.code == CImportProblem::Missing &&
             (first.field == CImportMapping::FieldQuantity || first.field == CImportMapping::FieldAmount));
        if (kind.count <= static_cast<qint64>(kind.first.size())) {
            for (const CImportProblem& problem : kind.first)
                lines << ImportText(problem);
            continue;
        }
        QString what = Part(IDS_ROW_KIND_NAMES, first.code - CImportProblem::Missing);
        what.replace(QStringLiteral("%s"), FieldText(first));
        lines << FormatStringResource(IDS_IMPORT_ERROR_KIND, {QString::number(kind.count), what,
                                                              QString::number(first.line), Reason(first)});
    }
    if (dates)
        lines << FormatStringResource(reader == ImportReader::Console ? IDS_CLI_DATE_HINT
                                                                      : IDS_IMPORT_DATE_HINT,
                                      {CImportMapping::DateFormatName(importer.dateFormat)});
    if (noQuantity)
        lines << LoadStringResource(reader == ImportReader::Console ? IDS_CLI_COSTS_HINT
                                                                    : IDS_IMPORT_COSTS_HINT);
    return lines;
}
