// File access: the argument checks and all-or-nothing rules over the platform's I/O.
#include "core/FileAccess.h"

#include "core/Error.h"
#include "platform/FileIo.h"

bool OpenFile(std::int32_t& cell, const char* path, bool create, bool write) {
    Require(path != nullptr && path[0] != '\0');
    cell = OsOpenFile(path, create, write);
    return cell != -1;
}

bool OpenFileNoFollow(std::int32_t& cell, const char* path) {
    Require(path != nullptr && path[0] != '\0');
    cell = OsOpenFileNoFollow(path);
    return cell != -1;
}

bool CloseFile(std::int32_t& cell) {
    if (cell == -1)
        return true;
    const std::int32_t closed = OsCloseFile(cell);
    cell = -1;
    return closed == 0;
}

bool WriteExact(const std::int32_t& cell, const void* data, std::uint32_t count) {
    Require(cell != -1 && data != nullptr && count != 0);
    const std::int32_t written = OsWriteFile(cell, data, count);
    return written > 0 && static_cast<std::uint32_t>(written) == count;
}

bool ReadExact(const std::int32_t& cell, void* buffer, std::uint32_t count) {
    Require(cell != -1 && buffer != nullptr && count != 0);
    const std::int32_t read = OsReadFile(cell, buffer, count);
    return read > 0 && static_cast<std::uint32_t>(read) == count;
}

std::uint32_t ReadSome(const std::int32_t& cell, void* buffer, std::uint32_t count) {
    Require(cell != -1 && buffer != nullptr && count != 0);
    const std::int32_t read = OsReadFile(cell, buffer, count);
    return read > 0 ? static_cast<std::uint32_t>(read) : 0;
}

std::int32_t GetFileLength(const std::int32_t& cell) {
    Require(cell != -1);
    const std::int32_t length = OsFileLength(cell);
    return length > 0 ? length : 0;
}
