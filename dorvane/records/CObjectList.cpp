#include "records/CObjectList.h"

#include "platform/WideString.h"
#include "records/IntroSort.h"

CObjectList::CObjectList() = default;

CObjectList::~CObjectList() {
    if (m_AutoCleanup)
        Clear();
}

void CObjectList::AddItem(CBaseObject* item) {
    m_Items.push_back(item);
}

CBaseObject* CObjectList::GetItem(int index) const {
    return m_Items[static_cast<std::size_t>(index)];
}

int CObjectList::GetCount() const {
    return static_cast<int>(m_Items.size());
}

void CObjectList::Clear() {
    for (CBaseObject* item : m_Items)
        delete item; // a null slot is harmless
    m_Items.clear();
}

CBaseObject* CObjectList::DisownItem(int index) {
    auto at = m_Items.begin() + index;
    CBaseObject* item = *at;
    m_Items.erase(at);
    return item;
}

void CObjectList::AllowAutoCleanup(int allow) {
    m_AutoCleanup = allow;
}

void CObjectList::SortByName() {
    // A null slot sorts like a record without a name.
    auto nameOf = [](const CBaseObject* item) -> LPCWSTR { return item ? item->GetName() : u""; };
    dorvane_detail::IntroSort(m_Items.begin(), m_Items.end(),
                              [&](const CBaseObject* a, const CBaseObject* b) {
                                  return WideCompareNoCase(nameOf(a), nameOf(b)) < 0;
                              });
}
