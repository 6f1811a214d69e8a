#include "platform/NamedMutex.h"

#include "support/TempConfigHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs Create in a child process and returns its result.
int CreateInChild(const std::string& name) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        CNamedMutex m(name);
        ::_exit(static_cast<int>(m.Create()));
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(NamedMutexTest, AnotherProcessSeesItHeldUntilReleased) {
    TempConfigHome env;
    const std::string name = "Carvelle";
    {
        CNamedMutex held(name);
        ASSERT_EQ(held.Create(), CNamedMutex::Created);
        EXPECT_EQ(CreateInChild(name), CNamedMutex::AlreadyExisted);
        EXPECT_EQ(CreateInChild("{7E734BFE-168E-46bb-81BF-C6D0F0C0FAF6}"), CNamedMutex::Created)
            << "other names are free";
        CNamedMutex sameProcess(name);
        EXPECT_EQ(sameProcess.Create(), CNamedMutex::AlreadyExisted);
        held.Close();
        EXPECT_EQ(CreateInChild(name), CNamedMutex::Created);
        EXPECT_TRUE(std::filesystem::exists(held.GetLockPath())) << "the lock file stays";
    }

    // The other way round: a child holds it while this process asks.
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CNamedMutex m(name);
        const char result = static_cast<char>(m.Create());
        char go = 0;
        if (::write(ready[1], &result, 1) != 1 || ::read(release[0], &go, 1) != 1)
            ::_exit(2);
        ::_exit(0); // the lock goes with the process
    }
    char childResult = -1;
    ASSERT_EQ(::read(ready[0], &childResult, 1), 1);
    EXPECT_EQ(childResult, CNamedMutex::Created);
    CNamedMutex waiting(name);
    EXPECT_EQ(waiting.Create(), CNamedMutex::AlreadyExisted);
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(waiting.Create(), CNamedMutex::Created);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
}

TEST(NamedMutexTest, LockFilePlacement) {
    TempConfigHome env;
    EXPECT_EQ(CNamedMutex("Carvelle").GetLockPath(), env.RuntimeDir() + "/Carvelle.lock");
    EXPECT_EQ(CNamedMutex("a/b").GetLockPath(), env.RuntimeDir() + "/a_b.lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(CNamedMutex("Carvelle").GetLockPath(), "/tmp/Carvelle-" + std::to_string(::getuid()) + ".lock");

    ::setenv("XDG_RUNTIME_DIR", env.RuntimeDir().c_str(), 1);
    EXPECT_EQ(CNamedMutex("").Create(), CNamedMutex::Failed);
    // Something of another kind under that name.
    std::filesystem::create_directory(env.RuntimeDir() + "/Taken.lock");
    EXPECT_EQ(CNamedMutex("Taken").Create(), CNamedMutex::Failed);
}

} // namespace
