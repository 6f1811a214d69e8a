#include "records/CKeyword.h"

CKeyword::CKeyword() : CBaseObject(ObjectTypeKeyword) {}

CKeyword::~CKeyword() = default;
