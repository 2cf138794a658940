// The module's own instance handle, recorded when the module is loaded.
#pragma once

// The instance through which the module finds its dialog and string resources; null on
// platforms without module resources.
void* GetModuleInstance();

// Recorded by the platform's load notification.
void SetModuleInstance(void* instance);
