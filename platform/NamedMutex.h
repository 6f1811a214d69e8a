#pragma once
// A system-wide named mutex: an advisory lock (flock) on a file named after the mutex in
// $XDG_RUNTIME_DIR (else /tmp, with the user id in the name). "Already existed" means that
// another process holds the lock. The lock is held until Close or destruction.

#include <string>

class CNamedMutex {
public:
    enum Result { Created, AlreadyExisted, Failed };

    explicit CNamedMutex(std::string name);
    ~CNamedMutex();
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    Result Create();
    void Close();
    const std::string& GetLockPath() const { return m_Path; }

private:
    std::string m_Name;
    std::string m_Path;
    int m_Fd = -1;
};
