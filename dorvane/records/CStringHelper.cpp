#include "records/CStringHelper.h"

#include "platform/WideString.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

CStringHelper::~CStringHelper() = default;

int CStringHelper::SetStringValue(WCHAR** field, LPCWSTR value) {
    if (!value) {
        if (!*field)
            return 0;
        // Clearing a field that holds text is the same as setting the empty text.
        value = u"";
    }

    int replacedOther = 0;
    if (*field && std::u16string_view(*field) == std::u16string_view(value))
        return 0;

    // Copy before releasing the old text: the new text may point into it.
    const std::size_t length = WideLength(value);
    auto* copy = static_cast<WCHAR*>(std::malloc((length + 1) * sizeof(WCHAR)));
    if (copy)
        std::memcpy(copy, value, (length + 1) * sizeof(WCHAR));
    if (*field) {
        std::free(*field);
        replacedOther = 1;
    }
    *field = copy;
    if (!copy)
        return 0; // the field stays unset and the record is not marked dirty

    if (length > 0)
        return 1;
    // An empty text on an unset field stores the empty text but is no change.
    return replacedOther;
}
