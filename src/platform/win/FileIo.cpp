// The C runtime's low-level file functions on Windows.
#include "platform/FileIo.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

std::int32_t OsOpenFile(const char* path, bool create, bool write) {
    int flags = _O_BINARY | (write ? _O_WRONLY : _O_RDONLY);
    int permission = 0;
    if (create) {
        flags |= _O_CREAT | _O_TRUNC;
        permission = _S_IREAD | _S_IWRITE;
    }
    return _open(path, flags, permission);
}

std::int32_t OsReadFile(std::int32_t fd, void* buffer, std::uint32_t count) {
    return _read(fd, buffer, count);
}

std::int32_t OsWriteFile(std::int32_t fd, const void* data, std::uint32_t count) {
    return _write(fd, data, count);
}

std::int32_t OsCloseFile(std::int32_t fd) { return _close(fd); }

std::int32_t OsFileLength(std::int32_t fd) { return _filelength(fd); }
