#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets or clears CARVELLE_DEBUG for one test and restores it afterwards.
class ScopedDebugSetting {
public:
    explicit ScopedDebugSetting(const char* value) {
        if (const char* old = std::getenv("CARVELLE_DEBUG"))
            m_old = old;
        if (value)
            setenv("CARVELLE_DEBUG", value, 1);
        else
            unsetenv("CARVELLE_DEBUG");
    }
    ~ScopedDebugSetting() {
        if (m_old)
            setenv("CARVELLE_DEBUG", m_old->c_str(), 1);
        else
            unsetenv("CARVELLE_DEBUG");
    }
    ScopedDebugSetting(const ScopedDebugSetting&) = delete;
    ScopedDebugSetting& operator=(const ScopedDebugSetting&) = delete;

private:
    std::optional<std::string> m_old;
};

std::string Traced() {
    testing::internal::CaptureStderr();
    OutputDebugStringA("\nDatabase Connected\n");
    OutputDebugStringW(u"/home/jürgen/My Vehicles.dat");
    OutputDebugStringA(nullptr);
    OutputDebugStringW(nullptr);
    return testing::internal::GetCapturedStderr();
}

} // namespace

TEST(DebugOutput, WrittenOnlyWhenSwitchedOn) {
    {
        const ScopedDebugSetting off(nullptr);
        EXPECT_EQ(Traced(), "");
    }
    {
        const ScopedDebugSetting empty("");
        EXPECT_EQ(Traced(), "");
    }
    {
        const ScopedDebugSetting on("1");
        EXPECT_EQ(Traced(), "\nDatabase Connected\n/home/j\xC3\xBCrgen/My Vehicles.dat");
    }
}
