// A CSV file of any content imported into a data file: recognising it, previewing it, checking
// and writing every row must neither crash nor leak nor run for ever, and a refused import must
// leave the data file as it was.

#include "FuzzFiles.h"
#include "dorvane/datastore/CDataLayer.h"
#include "exchange/CEntryImporter.h"
#include "platform/TextConversion.h"
#include "support/CDataLayerTestPeer.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int EntryCount(CDataLayer& layer) {
    CObjectListT<CEntry> entries;
    CEntryFilter all;
    return layer.Load(entries, all) ? entries.GetCount() : -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string csv = FuzzFolder() + "/Fuzz.csv";
    static const std::string file = FuzzFolder() + "/Fuzz.dat";
    WriteFuzzFile(csv, data, size);
    std::error_code error;
    // The fuzzer's own timer signal may cut the copy short; it is then made again.
    for (int tries = 0; tries < 10; ++tries) {
        std::filesystem::copy_file(CARVELLE_TEMPLATE_PATH, file,
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error != std::errc::interrupted)
            break;
    }
    if (error) {
        std::perror(CARVELLE_TEMPLATE_PATH);
        std::abort();
    }

    CDataLayer layer;
    ULONG next = 1;
    CDataLayerTestPeer::SetRefIDSource(layer, [&next] { return next++; });
    layer.SetBusyTimeout(0);
    if (layer.Connect(Utf8ToWide(file).c_str()) != CDataLayer::ConnectOK) {
        std::fprintf(stderr, "the template does not connect\n");
        std::abort();
    }
    // Nothing here needs to survive a power cut.
    sqlite3_exec(CDataLayerTestPeer::Handle(layer), "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY",
                 nullptr, nullptr, nullptr);

    CEntryImporter importer(layer);
    if (!importer.Open(QString::fromStdString(csv))) {
        return 0;
    }
    importer.Preview(10);
    importer.targetVehicleName = QStringLiteral("Fuzz");
    importer.skipBadRows = size > 0 && (data[0] & 1) != 0;
    const CEntryImporter::Result result = importer.Import(nullptr);
    if (result != CEntryImporter::ResultOK && EntryCount(layer) != 0) {
        std::fprintf(stderr, "a refused import left entries behind\n");
        std::abort();
    }
    return 0;
}
