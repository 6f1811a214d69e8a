#include "core/ConnectStatusMessage.h"

#include "core/CStringTable.h"

QString ConnectStatusMessage(CDataLayer::ConnectStatus status, const QString& path) {
    switch (status) {
    case CDataLayer::ConnectOK:
        return QString();
    case CDataLayer::ConnectReadOnly:
        return FormatStringResource(IDS_READ_ONLY_DATA_FILE, {path});
    case CDataLayer::ConnectInvalidDatabase:
        return FormatStringResource(IDS_INVALID_DATA_FILE, {path});
    default:
        // Missing, busy, full or failing: the file itself may be fine.
        return FormatStringResource(IDS_DATA_FILE_NOT_OPENED, {path});
    }
}
