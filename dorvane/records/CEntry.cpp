#include "records/CEntry.h"

#include "platform/SystemTime.h"

CEntry::CEntry() : CBaseObject(ObjectTypeEntry) {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    SystemTimeToVariantTime(&now, &m_Date);
}

CEntry::~CEntry() {
    FreeText(&m_Vendor);
}
