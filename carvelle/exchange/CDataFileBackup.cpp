#include "exchange/CDataFileBackup.h"

#include "core/CStringTable.h"
#include "core/ConnectStatusMessage.h"
#include "datastore/CDataFileCopy.h"
#include "datastore/CReadOnlyDatabase.h"
#include "exchange/CPartialCopy.h"

#include <QFileInfo>

namespace {

// Why the source cannot be read at all; ConnectOK when it can be tried.
CDataLayer::ConnectStatus SourceStatus(const QString& source) {
    const CDataLayer::ConnectStatus status =
        CReadOnlyDatabase::ReadableStatus(source.toStdU16String().c_str());
    return status == CDataLayer::ConnectOK && QFileInfo(source).size() == 0 ? CDataLayer::ConnectNotDataFile
                                                                            : status;
}

} // namespace

QString CDataFileBackup::Stem(const QString& dataFile) {
    return QFileInfo(dataFile).completeBaseName();
}

QString CDataFileBackup::SuggestedPath(const QString& dataFile, const QDate& day) {
    return CPartialCopy::FreeDatedPath(QFileInfo(dataFile).absolutePath(), Stem(dataFile), day);
}

CDataFileBackup::Result CDataFileBackup::Fail(Result result, const QString& destination,
                                              const QString& detail) {
    m_Problem = FormatStringResource(IDS_BACKUP_FAILED, {destination, detail});
    return result;
}

CDataFileBackup::Result CDataFileBackup::Backup(const QString& source, const QString& destination) {
    m_Problem.clear();
    m_Destination.clear();
    if (const CDataLayer::ConnectStatus status = SourceStatus(source); status != CDataLayer::ConnectOK) {
        m_Problem = ConnectStatusMessage(status, source);
        return ResultSourceNotOpened;
    }

    CPartialCopy copy;
    copy.busyTimeoutMs = busyTimeoutMs;
    const CPartialCopy::Result opened =
        copy.Open(source, destination, Stem(source), QDate::currentDate(), replace);
    switch (opened) {
    case CPartialCopy::ResultOK:
        break;
    case CPartialCopy::ResultSameFile:
        m_Problem = copy.ProblemText(opened);
        return ResultSameFile;
    case CPartialCopy::ResultExists:
        m_Problem = copy.ProblemText(opened);
        return ResultExists;
    default:
        return Fail(opened == CPartialCopy::ResultBusy ? ResultBusy : ResultWriteFailed, destination,
                    copy.ProblemText(opened));
    }

    const QString target = copy.FinalPath();
    if (const Result copied = Copy(source, copy.PartialPath()); copied != ResultOK)
        return copied == ResultSourceNotOpened ? copied : Fail(copied, target, m_Problem);

    const CPartialCopy::Result finished = copy.Finish();
    switch (finished) {
    case CPartialCopy::ResultOK:
        m_Destination = target;
        return ResultOK;
    case CPartialCopy::ResultExists:
        m_Problem = copy.ProblemText(finished);
        return ResultExists;
    case CPartialCopy::ResultNotVerified:
        switch (copy.GetVerdict()) {
        case CPartialCopy::VerdictNotDataFile:
            m_Problem = ConnectStatusMessage(CDataLayer::ConnectNotDataFile, source);
            return ResultSourceNotOpened;
        case CPartialCopy::VerdictOtherTables:
            m_Problem = ConnectStatusMessage(CDataLayer::ConnectInvalidDatabase, source);
            return ResultSourceNotOpened;
        default:
            return Fail(ResultNotVerified, target, LoadStringResource(IDS_BACKUP_NOT_VERIFIED));
        }
    default:
        return Fail(ResultWriteFailed, target, copy.ProblemText(finished));
    }
}

CDataFileBackup::Result CDataFileBackup::Copy(const QString& source, const QString& target) {
    CDataFileCopy copy;
    copy.busyTimeoutMs = busyTimeoutMs;
    switch (copy.Run(source.toStdU16String().c_str(), target.toStdU16String().c_str())) {
    case CDataFileCopy::CopyOK:
        return ResultOK;
    case CDataFileCopy::CopyBusy:
        m_Problem = LoadStringResource(IDS_BACKUP_BUSY);
        return ResultBusy;
    case CDataFileCopy::CopySourceNotRead:
        m_Problem = ConnectStatusMessage(copy.SourceStatus(), source);
        return ResultSourceNotOpened;
    case CDataFileCopy::CopyWriteFailed:
        break;
    }
    m_Problem = QString::fromStdString(copy.Problem());
    return ResultWriteFailed;
}
