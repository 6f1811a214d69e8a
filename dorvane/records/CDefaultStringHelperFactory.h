#pragma once

#include "records/CStringHelperFactory.h"

class DORVANE_API CDefaultStringHelperFactory : public CStringHelperFactory {
public:
    CDefaultStringHelperFactory() = default;
    std::unique_ptr<CStringHelper> Create() override;
};
