// The C runtime's low-level file functions on Windows.
#include "platform/FileIo.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

std::int32_t OsOpenFile(const char* path, bool create, bool write) {
    int flags = _O_BINARY | (write ? _O_WRONLY : _O_RDONLY);
    int permission = 0;
    if (create) {
        flags |= _O_CREAT | _O_TRUNC;
        permission = _S_IREAD | _S_IWRITE;
    }
    return _open(path, flags, permission);
}

std::int32_t OsOpenFileNoFollow(const char* path) {
    // The sharing of _open; the reparse point itself is opened rather than what it names,
    // and a folder cannot be opened without backup semantics.
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(file);
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd == -1)
        CloseHandle(file);
    return fd;
}

std::int32_t OsLockFile(const char* path, bool& busy) {
    busy = false;
    // No sharing at all: a second opener gets a sharing violation, and a delete fails the
    // same way, so the cleaning of another run cannot take the lock away. The handle is
    // not inherited by the started program.
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        busy = GetLastError() == ERROR_SHARING_VIOLATION;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
    if (fd == -1)
        CloseHandle(file);
    return fd;
}

std::int32_t OsReadFile(std::int32_t fd, void* buffer, std::uint32_t count) {
    return _read(fd, buffer, count);
}

std::int32_t OsWriteFile(std::int32_t fd, const void* data, std::uint32_t count) {
    return _write(fd, data, count);
}

std::int32_t OsCloseFile(std::int32_t fd) { return _close(fd); }

std::int32_t OsFileLength(std::int32_t fd) { return _filelength(fd); }
