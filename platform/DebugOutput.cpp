#include "platform/DebugOutput.h"

#include "platform/TextConversion.h"
#include "platform/WideString.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Checked on every call, so a test (or a developer in a debugger) can switch it at run time.
bool DebugOutputEnabled() {
    const char* value = std::getenv("CARVELLE_DEBUG");
    return value != nullptr && value[0] != '\0';
}

void WriteToStderr(const char* text, std::size_t length) {
    std::fwrite(text, 1, length, stderr);
    std::fflush(stderr);
}

} // namespace

void OutputDebugStringW(LPCWSTR text) {
    if (text == nullptr || !DebugOutputEnabled())
        return;
    const std::string utf8 = WideToUtf8(std::u16string_view(text, WideLength(text)));
    WriteToStderr(utf8.data(), utf8.size());
}

void OutputDebugStringA(LPCSTR text) {
    if (text == nullptr || !DebugOutputEnabled())
        return;
    WriteToStderr(text, std::strlen(text));
}
