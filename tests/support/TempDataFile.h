#pragma once
// A data file for one test, copied from the template into a fresh temporary folder that is
// removed again with everything in it.

#include <string>

class TempDataFile {
public:
    TempDataFile();
    ~TempDataFile();
    TempDataFile(const TempDataFile&) = delete;
    TempDataFile& operator=(const TempDataFile&) = delete;

    const std::string& Path() const { return m_Path; } // UTF-8
    std::u16string WidePath() const;
    const std::string& Folder() const { return m_Folder; } // for further files of the test

private:
    std::string m_Folder;
    std::string m_Path;
};
