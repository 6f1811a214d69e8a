#include "records/CBaseObject.h"

#include "records/CStringHelper.h"

#include <cstdlib>
#include <new>

CBaseObject::CBaseObject() = default;

CBaseObject::CBaseObject(ObjectType type) : m_ObjectType(type) {}

CBaseObject::~CBaseObject() {
    FreeText(&m_Name);
    FreeText(&m_Notes);
}

void* CBaseObject::operator new(std::size_t size) {
    return ::operator new(size);
}

void CBaseObject::operator delete(void* p) {
    ::operator delete(p);
}

void CBaseObject::SetText(WCHAR** field, LPCWSTR value) {
    if (CStringHelper::SetStringValue(field, value))
        m_Dirty = 1;
}

void CBaseObject::FreeText(WCHAR** field) {
    std::free(*field);
    *field = nullptr;
}
