#pragma once
// An ordered list of records that, by default, owns them.

#include "records/CBaseObject.h"

#include <vector>

class DORVANE_API CObjectList {
public:
    CObjectList();
    // Deletes the records when auto-cleanup is on.
    ~CObjectList();
    CObjectList(const CObjectList&) = delete;
    CObjectList& operator=(const CObjectList&) = delete;

    void AddItem(CBaseObject* item);
    CBaseObject* GetItem(int index) const;
    int GetCount() const;
    // Deletes every record, whatever the auto-cleanup flag says, and empties the list.
    void Clear();
    // Takes the record out of the list without deleting it; the caller owns it.
    CBaseObject* DisownItem(int index);
    void AllowAutoCleanup(int allow);
    // Ascending by name, case-insensitive; an unset name sorts first. Not stable.
    void SortByName();

private:
    int m_AutoCleanup = 1;
    std::vector<CBaseObject*> m_Items;
};
