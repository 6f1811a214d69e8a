#pragma once
// Converts record texts for the database and owns what it produced.

#include "DorvaneExport.h"
#include "platform/WinTypes.h"

class DORVANE_API CStringHelper {
public:
    CStringHelper() = default;
    virtual ~CStringHelper();
    CStringHelper(const CStringHelper&) = delete;
    CStringHelper& operator=(const CStringHelper&) = delete;

    // Wide text in, 8-bit text out; the result lives as long as this helper.
    virtual const char* Encode(LPCWSTR text) = 0;
    // 8-bit text in, wide text out; the result lives as long as this helper.
    virtual LPCWSTR Decode(const char* text) = 0;
    // Pass-through for texts the engine already delivers as UTF-16.
    LPCWSTR Decode(LPCWSTR text) { return text; }

    // Stores a copy of value in *field (an owned text, null when unset) and tells whether the
    // field changed. A null value counts as the empty text.
    static int SetStringValue(WCHAR** field, LPCWSTR value);
};
