#pragma once
// What every stored row has: row ID, reference ID, name, notes, time stamps, kind, dirty flag.

#include "DorvaneExport.h"
#include "platform/WinTypes.h"

#include <cstddef>

class DORVANE_API CBaseObject {
public:
    enum ObjectType {
        ObjectTypeNone = 0,
        ObjectTypeVehicle = 1,
        ObjectTypeEntry = 2,
        ObjectTypeNotification = 3,
        ObjectTypeKeyword = 4,
    };

    CBaseObject();
    virtual ~CBaseObject();
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    // Records are made and freed through the library's allocator, so either side of the
    // library boundary may free what the other made.
    static void* operator new(std::size_t size);
    static void operator delete(void* p);

    ObjectType GetObjectType() const { return m_ObjectType; }
    LONG GetID() const { return m_ID; }
    ULONG GetRefID() const { return m_RefID; }
    double GetDateCreated() const { return m_DateCreated; }
    double GetDateModified() const { return m_DateModified; }
    int IsDirty() const { return m_Dirty; }
    LPCWSTR GetName() const { return TextOrEmpty(m_Name); }
    LPCWSTR GetNotes() const { return TextOrEmpty(m_Notes); }

    // Plain stores: they never touch the dirty flag.
    void SetID(LONG id) { m_ID = id; }
    void SetRefID(ULONG refID) { m_RefID = refID; }
    void SetDateCreated(double date) { m_DateCreated = date; }
    void SetDateModified(double date) { m_DateModified = date; }
    void SetDirty(int dirty) { m_Dirty = dirty; }

    void SetName(LPCWSTR name) { SetText(&m_Name, name); }
    void SetNotes(LPCWSTR notes) { SetText(&m_Notes, notes); }

protected:
    explicit CBaseObject(ObjectType type);

    // The dirty rule: a value that differs is stored and marks the record dirty.
    template <class T> void SetValue(T& field, T value) {
        if (field != value) {
            field = value;
            m_Dirty = 1;
        }
    }
    void SetText(WCHAR** field, LPCWSTR value);
    static void FreeText(WCHAR** field);
    static LPCWSTR TextOrEmpty(const WCHAR* text) { return text ? text : u""; }

private:
    LONG m_ID = 0;
    ULONG m_RefID = 0;
    WCHAR* m_Name = nullptr;
    WCHAR* m_Notes = nullptr;
    double m_DateCreated = 0.0;
    double m_DateModified = 0.0;
    ObjectType m_ObjectType = ObjectTypeNone;
    int m_Dirty = 0;
};
