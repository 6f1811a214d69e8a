// The process-wide data layer and settings of AppGlobals.h: plain code, so the console tool
// shares them without the fonts' widgets.

#include "core/AppData.h"

#include "core/CAppSettings.h"
#include "datastore/CDataLayer.h"

#include <memory>

namespace {

// The settings are declared after the data layer, so they are written and destroyed before the
// data layer goes.
struct Data {
    CDataLayer dataLayer;
    std::unique_ptr<CAppSettings> settings = std::make_unique<CAppSettings>();
};

Data& TheData() {
    static Data data;
    return data;
}

} // namespace

CDataLayer& TheDataLayer() {
    return TheData().dataLayer;
}

CAppSettings& TheSettings() {
    return *TheData().settings;
}

void ResetSettings() {
    Data& d = TheData();
    d.settings->DiscardOnExit();
    d.settings = std::make_unique<CAppSettings>();
}
