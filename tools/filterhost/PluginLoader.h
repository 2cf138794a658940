// Loading a plug-in module and finding its entry point as a host of this platform does:
// on Windows through the module's property list, on Linux by the fixed name PluginMain.
#pragma once

#include "PropertyList.h"
#include "platform/CallingConvention.h"
#include "platform/HostDynamicModule.h"

#include <cstdint>
#include <string>
#include <vector>

using PluginEntry = void(HOST_API*)(std::int16_t selector, void* parameterBlock,
                                    std::intptr_t* data, std::int16_t* result);

struct PluginModule {
    ModuleHandle handle = nullptr;
    PluginEntry entry = nullptr;
    std::string entryName;
    bool hasPropertyList = false;
    PropertyList properties; // the list the entry point came from
};

// The entry-point name used where modules carry no property list.
constexpr char kFixedEntryName[] = "PluginMain";

// Loads the module and finds its entry point. On failure nothing stays loaded and
// `error` says what is missing: the module, its property list, an entry point for this
// architecture, or the exported function.
bool LoadPlugin(const std::string& path, PluginModule& plugin, std::string& error);

// Picks the property list a host of this build uses from a module's resources: the first
// filter list naming an entry point for this architecture. False with a reason when no
// list is usable.
bool ChoosePropertyList(const std::vector<std::string>& resources, PropertyList& chosen,
                        std::string& error);

void UnloadPlugin(PluginModule& plugin);
