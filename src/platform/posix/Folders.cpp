// The folder services on Linux: environment variables for the two folders, and
// stat/mkdir/opendir/unlink for the rest.
#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A variable that is unset or empty counts as missing.
const char* EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}

bool IsFolderEntry(DIR* folder, const dirent* entry) {
    if (entry->d_type != DT_UNKNOWN)
        return entry->d_type == DT_DIR;
    // Some file systems leave the type open; ask without following a symbolic link, so
    // that a link is treated (and deleted) as the link it is.
    struct stat info {};
    return ::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(info.st_mode);
}

} // namespace

char OsPathSeparator() {
    return '/';
}

bool OsEndsWithSeparator(const std::string& text) {
    return !text.empty() && text.back() == '/';
}

std::uint32_t OsGetTempPath(char* buffer, std::uint32_t size) {
    std::memset(buffer, 0, size);
    const char* folder = EnvironmentText("TMPDIR");
    std::string path = folder != nullptr ? folder : "/tmp";
    if (path.back() != '/')
        path += '/';
    const auto length = static_cast<std::uint32_t>(path.size());
    if (length + 1 > size)
        return length + 1;
    std::memcpy(buffer, path.data(), length);
    return length;
}

bool OsGetProfilePath(char* buffer, std::uint32_t size) {
    std::memset(buffer, 0, size);
    const char* home = EnvironmentText("HOME");
    if (home == nullptr || std::strlen(home) + 1 > size)
        return false;
    std::memcpy(buffer, home, std::strlen(home));
    return true;
}

std::string OsTempFolderForMessage() {
    const char* folder = EnvironmentText("TMPDIR");
    return folder != nullptr ? folder : "/tmp/";
}

std::string OsProfileFolderForMessage() {
    const char* home = EnvironmentText("HOME");
    return home != nullptr ? home : "$HOME";
}

const char* OsTempFolderVariable() {
    return "TMPDIR";
}

bool OsPathExists(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0;
}

bool OsCreateFolder(const char* path) {
    return ::mkdir(path, 0700) == 0;
}

bool OsVisitFiles(const char* folder, OsFileVisitor visit, void* context) {
    DIR* listing = ::opendir(folder);
    if (listing == nullptr)
        return false;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        if (!IsFolderEntry(listing, entry) && !visit(entry->d_name, context))
            break;
    }
    ::closedir(listing);
    return true;
}

bool OsRemoveFile(const char* path) {
    return ::unlink(path) == 0;
}

bool OsRemoveEmptyFolder(const char* path) {
    return ::rmdir(path) == 0;
}

bool OsPathIsFree(const char* path) {
    struct stat info {};
    return ::lstat(path, &info) != 0 && errno == ENOENT;
}

bool OsIsTrustedFolder(const char* path) {
    struct stat info {};
    if (::lstat(path, &info) != 0)
        return false;
    return !S_ISLNK(info.st_mode) && info.st_uid == ::geteuid();
}
