#include "records/CDefaultStringHelper.h"

#include "platform/TextConversion.h"

#include <cstdlib>
#include <new>

CDefaultStringHelper::~CDefaultStringHelper() {
    for (void* buffer : m_Buffers)
        std::free(buffer);
}

const char* CDefaultStringHelper::Encode(LPCWSTR text) {
    static const char empty[] = "";
    if (!text)
        return empty;

    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return empty;
    auto* buffer = static_cast<char*>(std::calloc(static_cast<std::size_t>(size), 1));
    if (!buffer)
        return empty;
    try {
        m_Buffers.push_back(buffer);
    } catch (const std::bad_alloc&) {
        std::free(buffer);
        return empty;
    }
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, size, nullptr, nullptr);
    return buffer;
}

LPCWSTR CDefaultStringHelper::Decode(const char* text) {
    static const WCHAR empty[] = u"";
    if (!text)
        return empty;

    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (size <= 0)
        return empty;
    auto* buffer = static_cast<WCHAR*>(std::calloc(static_cast<std::size_t>(size), sizeof(WCHAR)));
    if (!buffer)
        return empty;
    try {
        m_Buffers.push_back(buffer);
    } catch (const std::bad_alloc&) {
        std::free(buffer);
        return empty;
    }
    MultiByteToWideChar(CP_UTF8, 0, text, -1, buffer, size);
    return buffer;
}
