// The handles of the state blocks this load of the module made, and how a value in the
// host's data slot is matched against them.
//
// A host may hand the slot over holding a value this load never made: GIMP's Repeat puts
// back the four bytes it saved in an earlier process, which mean nothing in this one. Such
// a value is never locked, disposed of or read through; the run makes a block of its own.
// A 64-bit host may also keep the slot in four bytes, so that the value read back on the
// next call is only the low half of the handle stored: the low half identifies our block
// as long as no other block of this load shares it.
#pragma once

#include "host/HostTypes.h"

#include <cstdint>

// How many of the latest blocks are remembered. A host keeps one slot for the plug-in; the
// spare places serve a host that keeps several for one loaded module. A block forgotten
// here only costs its slot a new block.
constexpr int kRememberedStateBlocks = 8;

// Records a handle that this load made for a state block and stored in a slot.
void RememberStateBlock(Handle handle);

// The handle of this load's block that `slotValue` stands for: the value itself if this
// load made it, else the one remembered handle whose low 32 bits it shares. Null for any
// other value, and when two remembered handles share those bits.
Handle FindStateBlock(std::intptr_t slotValue);
