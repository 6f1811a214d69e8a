#include "exchange/ImportText.h"

#include "core/CStringTable.h"

namespace {

QString Reason(const CImportProblem& p) {
    const QString field = CImportMapping::FieldName(p.field);
    switch (p.code) {
    case CImportProblem::None:
        return QString();
    case CImportProblem::FileNotRead:
        return FormatStringResource(IDS_IMPORT_NOT_READ, {p.value});
    case CImportProblem::FileNotText:
        return FormatStringResource(IDS_IMPORT_NOT_TEXT, {p.value});
    case CImportProblem::FileIsDataFile:
        return FormatStringResource(IDS_IMPORT_DATA_FILE, {p.value});
    case CImportProblem::FileEmpty:
        return FormatStringResource(IDS_IMPORT_EMPTY, {p.value});
    case CImportProblem::NoDateColumn:
        return FormatStringResource(IDS_IMPORT_NO_DATE_COLUMN, {p.value});
    case CImportProblem::NoOdometerColumn:
        return FormatStringResource(IDS_IMPORT_NO_ODOMETER_COLUMN, {p.value});
    case CImportProblem::RecordTooLong:
        return FormatStringResource(IDS_IMPORT_TOO_LONG, {QString::number(p.line)});
    case CImportProblem::Missing:
        return FormatStringResource(IDS_ROW_MISSING, {field});
    case CImportProblem::BadNumber:
        return FormatStringResource(IDS_ROW_BAD_NUMBER, {field, p.value});
    case CImportProblem::Negative:
        return FormatStringResource(IDS_ROW_NEGATIVE, {field, p.value});
    case CImportProblem::TooLarge:
        return FormatStringResource(IDS_ROW_TOO_LARGE, {field, p.value});
    case CImportProblem::OdometerTooLarge:
        return FormatStringResource(IDS_ROW_ODOMETER_TOO_LARGE, {p.value});
    case CImportProblem::BadDate:
        return FormatStringResource(IDS_ROW_BAD_DATE,
                                    {p.value, CImportMapping::DateFormatName(p.dateFormat)});
    case CImportProblem::DateOutOfRange:
        return FormatStringResource(IDS_ROW_DATE_RANGE, {p.value});
    case CImportProblem::BadType:
        return FormatStringResource(IDS_ROW_BAD_TYPE, {p.value});
    case CImportProblem::BadText:
        return LoadStringResource(IDS_ROW_BAD_TEXT);
    case CImportProblem::NoVehicle:
        return LoadStringResource(IDS_ROW_NO_VEHICLE);
    }
    return QString();
}

} // namespace

QString ImportText(const CImportProblem& problem) {
    const QString reason = Reason(problem);
    // The file's problems name their place themselves.
    if (problem.line <= 0 || problem.code <= CImportProblem::RecordTooLong)
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
    return text;
}

QString ImportErrorsHeading(const CEntryImporter& importer) {
    return FormatStringResource(
        IDS_IMPORT_ERRORS, {QString::number(importer.ErrorCount()), QString::number(importer.RowCount())});
}

QStringList ImportErrorLines(const CEntryImporter& importer) {
    QStringList lines;
    for (const CImportProblem& problem : importer.Errors())
        lines << ImportText(problem);
    const qint64 more = importer.ErrorCount() - static_cast<qint64>(importer.Errors().size());
    if (more > 0)
        lines << FormatStringResource(IDS_IMPORT_MORE_ERRORS, {QString::number(more)});
    return lines;
}
