// Reading the property-list resources of a module on Windows.
#include "platform/HostPropertyList.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

BOOL CALLBACK CollectResource(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) {
    auto* resources = reinterpret_cast<std::vector<std::string>*>(list);
    HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr)
        return TRUE;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data != nullptr)
        resources->emplace_back(static_cast<const char*>(data), size);
    return TRUE;
}

} // namespace

bool ModulesCarryPropertyLists() {
    return true;
}

std::vector<std::string> ReadPropertyListResources(ModuleHandle module) {
    std::vector<std::string> resources;
    // The resource directory keeps type names upper-cased; the lookup ignores case anyway.
    EnumResourceNamesA(static_cast<HMODULE>(module), "PIPL", CollectResource,
                       reinterpret_cast<LONG_PTR>(&resources));
    return resources;
}
