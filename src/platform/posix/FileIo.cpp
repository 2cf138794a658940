// POSIX descriptors in place of the C runtime's _open family. There is no text mode, so
// every file is untranslated; descriptors are not passed on to started programs.
#include "platform/FileIo.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Keeps `fd` only when it is a regular file, switched back to blocking I/O; otherwise
// closes it and returns -1.
int KeepRegularFile(int fd) {
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags == -1 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::int32_t OsOpenFile(const char* path, bool create, bool write) {
    // Without O_NONBLOCK a FIFO in place of an exchange or settings file would hold the
    // host in open() until some writer came along, which may be never.
    int flags = O_CLOEXEC | O_NONBLOCK | (write ? O_WRONLY : O_RDONLY);
    if (create)
        flags |= O_CREAT | O_TRUNC;
    const int fd = ::open(path, flags, create ? 0600 : 0);
    return fd == -1 ? -1 : KeepRegularFile(fd);
}

std::int32_t OsOpenFileNoFollow(const char* path) {
    const int fd = ::open(path, O_CLOEXEC | O_NONBLOCK | O_RDONLY | O_NOFOLLOW);
    return fd == -1 ? -1 : KeepRegularFile(fd);
}

std::int32_t OsLockFile(const char* path, bool& busy) {
    busy = false;
    // A link in place of the lock file is refused rather than followed: the lock must be
    // the file in our own folder that every run opens.
    const int fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd == -1 || KeepRegularFile(fd) == -1)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        busy = errno == EWOULDBLOCK;
        ::close(fd);
        return -1;
    }
    return fd;
}

std::int32_t OsReadFile(std::int32_t fd, void* buffer, std::uint32_t count) {
    ssize_t n = ::read(fd, buffer, count);
    return n < 0 ? -1 : static_cast<std::int32_t>(n);
}

std::int32_t OsWriteFile(std::int32_t fd, const void* data, std::uint32_t count) {
    ssize_t n = ::write(fd, data, count);
    return n < 0 ? -1 : static_cast<std::int32_t>(n);
}

std::int32_t OsCloseFile(std::int32_t fd) { return ::close(fd); }

std::int32_t OsFileLength(std::int32_t fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size > INT32_MAX)
        return -1;
    return static_cast<std::int32_t>(info.st_size);
}
