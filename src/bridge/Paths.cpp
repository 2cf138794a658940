// Folder lookups and path operations. Paths are plain text: nothing is normalised, and
// only a separator at the very end is ever added or removed.
#include "bridge/Paths.h"

#include "bridge/XmlText.h"
#include "core/Error.h"
#include "platform/Folders.h"

namespace {

// Every path buffer of the plug-in: at most 259 characters and the terminating zero.
constexpr std::uint32_t kPathBufferSize = 260;

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
    return !path.empty() && path.back() == OsPathSeparator();
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
        OsListFiles(WithTrailingBackslash(folder), names);
    return names;
}

void DeleteAllFiles(const std::string& folder) {
    // A file that is in use or read-only stays: the next run's export truncates its own
    // file anyway, and a stale processed image is overwritten by the program.
    for (const std::string& name : ListFiles(folder))
        OsRemoveFile(JoinPath(folder, name).c_str());
}
