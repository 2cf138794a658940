// Test-side folder steering on Linux.
#include "platform/HostFolders.h"

#include <cstdlib>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

} // namespace

std::vector<std::string> TemporaryFolderVariables() {
    return {"TMPDIR"};
}

std::string ProfileFolderVariable() {
    return "HOME";
}

bool GetEnvironmentValue(const std::string& name, std::string& value) {
    const char* text = std::getenv(name.c_str());
    value = text != nullptr ? text : "";
    return text != nullptr;
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
    if (value.empty())
        ::unsetenv(name.c_str());
    else
        ::setenv(name.c_str(), value.c_str(), 1);
}

void SetTemporaryFolder(const std::string& path) {
    SetEnvironmentValue("TMPDIR", path);
}

std::vector<std::string> TemporaryFolderEnvironment(const std::string& path) {
    return {"TMPDIR=" + path};
}

bool MakeFileHidden(const std::string&) {
    return true;
}

bool GiveFolderToAnotherUser(const std::string& path) {
    return ::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) == 0;
}
