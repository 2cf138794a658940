// Loading a plug-in module the way a host does. Used by the test host and the tests,
// never by the module itself.
#pragma once

#include <string>

// An opaque loaded module; null when loading failed.
using ModuleHandle = void*;

// Loads the module at `path`; on failure returns null and fills `error`.
ModuleHandle LoadPluginModule(const std::string& path, std::string& error);

// The address of an exported function, or null.
void* FindModuleExport(ModuleHandle module, const char* name);

void UnloadPluginModule(ModuleHandle module);

// The module's file name on this platform: "Lumetra.8bf" or "Lumetra.so".
std::string PluginModuleFileName();

// The folder of the running program, with a trailing separator.
std::string ExecutableFolder();
