#include "records/CStringHelperFactory.h"

CStringHelperFactory::~CStringHelperFactory() = default;
