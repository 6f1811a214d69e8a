#include "platform/FileSystem.h"

#include "platform/TextConversion.h"
#include "platform/WideString.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string PathFromWide(LPCWSTR path) {
    return WideToUtf8(std::u16string_view(path, WideLength(path)));
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool Close() {
        if (m_fd < 0)
            return true;
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CopyContents(int from, int to) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got)))
            return false;
    }
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return "./";
    return path.substr(0, slash + 1);
}

} // namespace

DWORD GetFileAttributesW(LPCWSTR path) {
    if (path == nullptr || path[0] == 0)
        return INVALID_FILE_ATTRIBUTES;
    const std::string name = PathFromWide(path);
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0)
        return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    // root may write whatever the bits say, so the owner's write bit is checked as well.
    if ((info.st_mode & S_IWUSR) == 0 || ::access(name.c_str(), W_OK) != 0)
        return FILE_ATTRIBUTE_READONLY;
    return FILE_ATTRIBUTE_NORMAL;
}

FileReadState GetFileReadState(LPCWSTR path) {
    if (path == nullptr || path[0] == 0)
        return FileMissing;
    const std::string name = PathFromWide(path);
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0)
        return errno == EACCES ? FileAccessDenied : FileMissing;
    if (S_ISDIR(info.st_mode))
        return FileReadable; // a folder is there; what it is not is for the caller to say
    if ((info.st_mode & S_IRUSR) == 0)
        return FileAccessDenied;
    // Asked, not opened: closing a descriptor of a file drops every POSIX lock this process holds
    // on it, the data layer's SQLite locks included.
    if (::faccessat(AT_FDCWD, name.c_str(), R_OK, AT_EACCESS) != 0)
        return errno == EACCES || errno == EPERM ? FileAccessDenied : FileMissing;
    return FileReadable;
}

namespace {

BOOL CopyFileAs(LPCWSTR existingPath, LPCWSTR newPath, BOOL failIfExists, bool keepMode) {
    if (existingPath == nullptr || newPath == nullptr || existingPath[0] == 0 || newPath[0] == 0)
        return 0;
    const std::string source = PathFromWide(existingPath);
    const std::string target = PathFromWide(newPath);

    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.Valid())
        return 0;
    struct stat sourceInfo {};
    if (::fstat(in.Get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode))
        return 0;
    struct stat targetInfo {};
    if (::lstat(target.c_str(), &targetInfo) == 0) {
        if (failIfExists)
            return 0;
        // As with CopyFile, a file marked read-only is not replaced.
        if (GetFileAttributesW(newPath) == FILE_ATTRIBUTE_READONLY)
            return 0;
    }

    std::string temporary = FolderOf(target) + ".copy-XXXXXX";
    FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.Valid())
        return 0;

    // The copy keeps the source's permissions, but the owner can always write it: a new data
    // file made from an installed read-only template must not itself be read-only.
    // A private copy keeps the mode mkostemp gave it: 0600 less the umask.
    const mode_t mode = (sourceInfo.st_mode & 0777) | S_IRUSR | S_IWUSR;
    bool ok = (!keepMode || ::fchmod(out.Get(), mode) == 0) && CopyContents(in.Get(), out.Get()) &&
              ::fsync(out.Get()) == 0;
    ok = out.Close() && ok;
    if (ok) {
        if (failIfExists) {
            // link refuses an existing name, so a file that appeared meanwhile is not replaced.
            if (::link(temporary.c_str(), target.c_str()) == 0) {
                ::unlink(temporary.c_str());
            } else if (errno != EEXIST && ::lstat(target.c_str(), &targetInfo) != 0) {
                // A file system without hard links: fall back to a plain rename.
                ok = ::rename(temporary.c_str(), target.c_str()) == 0;
            } else {
                ok = false;
            }
        } else {
            ok = ::rename(temporary.c_str(), target.c_str()) == 0;
        }
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return 0;
    }
    // Make the new name itself durable.
    FileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid())
        ::fsync(folder.Get());
    return 1;
}

} // namespace

BOOL CopyFileW(LPCWSTR existingPath, LPCWSTR newPath, BOOL failIfExists) {
    return CopyFileAs(existingPath, newPath, failIfExists, true);
}

BOOL CopyFilePrivate(LPCWSTR existingPath, LPCWSTR newPath, BOOL failIfExists) {
    return CopyFileAs(existingPath, newPath, failIfExists, false);
}

std::string GetModuleFolder() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return std::string();
        if (static_cast<std::size_t>(length) < buffer.size())
            return FolderOf(std::string(buffer.data(), static_cast<std::size_t>(length)));
        buffer.resize(buffer.size() * 2);
    }
}
