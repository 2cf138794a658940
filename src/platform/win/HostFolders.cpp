// Test-side folder steering on Windows (and under Wine, where the Unix variables do not
// reach GetTempPathA).
#include "platform/HostFolders.h"

#include <windows.h>

void SetEnvironmentValue(const std::string& name, const std::string& value) {
    SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

void SetTemporaryFolder(const std::string& path) {
    SetEnvironmentValue("TMP", path);
    SetEnvironmentValue("TEMP", path);
}

std::vector<std::string> TemporaryFolderEnvironment(const std::string& path) {
    return {"TMP=" + path, "TEMP=" + path};
}

bool MakeFileHidden(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN) != 0;
}

bool GiveFolderToAnotherUser(const std::string&) {
    return false;
}
