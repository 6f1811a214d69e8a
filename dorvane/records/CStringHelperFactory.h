#pragma once

#include "records/CStringHelper.h"

#include <memory>

class DORVANE_API CStringHelperFactory {
public:
    CStringHelperFactory() = default;
    virtual ~CStringHelperFactory();
    CStringHelperFactory(const CStringHelperFactory&) = delete;
    CStringHelperFactory& operator=(const CStringHelperFactory&) = delete;

    // A new helper owned by the caller; empty when it cannot be allocated.
    virtual std::unique_ptr<CStringHelper> Create() = 0;
};
