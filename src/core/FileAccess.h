// Argument-checking wrappers around descriptor-level file I/O.
//
// Files are always untranslated; a read or write counts only when it moved every byte;
// a missing argument (empty path, null buffer, zero count, closed descriptor) throws
// EError. Callers turn the boolean results into host result codes themselves.
#pragma once

#include <cstdint>

// Opens `path` into `cell` (see OsOpenFile for the modes). Does not close what the cell
// held before: callers run CloseFile first. True when the cell holds a descriptor.
bool OpenFile(std::int32_t& cell, const char* path, bool create, bool write);

// Opens the regular file under `path` for reading, refusing a symbolic link in its place
// rather than following it (see OsOpenFileNoFollow). The same rules as OpenFile.
bool OpenFileNoFollow(std::int32_t& cell, const char* path);

// True when nothing was open or the close succeeded; the cell is -1 afterwards either way.
bool CloseFile(std::int32_t& cell);

// True only when all `count` bytes were written in one call.
bool WriteExact(const std::int32_t& cell, const void* data, std::uint32_t count);

// True only when all `count` bytes were read in one call; a short read leaves its bytes in
// the buffer.
bool ReadExact(const std::int32_t& cell, void* buffer, std::uint32_t count);

// One read of at most `count` bytes: the number read, 0 at the end of the file or on a
// failure.
std::uint32_t ReadSome(const std::int32_t& cell, void* buffer, std::uint32_t count);

// The file's length, or 0 for an empty file or a failure.
std::int32_t GetFileLength(const std::int32_t& cell);
