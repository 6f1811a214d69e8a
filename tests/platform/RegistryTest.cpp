#include "platform/Registry.h"

#include "support/TempConfigHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const std::string kPrefix =
    "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Ferrox Software\\Carvelle]\n";

std::vector<BYTE> Bytes(std::initializer_list<int> list) {
    std::vector<BYTE> out;
    for (int b : list)
        out.push_back(static_cast<BYTE>(b));
    return out;
}

bool Has(const CRegistryKey& key, const char* name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    return key.QueryValue(name, type, data);
}

TEST(RegistryTest, ValuesRoundTripInTheFileFormatAndInTheirOrder) {
    TempConfigHome env;
    const std::u16string text = u"C:\\Dir\\\"quoted\" Ünïcode 日本語 𝄞";
    {
        CRegistryKey key;
        ASSERT_FALSE(key.Open()) << "no file yet";
        ASSERT_TRUE(key.Create());
        EXPECT_TRUE(key.SetString("Text", text));
        EXPECT_TRUE(key.SetDword("Count", 0x1a));
        const BYTE rate[] = {0xcd, 0xcc, 0xcc, 0x3e};
        EXPECT_TRUE(key.SetBinary("Rate", rate, sizeof rate));
        EXPECT_TRUE(key.SetBinary("Empty", nullptr, 0));
        // Forms the plain text lines cannot carry exactly.
        const BYTE unterminated[] = {'a', 0, 'b', 0};
        EXPECT_TRUE(key.SetValue("Unterminated", REG_SZ, unterminated, sizeof unterminated));
        const BYTE shortDword[] = {1, 2};
        EXPECT_TRUE(key.SetValue("ShortDword", REG_DWORD, shortDword, sizeof shortDword));
        const std::u16string lines = u"one\ntwo";
        EXPECT_TRUE(key.SetValue("Lines", REG_SZ, lines.c_str(), (lines.size() + 1) * 2));
        const char16_t lone[] = {u'x', 0xD800, 0};
        EXPECT_TRUE(key.SetValue("Lone", REG_SZ, lone, sizeof lone));
        const std::u16string expand = u"%HOME%/x";
        EXPECT_TRUE(key.SetValue("Expand", REG_EXPAND_SZ, expand.c_str(), (expand.size() + 1) * 2));
        EXPECT_TRUE(key.SetDword("Count", 0xFFFFFFFFu)) << "a change keeps its place";
        ASSERT_TRUE(key.Commit());
    }
    const std::string file = env.ReadSettings();
    EXPECT_EQ(file.rfind(kPrefix, 0), 0u) << file;
    EXPECT_NE(file.find("\n\"Text\"=\"C:\\\\Dir\\\\\\\"quoted\\\" Ünïcode 日本語 𝄞\"\n"), std::string::npos)
        << file;
    EXPECT_NE(file.find("\n\"Count\"=dword:ffffffff\n"), std::string::npos);
    EXPECT_NE(file.find("\n\"Rate\"=hex:cd,cc,cc,3e\n"), std::string::npos);
    EXPECT_NE(file.find("\n\"Empty\"=hex:\n"), std::string::npos);
    EXPECT_NE(file.find("\n\"Unterminated\"=hex(1):61,00,62,00\n"), std::string::npos);
    EXPECT_NE(file.find("\n\"ShortDword\"=hex(4):01,02\n"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(env.SettingsFolder()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file left behind";

    CRegistryKey key;
    ASSERT_TRUE(key.Open());
    EXPECT_FALSE(key.IsWritable());
    EXPECT_EQ(key.ValueNames(), (std::vector<std::string>{"Text", "Count", "Rate", "Empty", "Unterminated",
                                                          "ShortDword", "Lines", "Lone", "Expand"}));
    EXPECT_EQ(key.QueryString("Text"), text);
    EXPECT_EQ(key.QueryString("text"), text) << "names ignore case";
    EXPECT_EQ(key.QueryDword("Count"), 0xFFFFFFFFu);
    EXPECT_EQ(key.QueryBinary("Rate"), Bytes({0xcd, 0xcc, 0xcc, 0x3e}));
    EXPECT_EQ(key.QueryBinary("Empty"), std::vector<BYTE>());
    EXPECT_EQ(key.QueryString("Lines"), u"one\ntwo");
    EXPECT_EQ(key.QueryString("Lone"), (std::u16string{u'x', char16_t(0xD800)}));
    EXPECT_EQ(key.QueryString("Expand"), u"%HOME%/x");

    // Typed queries refuse what is not of their type.
    EXPECT_FALSE(key.QueryString("Unterminated")) << "not terminated";
    EXPECT_FALSE(key.QueryDword("ShortDword"));
    EXPECT_FALSE(key.QueryDword("Text"));
    EXPECT_FALSE(key.QueryBinary("Count"));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(key.QueryValue("ShortDword", type, data));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, Bytes({1, 2}));
    EXPECT_FALSE(key.SetDword("Count", 1)) << "opened for reading only";
}

TEST(RegistryTest, UnreadableLinesCountAsMissingAndAreDroppedOnRewrite) {
    TempConfigHome env;
    env.WriteSettings("\"Stray\"=dword:00000001\n" // before the key
                      + kPrefix +
                      "\"Good\"=dword:0000002a\n"
                      "\"CutDword\"=dword:0000\n"
                      "\"CutHex\"=hex:cd,cc,c\n"
                      "\"TrailingComma\"=hex:cd,cc,\n"
                      "\"Unclosed\"=\"/home/me\n"
                      "\"BadEscape\"=\"a\\nb\"\n"
                      "\"Junk\"=\"a\" tail\n"
                      "\"Deleted\"=-\n"
                      "\"BadType\"=hex(zz):00\n"
                      "\"NoValue\"\n"
                      "garbage \x01\x02\xff line\n"
                      "\"Wrapped\"=hex:01,02,\\\n"
                      "  03,04\n"
                      "\"Twice\"=dword:00000001\n"
                      "\"Twice\"=dword:00000002\n"
                      "\"Kept\"=hex(b):01,00,00,00,00,00,00,00\n"
                      "[HKEY_CURRENT_USER\\Software\\Someone Else]\n"
                      "\"Other\"=dword:00000003\n"
                      "[hkey_current_user\\software\\ferrox software\\carvelle]\n"
                      "\"Later\"=\"x\"\n"
                      "\"LastLine\"=dword:0000000");
    CRegistryKey key;
    ASSERT_TRUE(key.Create());
    EXPECT_EQ(key.ValueNames(), (std::vector<std::string>{"Good", "Wrapped", "Twice", "Kept", "Later"}));
    EXPECT_EQ(key.QueryDword("Good"), 42u);
    EXPECT_EQ(key.QueryBinary("Wrapped"), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(key.QueryDword("Twice"), 2u) << "the last one counts";
    for (const char* name : {"Stray", "CutDword", "CutHex", "TrailingComma", "Unclosed", "BadEscape", "Junk",
                             "Deleted", "BadType", "NoValue", "Other", "LastLine"})
        EXPECT_FALSE(Has(key, name)) << name;

    // Known and unknown values alike survive a rewrite; unreadable lines do not come back.
    ASSERT_TRUE(key.SetDword("New", 7));
    ASSERT_TRUE(key.Commit());
    EXPECT_EQ(env.ReadSettings(), kPrefix + "\"Good\"=dword:0000002a\n"
                                            "\"Wrapped\"=hex:01,02,03,04\n"
                                            "\"Twice\"=dword:00000002\n"
                                            "\"Kept\"=hex(b):01,00,00,00,00,00,00,00\n"
                                            "\"Later\"=\"x\"\n"
                                            "\"New\"=dword:00000007\n\n");
}

TEST(RegistryTest, BrokenOrForeignFilesDoNotFail) {
    TempConfigHome env;
    const std::string cases[] = {
        "",
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Soft",
        std::string("\0\0\0\xff\xfe garbage \x80\x81", 17),
        kPrefix + "\"Half\"=hex:" + std::string(100000, ','),
        kPrefix + "\"" + std::string(300000, '\\'),
    };
    for (const std::string& content : cases) {
        env.WriteSettings(content);
        CRegistryKey key;
        ASSERT_TRUE(key.Open());
        EXPECT_TRUE(key.ValueNames().empty());
    }

    // The registry editor's own files: UTF-16 with a byte-order mark, CRLF line ends.
    const std::u16string wide = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\Software\\Ferrox Software\\Carvelle]\r\n"
                                u"\"DBPath\"=\"\\\\Mes documents\\\\Véhicules.dat\"\r\n"
                                u"\"UnitVolume\"=dword:00000002\r\n";
    std::string raw;
    for (char16_t c : wide) {
        raw.push_back(static_cast<char>(c & 0xFF));
        raw.push_back(static_cast<char>(c >> 8));
    }
    env.WriteSettings(raw);
    CRegistryKey key;
    ASSERT_TRUE(key.Open());
    EXPECT_EQ(key.QueryString("DBPath"), u"\\Mes documents\\Véhicules.dat");
    EXPECT_EQ(key.QueryDword("UnitVolume"), 2u);
}

TEST(RegistryTest, LargeValuesAndOversizedFiles) {
    TempConfigHome env;
    const std::u16string longText(200000, u'ж');
    std::vector<BYTE> blob(300000);
    for (std::size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<BYTE>(i * 7);
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create());
        key.SetString("Long", longText);
        key.SetBinary("Blob", blob.data(), blob.size());
        ASSERT_TRUE(key.Commit());
    }
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open());
        EXPECT_EQ(key.QueryString("Long"), longText);
        EXPECT_EQ(key.QueryBinary("Blob"), blob);
    }
    // A file far larger than any settings is not parsed; it reads as no values and is replaced.
    env.WriteSettings(kPrefix + "\"A\"=dword:00000001\n" + std::string(17u * 1024u * 1024u, ' '));
    CRegistryKey key;
    ASSERT_TRUE(key.Create());
    EXPECT_FALSE(Has(key, "A"));
    key.SetDword("B", 2);
    ASSERT_TRUE(key.Commit());
    EXPECT_EQ(env.ReadSettings(), kPrefix + "\"B\"=dword:00000002\n\n");
}

TEST(RegistryTest, FileLocationAndCommitPlacement) {
    TempConfigHome env;
    EXPECT_EQ(CRegistryKey::SettingsFilePath(), env.SettingsFile());
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1); // not absolute: ignored
    EXPECT_EQ(CRegistryKey::SettingsFilePath(), env.Root() + "/home/.config/Ferrox Software/Carvelle.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(CRegistryKey::SettingsFilePath(), env.Root() + "/home/.config/Ferrox Software/Carvelle.reg");

    // Missing folders are made at commit.
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create());
        key.SetDword("A", 1);
        ASSERT_TRUE(key.Commit());
        EXPECT_TRUE(std::filesystem::exists(env.Root() + "/home/.config/Ferrox Software/Carvelle.reg"));
    }

    // A settings file kept elsewhere through a link stays a link.
    const std::string real = env.Root() + "/elsewhere.reg";
    const std::string link = env.Root() + "/home/.config/Ferrox Software/Carvelle.reg";
    std::filesystem::rename(link, real);
    std::filesystem::create_symlink(real, link);
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create());
        EXPECT_EQ(key.QueryDword("A"), 1u);
        key.SetDword("A", 2);
        ASSERT_TRUE(key.Commit());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    CRegistryKey key;
    ASSERT_TRUE(key.Open());
    EXPECT_EQ(key.QueryDword("A"), 2u);

    // Something at the path that is not a readable file is never overwritten.
    const std::string dir = env.Root() + "/dir.reg";
    std::filesystem::create_directory(dir);
    CRegistryKey onDir(dir);
    EXPECT_FALSE(onDir.Open());
    EXPECT_FALSE(onDir.Create());
    EXPECT_FALSE(onDir.Commit());
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}

// Value lookups: by name without regard to case, through deletes and duplicates, in files of
// many names.
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
