// Environment variables on Linux; the product reads TMPDIR and HOME at every call.
#include "TestSystem.h"

#include <cstdlib>

std::vector<std::string> TempFolderVariables() {
    return {"TMPDIR"};
}

std::string ProfileFolderVariable() {
    return "HOME";
}

bool GetVariable(const std::string& name, std::string& value) {
    const char* text = std::getenv(name.c_str());
    value = text != nullptr ? text : "";
    return text != nullptr;
}

void SetVariable(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

void UnsetVariable(const std::string& name) {
    unsetenv(name.c_str());
}
