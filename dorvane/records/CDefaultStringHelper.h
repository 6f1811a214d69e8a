#pragma once
// The built-in helper: UTF-8 in the statements.

#include "records/CStringHelper.h"

#include <vector>

class DORVANE_API CDefaultStringHelper : public CStringHelper {
public:
    CDefaultStringHelper() = default;
    ~CDefaultStringHelper() override;

    const char* Encode(LPCWSTR text) override;
    LPCWSTR Decode(const char* text) override;
    using CStringHelper::Decode;

private:
    std::vector<void*> m_Buffers; // every buffer produced, freed together by the destructor
};
