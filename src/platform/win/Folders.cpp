// The folder services on Windows: the system's temporary and profile folders, taken in
// UTF-16 and handed on in the ANSI code page only as paths that name them exactly, and
// the C runtime's folder functions.
#include "platform/Folders.h"

#include <cstdio>
#include <cstring>
#include <direct.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <shlobj.h>

#include <string>

namespace {

bool IsPlainAscii(const std::wstring& text) {
    for (const wchar_t c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

// The text in the ANSI code page, only when every character has its own form there: no
// best fit (which turns "é" into "e" under code page 932, naming some other folder) and no
// default character ("?").
bool ToExactAnsi(const std::wstring& wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty())
        return true;
    // The UTF-8 code page has every character and refuses both options.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* defaultFlag = utf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, defaultFlag);
    if (size <= 0 || usedDefault)
        return false;
    ansi.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), length, &ansi[0], size, nullptr, defaultFlag);
    return !usedDefault;
}

// The ANSI path the rest of the module works with for a folder the system names in
// UTF-16. A plain ASCII short name is preferred to any other non-ASCII form, so that the
// job document and the program's command line stay plain ASCII; it exists only for a
// folder that exists, on a volume that keeps short names.
bool ToAnsiFolderPath(const std::wstring& folder, std::string& ansi) {
    const bool exact = ToExactAnsi(folder, ansi);
    if (exact && IsPlainAscii(folder))
        return true;
    const DWORD size = GetShortPathNameW(folder.c_str(), nullptr, 0);
    if (size > 0) {
        std::wstring shortPath(size, L'\0');
        const DWORD length = GetShortPathNameW(folder.c_str(), &shortPath[0], size);
        shortPath.resize(length < size ? length : 0);
        std::string shortAnsi;
        if (!shortPath.empty() && IsPlainAscii(shortPath) && ToExactAnsi(shortPath, shortAnsi)) {
            ansi = shortAnsi;
            return true;
        }
    }
    if (!exact)
        ansi.clear();
    return exact;
}

// For reading only: every character the code page lacks becomes its default character,
// never a look-alike that would name another folder.
std::string ToDisplayAnsi(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), length, &ansi[0], size, nullptr, nullptr);
    return ansi;
}

} // namespace

char OsPathSeparator() {
    return '\\';
}

bool OsEndsWithSeparator(const std::string& text) {
    // Walk by characters from the start: a trail byte cannot be told from a single byte by
    // looking at it alone.
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        last = i;
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[i])) && i + 1 < text.size())
            ++i;
    }
    return last != std::string::npos && last == text.size() - 1 && text[last] == '\\';
}

std::uint32_t OsGetTempPath(char* buffer, std::uint32_t size) {
    std::memset(buffer, 0, size);
    wchar_t wide[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, wide);
    if (length == 0 || length > MAX_PATH)
        return length;
    std::string ansi;
    if (!ToAnsiFolderPath(std::wstring(wide, length), ansi) || ansi.empty())
        return 0;
    const auto ansiLength = static_cast<std::uint32_t>(ansi.size());
    if (ansiLength + 1 > size)
        return ansiLength + 1;
    std::memcpy(buffer, ansi.data(), ansiLength);
    return ansiLength;
}

bool OsGetProfilePath(char* buffer, std::uint32_t size) {
    std::memset(buffer, 0, size);
    wchar_t wide[MAX_PATH] = {};
    // S_FALSE (the folder does not exist yet) counts as success, as any result that is
    // not negative does.
    const HRESULT result =
        SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, wide);
    if (FAILED(result))
        return false;
    std::string ansi;
    if (!ToAnsiFolderPath(wide, ansi) || ansi.size() + 1 > size)
        return false;
    std::memcpy(buffer, ansi.data(), ansi.size());
    return true;
}

std::string OsTempFolderForMessage() {
    const DWORD size = GetTempPathW(0, nullptr);
    std::wstring wide(size + 1, L'\0');
    const DWORD length = size > 0 ? GetTempPathW(size + 1, &wide[0]) : 0;
    if (length == 0 || length > size)
        return "%TMP%";
    wide.resize(length);
    return ToDisplayAnsi(wide);
}

std::string OsProfileFolderForMessage() {
    wchar_t wide[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, wide)))
        return "%USERPROFILE%";
    return ToDisplayAnsi(wide);
}

const char* OsTempFolderVariable() {
    return "TMP";
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

bool OsRemoveEmptyFolder(const char* path) {
    return _rmdir(path) == 0;
}

bool OsPathIsFree(const char* path) {
    // The attributes of the name itself: a link or junction is not followed. A file whose
    // deletion waits for another program to close it answers with access denied.
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool OsIsTrustedFolder(const char*) {
    return true;
}
