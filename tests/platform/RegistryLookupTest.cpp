// Value lookups of the settings reader: by name without regard to case, through deletes and
// duplicates, in files of many names.

#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(RegistryLookupTest, NamesAreFoundAfterDeletesDuplicatesAndInLargeFiles) {
    std::string folder = (std::filesystem::temp_directory_path() / "carvelle-reg-XXXXXX").string();
    ASSERT_NE(nullptr, mkdtemp(folder.data()));
    const std::string path = folder + "/Carvelle.reg";
    {
        std::ofstream out(path, std::ios::binary);
        out << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_CURRENT_USER\\Software\\Ferrox Software\\Carvelle]\n";
        for (int i = 0; i < 5000; ++i)
            out << "\"Name" << i << "\"=dword:" << std::string(7, '0') << (i % 10) << "\n";
        out << "\"name7\"=dword:000000ff\n"; // the last of two spellings counts
    }

    CRegistryKey key(path);
    ASSERT_TRUE(key.Create());
    EXPECT_EQ(5000u, key.ValueNames().size());
    EXPECT_EQ(0xffu, key.QueryDword("NAME7"));
    EXPECT_EQ(9u, key.QueryDword("name4999"));

    // A delete moves every later value up; each is still found, and a new one goes last.
    ASSERT_TRUE(key.DeleteValue("NAME10"));
    EXPECT_FALSE(key.QueryDword("Name10"));
    EXPECT_FALSE(key.DeleteValue("Name10"));
    EXPECT_EQ(1u, key.QueryDword("Name11"));
    EXPECT_EQ(9u, key.QueryDword("Name4999"));
    ASSERT_TRUE(key.SetDword("Name10", 42));
    ASSERT_TRUE(key.SetDword("NAME11", 43));
    EXPECT_EQ(42u, key.QueryDword("name10"));
    EXPECT_EQ(43u, key.QueryDword("name11"));
    EXPECT_EQ("Name10", key.ValueNames().back());
    EXPECT_EQ(5000u, key.ValueNames().size());

    ASSERT_TRUE(key.Commit());
    CRegistryKey again(path);
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(42u, again.QueryDword("Name10"));
    EXPECT_EQ(43u, again.QueryDword("Name11"));
    EXPECT_EQ(0xffu, again.QueryDword("Name7"));
    again.Close();
    EXPECT_FALSE(again.QueryDword("Name7"));

    std::filesystem::remove_all(folder);
}

} // namespace
