#include "platform/FileSystem.h"
#include "platform/TextConversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "carvelle-platform-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern + "/";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_folder, ignored);
    }

    std::string PathOf(const std::string& name) const { return m_folder + name; }
    std::u16string WidePathOf(const std::string& name) const { return Utf8ToWide(PathOf(name)); }

    void WriteFile(const std::string& name, const std::string& contents) const {
        std::ofstream out(PathOf(name), std::ios::binary);
        out << contents;
        ASSERT_TRUE(out.good());
    }
    std::string ReadFile(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
    }

    std::string m_folder;
};

} // namespace

TEST_F(FileSystemTest, Attributes) {
    EXPECT_EQ(GetFileAttributesW(nullptr), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(u""), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(WidePathOf("missing.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(Utf8ToWide(m_folder).c_str()), FILE_ATTRIBUTE_DIRECTORY);

    WriteFile("Fahrzeuge Ü.dat", "data");
    const std::u16string path = WidePathOf("Fahrzeuge Ü.dat");
    EXPECT_EQ(GetFileAttributesW(path.c_str()), FILE_ATTRIBUTE_NORMAL);

    // The bit counts even for root, who could still open the file for writing.
    ASSERT_EQ(chmod(PathOf("Fahrzeuge Ü.dat").c_str(), 0444), 0);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(chmod(PathOf("Fahrzeuge Ü.dat").c_str(), 0644), 0);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileSystemTest, CopyCreatesAndReplaces) {
    std::string big(200000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 % 251);
    WriteFile("source.dat", big);
    WriteFile("target.dat", "old contents");

    ASSERT_TRUE(CopyFileW(WidePathOf("source.dat").c_str(), WidePathOf("new.dat").c_str(), 1));
    EXPECT_EQ(ReadFile("new.dat"), big);
    ASSERT_TRUE(CopyFileW(WidePathOf("source.dat").c_str(), WidePathOf("target.dat").c_str(), 0));
    EXPECT_EQ(ReadFile("target.dat"), big);
    EXPECT_EQ(EntryCount(), 3u); // no temporary left behind
}

TEST_F(FileSystemTest, FailedCopyLeavesTheTargetUntouched) {
    WriteFile("source.dat", "new contents");
    WriteFile("target.dat", "old contents");
    const std::u16string source = WidePathOf("source.dat");
    const std::u16string target = WidePathOf("target.dat");

    EXPECT_FALSE(CopyFileW(WidePathOf("missing.dat").c_str(), target.c_str(), 0));
    EXPECT_FALSE(CopyFileW(source.c_str(), target.c_str(), 1));
    EXPECT_FALSE(CopyFileW(Utf8ToWide(m_folder).c_str(), target.c_str(), 0)); // a folder is no file
    EXPECT_EQ(ReadFile("target.dat"), "old contents");
    EXPECT_EQ(EntryCount(), 2u);

    EXPECT_FALSE(CopyFileW(source.c_str(), WidePathOf("no such folder/target.dat").c_str(), 0));
    EXPECT_FALSE(CopyFileW(nullptr, target.c_str(), 0));
    EXPECT_FALSE(CopyFileW(source.c_str(), u"", 0));

    // A target marked read-only is not replaced.
    ASSERT_EQ(chmod(PathOf("target.dat").c_str(), 0444), 0);
    EXPECT_FALSE(CopyFileW(source.c_str(), target.c_str(), 0));
    EXPECT_EQ(ReadFile("target.dat"), "old contents");
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(FileSystemTest, CopyOfAReadOnlySourceIsWritable) {
    WriteFile("Default.ENU", "template");
    ASSERT_EQ(chmod(PathOf("Default.ENU").c_str(), 0444), 0);
    ASSERT_TRUE(CopyFileW(WidePathOf("Default.ENU").c_str(), WidePathOf("My Vehicles.dat").c_str(), 0));
    EXPECT_EQ(GetFileAttributesW(WidePathOf("My Vehicles.dat").c_str()), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile("My Vehicles.dat"), "template");
}

TEST(ModuleFolder, IsTheFolderOfTheRunningProgram) {
    const std::string folder = GetModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(
        fs::equivalent(fs::path(folder) / fs::read_symlink("/proc/self/exe").filename(), "/proc/self/exe"));
}
