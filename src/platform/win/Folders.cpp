// The folder services on Windows: the system's temporary and profile folders, and the C
// runtime's folder functions.
#include "platform/Folders.h"

#include <cstdio>
#include <cstring>
#include <direct.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <shlobj.h>

char OsPathSeparator() {
    return '\\';
}

std::uint32_t OsGetTempPath(char* buffer, std::uint32_t size) {
    std::memset(buffer, 0, size);
    return GetTempPathA(size, buffer);
}

bool OsGetProfilePath(char* buffer, std::uint32_t size) {
    // The shell writes up to MAX_PATH characters: never hand it less.
    if (size < MAX_PATH)
        return false;
    std::memset(buffer, 0, size);
    // S_FALSE (the folder does not exist yet) counts as success, as any result that is
    // not negative does.
    const HRESULT result =
        SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (FAILED(result)) {
        std::memset(buffer, 0, size);
        return false;
    }
    return true;
}

bool OsPathExists(const char* path) {
    struct _stat64i32 info {};
    return _stat64i32(path, &info) == 0;
}

bool OsCreateFolder(const char* path) {
    return _mkdir(path) == 0;
}

bool OsVisitFiles(const char* folder, OsFileVisitor visit, void* context) {
    // The folder and "*"; longer than this, the search would fail anyway.
    char pattern[2 * MAX_PATH];
    const std::size_t length = std::strlen(folder);
    if (length + 2 > sizeof pattern)
        return false;
    std::memcpy(pattern, folder, length);
    pattern[length] = '*';
    pattern[length + 1] = '\0';
    _finddata64i32_t entry{};
    const intptr_t search = _findfirst64i32(pattern, &entry);
    if (search == -1)
        return false;
    do {
        if (std::strcmp(entry.name, ".") == 0 || std::strcmp(entry.name, "..") == 0)
            continue;
        if ((entry.attrib & _A_SUBDIR) == 0 && !visit(entry.name, context))
            break;
    } while (_findnext64i32(search, &entry) == 0);
    _findclose(search);
    return true;
}

bool OsRemoveFile(const char* path) {
    return std::remove(path) == 0;
}

bool OsIsTrustedFolder(const char*) {
    return true;
}
