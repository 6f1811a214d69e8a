// A damaged data file of any content: writing a repaired copy of it, which reads its pages with
// SQLite's recovery code where a table is damaged, must neither crash nor leak nor run for ever.

#include "FuzzFiles.h"
#include "dorvane/datastore/CDataFileRepair.h"
#include "platform/TextConversion.h"

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = FuzzFolder() + "/Damaged.dat";
    static const std::string copy = FuzzFolder() + "/Repaired.dat";
    static const std::u16string widePath = Utf8ToWide(path);
    static const std::u16string wideCopy = Utf8ToWide(copy);
    // A journal left by one input must not be applied to the next.
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        std::remove((path + suffix).c_str());
        std::remove((copy + suffix).c_str());
    }
    WriteFuzzFile(path, data, size);

    CDataFileRepair repair;
    repair.busyTimeoutMs = 0;
    repair.Run(widePath.c_str(), wideCopy.c_str());
    return 0;
}
