// Environment variables of the Windows process (what GetTempPathA reads and started
// programs inherit); the profile folder is fixed by the Wine prefix and the user name.
#include "TestSystem.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

std::vector<std::string> TempFolderVariables() {
    return {"TMP", "TEMP"};
}

std::string ProfileFolderVariable() {
    return "";
}

bool GetVariable(const std::string& name, std::string& value) {
    value.clear();
    const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0)
        return false;
    std::string text(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name.c_str(), &text[0], size);
    text.resize(length);
    value = text;
    return true;
}

void SetVariable(const std::string& name, const std::string& value) {
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void UnsetVariable(const std::string& name) {
    SetEnvironmentVariableA(name.c_str(), nullptr);
}
