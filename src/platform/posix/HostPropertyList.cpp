// Linux modules carry no property lists.
#include "platform/HostPropertyList.h"

bool ModulesCarryPropertyLists() {
    return false;
}

std::vector<std::string> ReadPropertyListResources(ModuleHandle) {
    return {};
}
