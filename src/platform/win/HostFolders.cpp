// Test-side folder steering on Windows (and under Wine, where the Unix variables do not
// reach GetTempPathA).
#include "platform/HostFolders.h"

#include <windows.h>

std::vector<std::string> TemporaryFolderVariables() {
    return {"TMP", "TEMP"};
}

std::string ProfileFolderVariable() {
    return "";
}

bool GetEnvironmentValue(const std::string& name, std::string& value) {
    value.clear();
    const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0)
        return false;
    std::string text(size, '\0');
    text.resize(GetEnvironmentVariableA(name.c_str(), &text[0], size));
    value = text;
    return true;
}

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

std::intptr_t HoldFile(const std::string& path, std::string& why) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        why = "cannot open " + path + " (error " + std::to_string(GetLastError()) + ")";
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(file);
}

void ReleaseFile(std::intptr_t hold) {
    if (hold != -1)
        CloseHandle(reinterpret_cast<HANDLE>(hold));
}
