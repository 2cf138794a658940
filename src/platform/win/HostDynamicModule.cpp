// Module loading with LoadLibrary on Windows.
#include "platform/HostDynamicModule.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

ModuleHandle LoadPluginModule(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr)
        error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<ModuleHandle>(module);
}

void* FindModuleExport(ModuleHandle module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadPluginModule(ModuleHandle module) {
    if (module != nullptr)
        FreeLibrary(static_cast<HMODULE>(module));
}

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string PluginModuleFileName() { return "Lumetra.8bf"; }
