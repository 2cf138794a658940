// The operating system's folders and the folder services the working folder is built on.
//
// Each call mirrors one system service (GetTempPathW, SHGetFolderPathW, _stat, _mkdir,
// _findfirst, remove on Windows; their POSIX counterparts on Linux); the rules about
// lengths, separators and what to do with the answers live with the callers.
#pragma once

#include <cstdint>
#include <string>

// The path separator: a backslash on Windows, a slash on Linux.
char OsPathSeparator();

// Whether the text's last character is the separator. On Windows the text is read by
// characters of the ANSI code page: under a double-byte code page the second byte of a
// character may be 0x5C (the backslash's code) without the character being one.
bool OsEndsWithSeparator(const std::string& text);

// Writes the user's temporary folder, with a trailing separator, into a zero-filled buffer
// of `size` characters, read afresh at every call (Linux: $TMPDIR when set and not empty,
// else /tmp). Returns the length written; when the buffer is too small, the size it would
// need (terminating zero included) and nothing is written; 0 on failure. On Windows the
// path names exactly the system's folder (see OsGetProfilePath).
std::uint32_t OsGetTempPath(char* buffer, std::uint32_t size);

// Writes the user's profile folder (Linux: $HOME) into a zero-filled buffer of `size`
// characters, read afresh at every call. False when the system has none or it does not
// fit; the buffer then stays zero. On Windows the folder is taken in UTF-16 and given in
// the ANSI code page only as a path that names exactly that folder: plain ASCII as it is,
// else its short name when that is plain ASCII, else the exact ANSI text; a folder with
// no exact ANSI form at all (characters outside the code page) counts as none.
bool OsGetProfilePath(char* buffer, std::uint32_t size);

// The temporary and the profile folder as the user should read them in a message, also
// when the two calls above cannot hand them on: on Windows in the ANSI code page with a
// "?" for each character it cannot write, at any length; the variable's name ("%TMP%",
// "$HOME", ...) when the system gives no folder at all.
std::string OsTempFolderForMessage();
std::string OsProfileFolderForMessage();

// The environment variable that chooses the user's temporary folder: "TMP" on Windows,
// "TMPDIR" on Linux.
const char* OsTempFolderVariable();

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

// Removes a folder that holds nothing; true on success.
bool OsRemoveEmptyFolder(const char* path);

// Whether nothing at all stands under the path: no file, folder or symbolic link (a
// dangling one too). A name the system cannot look at, or one still held by a file that
// is being deleted, counts as taken.
bool OsPathIsFree(const char* path);

// Whether an existing folder may be used as the working folder. On Linux the temporary
// folder is shared by all users, so a folder that is a symbolic link or belongs to
// someone else is refused; on Windows every folder may be used.
bool OsIsTrustedFolder(const char* path);
