// Descriptor-level file I/O of the C runtime, always in untranslated (binary) mode.
//
// Thin and uniform over Windows' _open family and POSIX open/read/write, so that the file
// access layer above can keep its argument checks and byte-exact rules in one place.
#pragma once

#include <cstdint>

// Opens `path`; with `create`, creates a missing file and truncates an existing one
// (read and write permission for the owner); with `write`, write-only, else read-only.
// Returns a descriptor, or -1. On Linux anything but a regular file (a FIFO, a device) is
// refused without waiting for it, as a file that cannot be opened.
std::int32_t OsOpenFile(const char* path, bool create, bool write);

// Opens the existing regular file under `path` for reading, like OsOpenFile, but refuses a
// symbolic link in its place instead of following it (on Windows any reparse point), and
// a folder. Returns a descriptor, or -1.
std::int32_t OsOpenFileNoFollow(const char* path);

// Opens the lock file at `path` (created when missing, never truncated) and takes it for
// this descriptor alone, without waiting. On Windows the file is held open without any
// sharing, so nobody else can open or delete it; on Linux it carries an exclusive flock.
// Closing the descriptor releases it. Returns the descriptor, or -1 with `busy` telling
// whether someone else holds the lock (rather than the file being unusable).
std::int32_t OsLockFile(const char* path, bool& busy);

// One read or write call; returns the byte count moved, or -1 on error.
std::int32_t OsReadFile(std::int32_t fd, void* buffer, std::uint32_t count);
std::int32_t OsWriteFile(std::int32_t fd, const void* data, std::uint32_t count);

// Returns 0 on success.
std::int32_t OsCloseFile(std::int32_t fd);

// The file's length in bytes without moving the file position, or -1 on failure (also
// for a length that does not fit 31 bits).
std::int32_t OsFileLength(std::int32_t fd);
