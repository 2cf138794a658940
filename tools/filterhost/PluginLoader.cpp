// Loading a plug-in module and finding its entry point.
#include "PluginLoader.h"

#include "platform/HostPropertyList.h"

bool ChoosePropertyList(const std::vector<std::string>& resources, PropertyList& chosen,
                        std::string& error) {
    if (resources.empty()) {
        error = "the module has no PiPL resource";
        return false;
    }
    std::string firstProblem;
    for (const std::string& bytes : resources) {
        PropertyList list;
        std::string problem;
        if (!ParsePropertyList(bytes, list, problem)) {
            if (firstProblem.empty())
                firstProblem = "the module's PiPL resource is malformed: " + problem;
            continue;
        }
        std::string entry;
        if (list.kind != kFilterKind) {
            if (firstProblem.empty())
                firstProblem = "the module's PiPL does not describe a filter (kind 8BFM)";
            continue;
        }
        if (!EntryPointForThisBuild(list, entry) || entry.empty()) {
            if (firstProblem.empty())
                firstProblem = std::string("the module's PiPL has no entry point for this "
                                           "architecture (property ") +
                               EntryPointKeyName() + ")";
            continue;
        }
        chosen = list;
        return true;
    }
    error = firstProblem;
    return false;
}

bool LoadPlugin(const std::string& path, PluginModule& plugin, std::string& error) {
    plugin = PluginModule{};
    std::string reason;
    plugin.handle = LoadPluginModule(path, reason);
    if (plugin.handle == nullptr) {
        error = "cannot load the module " + path + ": " + reason;
        return false;
    }
    plugin.entryName = kFixedEntryName;
    if (ModulesCarryPropertyLists()) {
        if (!ChoosePropertyList(ReadPropertyListResources(plugin.handle), plugin.properties,
                                reason)) {
            error = path + ": " + reason;
            UnloadPlugin(plugin);
            return false;
        }
        plugin.hasPropertyList = true;
        EntryPointForThisBuild(plugin.properties, plugin.entryName);
    }
    plugin.entry =
        reinterpret_cast<PluginEntry>(FindModuleExport(plugin.handle, plugin.entryName.c_str()));
    if (plugin.entry == nullptr) {
        error = path + ": the module does not export its entry point " + plugin.entryName;
        UnloadPlugin(plugin);
        return false;
    }
    return true;
}

void UnloadPlugin(PluginModule& plugin) {
    UnloadPluginModule(plugin.handle);
    plugin = PluginModule{};
}
