// Folder lookups and path operations. Paths are plain text: nothing is normalised, and
// only a separator at the very end is ever added or removed.
#include "bridge/Paths.h"

#include "bridge/XmlText.h"
#include "core/Error.h"
#include "platform/Folders.h"

#include <cstring>

namespace {

// Every path buffer of the plug-in: at most 259 characters and the terminating zero.
constexpr std::uint32_t kPathBufferSize = 260;

// Room for a working folder (a temporary folder of at most 259 characters and its own
// name) and any file name the system lists in it.
constexpr std::size_t kListedPathSize = 1024;

bool AddName(const char* name, void* context) {
    static_cast<std::vector<std::string>*>(context)->emplace_back(name);
    return true;
}

struct Deletion {
    const std::string& folder; // with its trailing separator
    const char* keep;
};

bool DeleteListedFile(const char* name, void* context) {
    const auto& deletion = *static_cast<const Deletion*>(context);
    if (deletion.keep != nullptr && std::strcmp(name, deletion.keep) == 0)
        return true;
    char path[kListedPathSize];
    const std::size_t folderLength = deletion.folder.size();
    const std::size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= sizeof path)
        return true;
    std::memcpy(path, deletion.folder.data(), folderLength);
    std::memcpy(path + folderLength, name, nameLength + 1);
    OsRemoveFile(path);
    return true;
}

} // namespace

bool GetTempFolder(std::string& output) {
    output.clear();
    char buffer[kPathBufferSize];
    const std::uint32_t length = OsGetTempPath(buffer, kPathBufferSize);
    if (length < 1 || length > kPathBufferSize - 1)
        return false;
    // Every run names its folder in the job document: a folder that cannot be written
    // there counts as one that cannot be had, before anything is created in it.
    std::string encoding;
    if (!GetXmlEncoding(buffer, encoding))
        return false;
    output = WithTrailingBackslash(buffer);
    return true;
}

bool GetProfileFolder(std::string& output) {
    output.clear();
    char buffer[kPathBufferSize];
    if (!OsGetProfilePath(buffer, kPathBufferSize))
        return false;
    output = WithTrailingBackslash(buffer);
    return true;
}

bool EndsWithBackslash(const std::string& path) {
    return OsEndsWithSeparator(path);
}

std::string WithTrailingBackslash(const std::string& path) {
    if (path.empty() || EndsWithBackslash(path))
        return path;
    return path + OsPathSeparator();
}

std::string WithoutTrailingBackslash(const std::string& path) {
    if (!EndsWithBackslash(path))
        return path;
    return path.substr(0, path.size() - 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return WithTrailingBackslash(folder) + name;
}

bool PathExists(const std::string& path) {
    Require(!path.empty());
    return OsPathExists(WithoutTrailingBackslash(path).c_str());
}

bool CreateFolder(const std::string& path) {
    Require(!path.empty());
    return OsCreateFolder(path.c_str());
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    if (!folder.empty())
        OsVisitFiles(WithTrailingBackslash(folder).c_str(), AddName, &names);
    return names;
}

void DeleteAllFiles(const std::string& folder, const char* keep) {
    // A file that is in use or read-only stays: the next run's export truncates its own
    // file anyway, and a stale processed image is overwritten by the program.
    if (folder.empty())
        return;
    const std::string listed = WithTrailingBackslash(folder);
    Deletion deletion{listed, keep};
    OsVisitFiles(listed.c_str(), DeleteListedFile, &deletion);
}
