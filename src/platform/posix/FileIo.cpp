// POSIX descriptors in place of the C runtime's _open family. There is no text mode, so
// every file is untranslated; descriptors are not passed on to started programs.
#include "platform/FileIo.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::int32_t OsOpenFile(const char* path, bool create, bool write) {
    int flags = O_CLOEXEC | (write ? O_WRONLY : O_RDONLY);
    if (create)
        flags |= O_CREAT | O_TRUNC;
    return ::open(path, flags, create ? 0600 : 0);
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
