// Returning the C++ runtime's per-thread exception records when a thread ends or the
// module is unloaded.
#pragma once

// The calling thread's record, when the thread ends (it is made again if needed).
void ReleaseThreadExceptionGlobals();

// Every record still known and the storage slot, when the module is unloaded; the
// runtime makes do with one shared record after that.
void ReleaseExceptionGlobals();
