// The host's memory services for plug-ins: handle procs backed by the host's own memory,
// and a minimal basic suite.
//
// A handle points at its block's address, as hosts make them. New blocks are filled with
// a pattern, not zeros: host memory is not cleared, and a plug-in must not rely on it.
#pragma once

#include "host/HostRecords.h"

// Handle procs of version 1 with all 8 procedures.
HandleProcs MakeHostHandleProcs();

// The same, as a host whose size procs do not work: getSize answers 0, setSize answers
// 0 and changes nothing, and dispose and unlock do nothing.
HandleProcs MakeInertSizeHandleProcs();

// How the procs treat a handle they did not make (never made, disposed of, or a value
// that only looks like a handle): as an ordinary host, lock answers null; with foreign
// memory on, lock takes the value for a pointer into this process's memory and hands
// back a block the host keeps for that, as a host that guesses does. Every call with
// such a handle is counted.
void SetForeignMemoryLock(bool on);
int ForeignHandleCalls();
// Whether the foreign block still holds what the host put there.
bool ForeignMemoryUnchanged();

// A basic suite that knows no suites (AcquireSuite answers "not found"), compares
// strings, and allocates blocks from the C heap.
SPBasicSuite MakeHostBasicSuite();

// Handles made by the handle procs and not yet disposed of, and those of them locked.
int LiveHostHandles();
int LockedHostHandles();

// Frees every handle still alive, as a host does when it quits: the plug-in's data slot
// and parameters handle belong to the host.
void DisposeAllHostHandles();

// The pattern new handle memory is filled with.
constexpr unsigned char kNewHandlePattern = 0xA7;

// 'S!Fd', what AcquireSuite answers for a suite the host does not have.
constexpr SPErr kSuiteNotFoundError = 0x53214664;
