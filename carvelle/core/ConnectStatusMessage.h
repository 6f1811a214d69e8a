#pragma once
// What the user is told when a data file does not open.

#include "datastore/CDataLayer.h"

#include <QString>

// The message for a failed connect to the file at path; empty for ConnectOK.
QString ConnectStatusMessage(CDataLayer::ConnectStatus status, const QString& path);
