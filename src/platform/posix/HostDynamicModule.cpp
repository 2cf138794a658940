// Module loading with dlopen on Linux.
#include "platform/HostDynamicModule.h"

#include <dlfcn.h>
#include <unistd.h>

ModuleHandle LoadPluginModule(const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "dlopen failed";
    }
    return module;
}

void* FindModuleExport(ModuleHandle module, const char* name) { return dlsym(module, name); }

void UnloadPluginModule(ModuleHandle module) {
    if (module != nullptr)
        dlclose(module);
}

std::string ExecutableFolder() {
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string folder(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return folder.substr(0, folder.find_last_of('/') + 1);
}

std::string PluginModuleFileName() { return "Lumetra.so"; }
