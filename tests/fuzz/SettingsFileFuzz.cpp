// A settings file of any content: reading it must neither crash nor leak, and what was read,
// written back, reads again as the same values in the same order.

#include "FuzzFiles.h"
#include "platform/Registry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Read {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
    bool operator==(const Read&) const = default;
};

std::vector<Read> ReadAll(const CRegistryKey& key) {
    std::vector<Read> values;
    for (const std::string& name : key.ValueNames()) {
        Read value{name, REG_NONE, {}};
        if (!key.QueryValue(name, value.type, value.data)) {
            std::fprintf(stderr, "a listed value cannot be queried\n");
            std::abort();
        }
        // The typed readers must cope with every shape.
        static_cast<void>(key.QueryDword(name));
        static_cast<void>(key.QueryString(name));
        static_cast<void>(key.QueryBinary(name));
        values.push_back(std::move(value));
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = FuzzFolder() + "/Input.reg";
    static const std::string output = FuzzFolder() + "/Output.reg";
    WriteFuzzFile(input, data, size);

    CRegistryKey key(input);
    if (!key.Open()) {
        return 0;
    }
    const std::vector<Read> values = ReadAll(key);

    std::remove(output.c_str());
    CRegistryKey copy(output);
    if (!copy.Create()) {
        std::abort();
    }
    for (const Read& value : values) {
        copy.SetValue(value.name, value.type, value.data.data(), value.data.size());
    }
    if (!copy.Commit()) {
        std::abort();
    }
    CRegistryKey again(output);
    if (!again.Open()) {
        std::abort();
    }
    // Names a setter refuses (line breaks, NUL) are not carried over; everything else is.
    std::vector<Read> expected;
    for (const Read& value : values) {
        if (value.name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos) {
            expected.push_back(value);
        }
    }
    if (ReadAll(again) != expected) {
        std::fprintf(stderr, "settings written back read differently\n");
        std::abort();
    }
    return 0;
}
