#include "records/CDefaultStringHelperFactory.h"

#include "records/CDefaultStringHelper.h"

#include <new>

std::unique_ptr<CStringHelper> CDefaultStringHelperFactory::Create() {
    // Out of memory yields an empty owner rather than an exception.
    return std::unique_ptr<CStringHelper>(new (std::nothrow) CDefaultStringHelper());
}
