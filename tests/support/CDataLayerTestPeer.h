#pragma once
// Test-only access to CDataLayer's reference ID draw and its engine handle.

#include "dorvane/datastore/CDataLayer.h"

#include <sqlite3.h>

#include <functional>
#include <utility>

class CDataLayerTestPeer {
public:
    // Replaces the random draw behind GenerateRefID; an empty function restores it.
    static void SetRefIDSource(CDataLayer& layer, std::function<ULONG()> source) {
        layer.m_RefIDSource = std::move(source);
    }
    static ULONG GenerateRefID(CDataLayer& layer) { return layer.GenerateRefID(); }
    static sqlite3* Handle(CDataLayer& layer) { return layer.m_DB; }
    // How long the layer waits for a lock, from the next wait on.
    static void SetBusyTimeout(CDataLayer& layer, int milliseconds) { layer.m_BusyTimeoutMs = milliseconds; }
};
