#include "exchange/CheckText.h"

#include "core/CStringTable.h"
#include "datastore/CDataFileCheck.h"
#include "datastore/CDataFileRepair.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace {

QString Number(std::int64_t value) {
    return QString::number(value);
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FindingLine(const CDataFileCheck::Finding& finding) {
    using Finding = CDataFileCheck::Finding;
    switch (finding.kind) {
    case Finding::Engine:
        return FormatStringResource(IDS_CHECK_ENGINE, {Utf8(finding.text)});
    case Finding::EngineMore:
        return FormatStringResource(IDS_CHECK_ENGINE_MORE, {Number(CDataFileCheck::MaxEngineProblems)});
    case Finding::CheckNotRun:
        return FormatStringResource(IDS_CHECK_NOT_RUN, {Utf8(finding.table), Utf8(finding.text)});
    case Finding::Table:
        return finding.table.empty() ? LoadStringResource(IDS_CHECK_TABLES)
                                     : FormatStringResource(IDS_CHECK_TABLE, {Utf8(finding.table)});
    case Finding::MetaData:
        return LoadStringResource(IDS_CHECK_METADATA);
    case Finding::DateOutOfRange:
        return FormatStringResource(IDS_CHECK_DATES, {Utf8(finding.table), Number(finding.count),
                                                      Utf8(finding.column), Number(finding.rowID)});
    case Finding::EntryWithoutVehicle:
        return FormatStringResource(IDS_CHECK_ENTRY_ORPHANS, {Number(finding.count), Number(finding.rowID)});
    case Finding::ReminderWithoutVehicle:
        return FormatStringResource(IDS_CHECK_REMINDER_ORPHANS,
                                    {Number(finding.count), Number(finding.rowID)});
    case Finding::FillFlagTable:
        return FormatStringResource(IDS_CHECK_FILL_FLAG_TABLE, {Utf8(finding.table)});
    case Finding::FillFlagWithoutEntry:
        return FormatStringResource(IDS_CHECK_FILL_FLAG_ORPHANS,
                                    {Number(finding.count), Number(finding.rowID)});
    case Finding::FillFlagNotFuel:
        return FormatStringResource(IDS_CHECK_FILL_FLAG_NOT_FUEL,
                                    {Number(finding.count), Number(finding.rowID)});
    case Finding::IntervalTable:
        return FormatStringResource(IDS_CHECK_INTERVAL_TABLE, {Utf8(finding.table)});
    case Finding::IntervalWithoutReminder:
        return FormatStringResource(IDS_CHECK_INTERVAL_ORPHANS,
                                    {Number(finding.count), Number(finding.rowID)});
    case Finding::OdometerBelowReading:
        return FormatStringResource(IDS_CHECK_ODOMETER, {Utf8(finding.text), Number(finding.rowID),
                                                         Number(finding.value), Number(finding.highest)});
    }
    return QString();
}

} // namespace

QStringList CheckFindingLines(const CDataFileCheck& check) {
    QStringList lines;
    for (const CDataFileCheck::Finding& finding : check.Findings())
        lines << FindingLine(finding);
    return lines;
}

QStringList CheckSummaryLines(const CDataFileCheck& check) {
    static const QRegularExpression missing(QStringLiteral("^row (\\d+) missing from index (.+)$"));
    QStringList lines;
    QMap<QString, int> lineOfIndex; // index -> its line in lines
    QMap<QString, int> rowsOfIndex;
    for (const CDataFileCheck::Finding& finding : check.Findings()) {
        const QRegularExpressionMatch match = finding.kind == CDataFileCheck::Finding::Engine
                                                  ? missing.match(Utf8(finding.text))
                                                  : QRegularExpressionMatch();
        if (!match.hasMatch()) {
            lines << FindingLine(finding);
            continue;
        }
        const QString index = match.captured(2);
        if (!lineOfIndex.contains(index)) {
            lineOfIndex[index] = static_cast<int>(lines.size());
            lines << QString();
        }
        lines[lineOfIndex[index]] =
            FormatStringResource(IDS_CHECK_INDEX_MISSES, {index, QString::number(++rowsOfIndex[index])});
    }
    return lines;
}

QStringList RepairLines(const CDataFileRepair& repair) {
    QStringList lines;
    for (const CDataFileRepair::TableCopy& table : repair.Tables()) {
        if (!table.problem.empty()) {
            lines << FormatStringResource(IDS_REPAIR_TABLE_FAILED, {Utf8(table.name), Utf8(table.problem)});
            continue;
        }
        QString line = FormatStringResource(IDS_REPAIR_TABLE_KEPT, {Utf8(table.name), Number(table.kept)});
        if (table.defaulted > 0)
            line += FormatStringResource(IDS_REPAIR_TABLE_DEFAULTED, {Number(table.defaulted)});
        if (table.pieced > 0)
            line += FormatStringResource(IDS_REPAIR_TABLE_PIECED, {Number(table.pieced)});
        if (table.skipped > 0)
            line += FormatStringResource(IDS_REPAIR_TABLE_SKIPPED, {Number(table.skipped)});
        if (table.damagedStretches > 0)
            line += FormatStringResource(IDS_REPAIR_TABLE_STRETCHES, {Number(table.damagedStretches)});
        lines << line + u'.';
    }
    for (const CDataFileRepair::IndexNotBuilt& index : repair.IndexesNotBuilt())
        lines << FormatStringResource(IDS_REPAIR_INDEX_FAILED, {Utf8(index.name), Utf8(index.problem)});
    return lines;
}

QString FullCheckStamp(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile())
        return QString();
    return QStringLiteral("%1 %2 %3")
        .arg(file.size())
        .arg(file.lastModified().toMSecsSinceEpoch())
        .arg(file.canonicalFilePath());
}
