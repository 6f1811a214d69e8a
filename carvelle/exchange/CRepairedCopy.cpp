#include "exchange/CRepairedCopy.h"

#include "core/CStringTable.h"
#include "core/ConnectStatusMessage.h"
#include "exchange/CDataFileBackup.h"
#include "exchange/CPartialCopy.h"
#include "exchange/CheckText.h"

#include <QFileInfo>

QString CRepairedCopy::Stem(const QString& dataFile) {
    return FormatStringResource(IDS_REPAIRED_NAME, {CDataFileBackup::Stem(dataFile)});
}

QString CRepairedCopy::SuggestedPath(const QString& dataFile, const QDate& day) {
    return CPartialCopy::FreeDatedPath(QFileInfo(dataFile).absolutePath(), Stem(dataFile), day);
}

QStringList CRepairedCopy::Summary() const {
    return RepairLines(m_Repair);
}

CRepairedCopy::Result CRepairedCopy::Write(const QString& source, const QString& destination) {
    m_Problem.clear();
    m_Destination.clear();
    CPartialCopy copy;
    copy.busyTimeoutMs = busyTimeoutMs;
    auto fail = [&](const QString& where, const QString& detail) {
        m_Problem = FormatStringResource(IDS_REPAIR_FAILED, {where, detail});
        return ResultFailed;
    };
    const CPartialCopy::Result opened =
        copy.Open(source, destination, Stem(source), QDate::currentDate(), replace);
    switch (opened) {
    case CPartialCopy::ResultOK:
        break;
    case CPartialCopy::ResultSameFile:
        m_Problem = copy.ProblemText(opened);
        return ResultFailed;
    case CPartialCopy::ResultExists:
        m_Problem = copy.ProblemText(opened);
        return ResultExists;
    default:
        return fail(destination, copy.ProblemText(opened));
    }

    const QString target = copy.FinalPath();
    m_Repair.busyTimeoutMs = busyTimeoutMs;
    switch (m_Repair.Run(source.toStdU16String().c_str(), copy.PartialPath().toStdU16String().c_str())) {
    case CDataFileRepair::RepairOK:
        break;
    case CDataFileRepair::RepairSourceNotRead:
        m_Problem =
            m_Repair.Problem().empty()
                ? ConnectStatusMessage(m_Repair.SourceStatus(), source)
                : FormatStringResource(IDS_REPAIR_SCHEMA, {QString::fromStdString(m_Repair.Problem())});
        return ResultSourceNotRead;
    case CDataFileRepair::RepairWriteFailed:
        return fail(target, QString::fromStdString(m_Repair.Problem()));
    }

    const CPartialCopy::Result finished = copy.Finish();
    switch (finished) {
    case CPartialCopy::ResultOK:
        m_Destination = target;
        return ResultOK;
    case CPartialCopy::ResultExists:
        m_Problem = copy.ProblemText(finished);
        return ResultExists;
    case CPartialCopy::ResultNotVerified:
        if (copy.GetVerdict() == CPartialCopy::VerdictNotDataFile)
            m_Problem = ConnectStatusMessage(CDataLayer::ConnectNotDataFile, source);
        else if (copy.GetVerdict() == CPartialCopy::VerdictOtherTables)
            m_Problem = ConnectStatusMessage(CDataLayer::ConnectInvalidDatabase, source);
        else
            return fail(target, LoadStringResource(IDS_REPAIR_NOT_VERIFIED));
        return ResultSourceNotRead;
    default:
        return fail(target, copy.ProblemText(finished));
    }
}
