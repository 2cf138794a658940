// The module's one exported function.
#include "entry/Dispatcher.h"
#include "platform/CallingConvention.h"

#include <cstdint>

extern "C" PLUGIN_EXPORT void HOST_API PluginMain(std::int16_t selector, void* paramBlock,
                                                  std::intptr_t* data, std::int16_t* result) {
    RunPluginCall(selector, paramBlock, data, result);
}
