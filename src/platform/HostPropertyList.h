// Access to the property-list ("PIPL") resources of a loaded plug-in module.
//
// A Windows host learns a filter's entry point, menu name and modes from these
// resources; Linux modules have no resources, and the entry point there is fixed.
#pragma once

#include "platform/HostDynamicModule.h"

#include <string>
#include <vector>

// Whether modules on this platform must carry property lists (true on Windows).
bool ModulesCarryPropertyLists();

// The raw bytes of every "PIPL" resource of the module, in resource order; empty when
// there are none (always on Linux).
std::vector<std::string> ReadPropertyListResources(ModuleHandle module);
