#include "core/ConnectStatusMessage.h"

#include "core/CStringTable.h"

QString ConnectStatusMessage(CDataLayer::ConnectStatus status, const QString& path) {
    switch (status) {
    case CDataLayer::ConnectOK:
        return QString();
    case CDataLayer::ConnectFileNotFound:
        return FormatStringResource(IDS_DATA_FILE_MISSING, {path});
    case CDataLayer::ConnectNotReadable:
        return FormatStringResource(IDS_DATA_FILE_NOT_READABLE, {path});
    case CDataLayer::ConnectNotDataFile:
        return FormatStringResource(IDS_NOT_A_DATA_FILE, {path});
    case CDataLayer::ConnectReadOnly:
        return FormatStringResource(IDS_READ_ONLY_DATA_FILE, {path});
    case CDataLayer::ConnectInvalidDatabase:
        return FormatStringResource(IDS_INVALID_DATA_FILE, {path});
    default:
        // Busy, full or failing: the file itself may be fine.
        return FormatStringResource(IDS_DATA_FILE_NOT_OPENED, {path});
    }
}
