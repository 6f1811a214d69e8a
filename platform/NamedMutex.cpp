#include "platform/NamedMutex.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

std::string LockPathFor(const std::string& name) {
    if (name.empty())
        return {};
    // A mutex name may hold any character; a path component may not hold '/'.
    std::string safe = name;
    for (char& c : safe) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        std::string folder = runtime;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder + "/" + safe + ".lock";
    }
    return "/tmp/" + safe + "-" + std::to_string(::getuid()) + ".lock";
}

} // namespace

CNamedMutex::CNamedMutex(std::string name) : m_Name(std::move(name)), m_Path(LockPathFor(m_Name)) {}

CNamedMutex::~CNamedMutex() {
    Close();
}

CNamedMutex::Result CNamedMutex::Create() {
    if (m_Fd >= 0)
        return Created; // this object already holds it
    if (m_Path.empty())
        return Failed;
    // No symlinks: in /tmp another user could plant one in our name.
    const int fd = ::open(m_Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Failed;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        ::close(fd);
        return err == EWOULDBLOCK ? AlreadyExisted : Failed;
    }
    // The lock file is left in place on release: removing it could let two processes each lock
    // a different file of the same name.
    m_Fd = fd;
    return Created;
}

void CNamedMutex::Close() {
    if (m_Fd >= 0) {
        ::close(m_Fd);
        m_Fd = -1;
    }
}
