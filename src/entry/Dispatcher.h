// One host call: validation, the per-call globals, the state block, the selector's
// handler, and the cleanup that turns any exception into the call's result.
#pragma once

#include <cstdint>

// Everything PluginMain does. No exception leaves it: EError becomes its own value,
// std::bad_alloc -108, anything else -1715, each after CleanUpAfterFailure. A start that
// arrives while another filter call is still running (called from inside it) gets -50;
// any call made from inside another leaves that call's globals as it found them.
void RunPluginCall(std::int16_t selector, void* paramBlock, std::intptr_t* data,
                   std::int16_t* result);

// After a failure inside a handler: closes both exchange files of the open state block,
// releases the working folder, destroys its converter and empties the host's rectangles. Does
// nothing when no state block is open.
void CleanUpAfterFailure();
