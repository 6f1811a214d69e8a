// One value line of the settings file: the parser must cope with any text, and every value
// survives being written as a line and read back (the first byte picks which way round).

#include "platform/Registry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void ExpectSameAfterRoundTrip(const std::string& name, DWORD type, const std::vector<BYTE>& data) {
    const std::string line = RegistryText::FormatValueLine(name, type, data);
    std::string nameBack;
    DWORD typeBack = REG_NONE;
    std::vector<BYTE> dataBack;
    if (!RegistryText::ParseValueLine(line, nameBack, typeBack, dataBack) || nameBack != name ||
        typeBack != type || dataBack != data) {
        std::fprintf(stderr, "value does not survive its own line: %s\n", line.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool fromLine = (data[0] & 1) == 0;
    ++data;
    --size;

    if (fromLine) {
        const std::string_view line(reinterpret_cast<const char*>(data), size);
        std::string name;
        DWORD type = REG_NONE;
        std::vector<BYTE> bytes;
        if (RegistryText::ParseValueLine(line, name, type, bytes)) {
            ExpectSameAfterRoundTrip(name, type, bytes);
        }
        return 0;
    }

    // A value as a program may set it: a type, a name of one line, any bytes.
    if (size < 5) {
        return 0;
    }
    DWORD type = 0;
    std::memcpy(&type, data, 4);
    const std::size_t nameLength = data[4] % 32;
    data += 5;
    size -= 5;
    if (nameLength > size) {
        return 0;
    }
    const std::string name(reinterpret_cast<const char*>(data), nameLength);
    if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        return 0;
    }
    ExpectSameAfterRoundTrip(name, type, std::vector<BYTE>(data + nameLength, data + size));
    return 0;
}
