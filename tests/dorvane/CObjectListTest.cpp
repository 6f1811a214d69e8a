#include "platform/WideString.h"
#include "records/CObjectListT.h"
#include "records/IntroSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// An entry that counts its own deletion.
class CountedEntry : public CEntry {
public:
    explicit CountedEntry(int* deletions) : m_Deletions(deletions) {}
    ~CountedEntry() override { ++*m_Deletions; }

private:
    int* m_Deletions;
};

CKeyword* MakeKeyword(LPCWSTR name) {
    auto* keyword = new CKeyword;
    if (name)
        keyword->SetName(name);
    return keyword;
}

std::u16string RandomName(std::mt19937& random) {
    static const char16_t letters[] = u"aAbBcCdDeEzZ\u00DC\u00FC";
    std::uniform_int_distribution<int> length(0, 4);
    std::uniform_int_distribution<int> letter(0, 13);
    std::u16string name;
    for (int i = length(random); i > 0; --i)
        name += letters[letter(random)];
    return name;
}

} // namespace

TEST(ObjectList, DestructorDeletesOnlyWithAutoCleanup) {
    int deletions = 0;
    {
        CObjectListT<CEntry> list;
        for (int i = 0; i < 3; ++i)
            list.Add(new CountedEntry(&deletions));
        EXPECT_EQ(list.GetCount(), 3);
    }
    EXPECT_EQ(deletions, 3);

    deletions = 0;
    std::vector<CEntry*> survivors;
    {
        CObjectListT<CEntry> list;
        list.AllowAutoCleanup(0);
        for (int i = 0; i < 3; ++i)
            list.Add(new CountedEntry(&deletions));
        for (int i = 0; i < list.GetCount(); ++i)
            survivors.push_back(list.Get(i));
    }
    EXPECT_EQ(deletions, 0);
    for (CEntry* entry : survivors)
        delete entry;
    EXPECT_EQ(deletions, 3);
}

TEST(ObjectList, ClearDeletesEvenWithAutoCleanupOff) {
    int deletions = 0;
    CObjectListT<CEntry> list;
    list.AllowAutoCleanup(0);
    list.Add(new CountedEntry(&deletions));
    list.Add(new CountedEntry(&deletions));
    list.Clear();
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(ObjectList, DisownHandsTheRecordToTheCaller) {
    int deletions = 0;
    CEntry* first = new CountedEntry(&deletions);
    CEntry* second = new CountedEntry(&deletions);
    CEntry* disowned = nullptr;
    {
        CObjectListT<CEntry> list;
        list.Add(first);
        list.Add(second);
        list.Add(new CountedEntry(&deletions));
        disowned = list.Disown(0);
        EXPECT_EQ(disowned, first);
        EXPECT_EQ(list.GetCount(), 2);
        EXPECT_EQ(list.Get(0), second);
    }
    EXPECT_EQ(deletions, 2);
    delete disowned;
    EXPECT_EQ(deletions, 3);
}

TEST(ObjectList, NullItemsCountAndAreSkippedByDeletes) {
    int deletions = 0;
    CObjectListT<CEntry> list;
    list.Add(nullptr);
    list.Add(new CountedEntry(&deletions));
    list.Add(nullptr);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.Get(0), nullptr);
    list.SortByName();
    list.Clear();
    EXPECT_EQ(deletions, 1);
    list.Add(nullptr); // and the destructor skips it too
}

TEST(ObjectList, TypedListsForEveryRecordClass) {
    CObjectListT<CVehicle> vehicles;
    vehicles.Add(new CVehicle);
    CObjectListT<CKeyword> keywords;
    keywords.Add(new CKeyword);
    CObjectListT<CNotification> reminders;
    reminders.Add(new CNotification);
    EXPECT_EQ(vehicles.Get(0)->GetObjectType(), CBaseObject::ObjectTypeVehicle);
    EXPECT_EQ(keywords.Get(0)->GetObjectType(), CBaseObject::ObjectTypeKeyword);
    EXPECT_EQ(reminders.Get(0)->GetObjectType(), CBaseObject::ObjectTypeNotification);
    delete reminders.Disown(0);
}

TEST(ObjectListSort, UnnamedFirstThenCaseInsensitive) {
    CObjectListT<CKeyword> list;
    CKeyword* b = MakeKeyword(u"b");
    CKeyword* upperA = MakeKeyword(u"A");
    CKeyword* lowerA = MakeKeyword(u"a");
    CKeyword* unnamed = MakeKeyword(nullptr);
    for (CKeyword* keyword : {b, upperA, lowerA, unnamed})
        list.Add(keyword);

    list.SortByName();
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.Get(0), unnamed);
    EXPECT_TRUE((list.Get(1) == upperA && list.Get(2) == lowerA) ||
                (list.Get(1) == lowerA && list.Get(2) == upperA));
    EXPECT_EQ(list.Get(3), b);
}

TEST(ObjectListSort, LargeRandomListsEndUpSortedAndComplete) {
    std::mt19937 random(20240310u);
    for (int count : {31, 32, 33, 100, 1500}) {
        CObjectListT<CKeyword> list;
        std::vector<CBaseObject*> added;
        for (int i = 0; i < count; ++i) {
            CKeyword* keyword = MakeKeyword(RandomName(random).c_str());
            list.Add(keyword);
            added.push_back(keyword);
        }
        list.SortByName();

        ASSERT_EQ(list.GetCount(), count);
        std::vector<CBaseObject*> after;
        for (int i = 0; i < count; ++i) {
            after.push_back(list.Get(i));
            if (i > 0) {
                ASSERT_LE(WideCompareNoCase(list.Get(i - 1)->GetName(), list.Get(i)->GetName()), 0)
                    << "count " << count << ", position " << i;
            }
        }
        std::sort(added.begin(), added.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(added, after) << "every record is still there exactly once";
    }
}
