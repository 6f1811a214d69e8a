#include "records/CNotification.h"

CNotification::CNotification() : CBaseObject(ObjectTypeNotification) {}

CNotification::~CNotification() = default;
