// The operating system's folders and the folder services the working folder is built on.
//
// Each call mirrors one system service (GetTempPathA, SHGetFolderPathA, _stat, _mkdir,
// _findfirst, remove on Windows; their POSIX counterparts on Linux); the rules about
// lengths, separators and what to do with the answers live with the callers.
#pragma once

#include <cstdint>

// The path separator: a backslash on Windows, a slash on Linux.
char OsPathSeparator();

// Writes the user's temporary folder, with a trailing separator, into a zero-filled buffer
// of `size` characters, read afresh at every call (Linux: $TMPDIR when set and not empty,
// else /tmp). Returns the length written; when the buffer is too small, the size it would
// need (terminating zero included) and nothing is written; 0 on failure.
std::uint32_t OsGetTempPath(char* buffer, std::uint32_t size);

// Writes the user's profile folder (Linux: $HOME) into a zero-filled buffer of `size`
// characters, read afresh at every call. False when the system has none or it does not
// fit; the buffer then stays zero.
bool OsGetProfilePath(char* buffer, std::uint32_t size);

// Whether anything (file or folder, symbolic links followed) exists under the path.
bool OsPathExists(const char* path);

// Creates one folder level (Linux: mode 0700, so only the user can look inside).
bool OsCreateFolder(const char* path);

// Called with each name of a listing; returns false to end the listing early.
using OsFileVisitor = bool (*)(const char* name, void* context);

// Calls `visit` with the name of each entry directly inside the folder that is not a
// folder itself, hidden ones included, "." and ".." left out, in the order the system
// lists them. The name lives in the listing's own buffer until `visit` returns, so a
// listing allocates nothing per entry, and `visit` may delete the entry it is given. The
// folder ends in a separator. False when the folder cannot be listed.
bool OsVisitFiles(const char* folder, OsFileVisitor visit, void* context);

// Deletes one file; true on success.
bool OsRemoveFile(const char* path);

// Whether an existing folder may be used as the working folder. On Linux the temporary
// folder is shared by all users, so a folder that is a symbolic link or belongs to
// someone else is refused; on Windows every folder may be used.
bool OsIsTrustedFolder(const char* path);
