// A data file of any content: connecting to it and loading every list must neither crash nor
// leak nor run for ever, and a save to a file that connected must not crash either.

#include "FuzzFiles.h"
#include "dorvane/datastore/CDataLayer.h"
#include "platform/TextConversion.h"
#include "support/CDataLayerTestPeer.h"

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = FuzzFolder() + "/Fuzz.dat";
    static const std::u16string widePath = Utf8ToWide(path);
    // A journal or log left by one input must not be applied to the next.
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        std::remove((path + suffix).c_str());
    }
    WriteFuzzFile(path, data, size);

    CDataLayer layer;
    // The real draw sleeps 10 ms for each ID; a counter keeps the fuzzer fast.
    ULONG next = 1;
    CDataLayerTestPeer::SetRefIDSource(layer, [&next] { return next++; });
    CDataLayerTestPeer::SetBusyTimeout(layer, 0);
    if (layer.Connect(widePath.c_str()) != CDataLayer::ConnectOK) {
        return 0;
    }

    CObjectListT<CVehicle> vehicles;
    layer.Load(vehicles);
    CEntryFilter filter;
    CObjectListT<CEntry> entries;
    layer.Load(entries, filter);
    CObjectListT<CKeyword> keywords;
    layer.Load(keywords, CKeyword::KeywordAll);
    CObjectListT<CNotification> reminders;
    layer.Load(reminders, 0);

    if (vehicles.GetCount() > 0) {
        CVehicle* vehicle = vehicles.Get(0);
        filter.SetVehicleID(vehicle->GetRefID());
        layer.Load(entries, filter);
        LONG odometer = 0;
        layer.GetMaxOdometer(vehicle->GetRefID(), &odometer);
        layer.LoadByRefID(vehicle);
    }
    CKeyword keyword;
    keyword.SetName(u"Fuzz");
    keyword.SetType(CKeyword::KeywordFuelVendor);
    layer.Save(&keyword, 0);
    layer.Disconnect();
    return 0;
}
