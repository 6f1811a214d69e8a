#include "support/TempDataFile.h"

#include "platform/TextConversion.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TempDataFile::TempDataFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "carvelle-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_Folder = pattern;
    m_Path = m_Folder + "/Test.dat";
    std::filesystem::copy_file(CARVELLE_TEMPLATE_PATH, m_Path);
}

TempDataFile::~TempDataFile() {
    std::error_code ignored;
    std::filesystem::permissions(m_Folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_Folder, ignored);
}

std::u16string TempDataFile::WidePath() const {
    return Utf8ToWide(m_Path);
}
