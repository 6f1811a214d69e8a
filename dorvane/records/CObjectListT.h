#pragma once
// A typed face on CObjectList for one record class.

#include "records/CEntry.h"
#include "records/CKeyword.h"
#include "records/CNotification.h"
#include "records/CObjectList.h"
#include "records/CVehicle.h"

template <class T> class CObjectListT : public CObjectList {
public:
    CObjectListT() = default;

    void Add(T* item) { AddItem(item); }
    T* Get(int index) const { return static_cast<T*>(GetItem(index)); }
    T* Disown(int index) { return static_cast<T*>(DisownItem(index)); }
};

extern template class DORVANE_API CObjectListT<CVehicle>;
extern template class DORVANE_API CObjectListT<CEntry>;
extern template class DORVANE_API CObjectListT<CKeyword>;
extern template class DORVANE_API CObjectListT<CNotification>;
