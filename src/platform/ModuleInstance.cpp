// Storage for the module instance handle.
#include "platform/ModuleInstance.h"

namespace {
void* gModuleInstance = nullptr;
}

void* GetModuleInstance() {
    return gModuleInstance;
}

void SetModuleInstance(void* instance) {
    gModuleInstance = instance;
}
