// The process-wide objects: plain code, so the console tool shares them.

#include "core/AppData.h"

#include "core/CAppSettings.h"
#include "core/CRecordServices.h"
#include "core/CSession.h"
#include "datastore/CDataLayer.h"

#include <memory>

namespace {

// The settings are declared after the data layer, so they are written and destroyed before the
// data layer goes.
struct Data {
    CDataLayer dataLayer;
    CRecordServices records{dataLayer};
    std::unique_ptr<CAppSettings> settings = std::make_unique<CAppSettings>();
    std::unique_ptr<CSession> session = std::make_unique<CSession>(*settings);
};

Data& TheData() {
    static Data data;
    return data;
}

} // namespace

CDataLayer& TheDataLayer() {
    return TheData().dataLayer;
}

CRecordServices& TheRecords() {
    return TheData().records;
}

CAppSettings& TheSettings() {
    return *TheData().settings;
}

CSession& TheSession() {
    return *TheData().session;
}

void ResetSettings() {
    Data& d = TheData();
    d.settings->DiscardOnExit();
    d.session.reset();
    d.settings = std::make_unique<CAppSettings>();
    d.session = std::make_unique<CSession>(*d.settings);
}
