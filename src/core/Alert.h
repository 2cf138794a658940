// The one warning message of the plug-in, and the host-capability check that raises it
// from the transfers.
#pragma once

#include "host/HostTypes.h"

#include <cstdint>

// Shows string `stringId` of the module's string table as a warning owned by `owner`
// (0 for none), with "^1" and "^2" replaced by the two length-prefixed parameters (null
// for none). Returns the button that closed the message; 0, with nothing shown, when
// `alertId` is 0 or `stringId` is not positive.
std::int16_t ShowAlert(std::intptr_t owner, std::int16_t alertId, std::int16_t stringId,
                       const unsigned char* first, const unsigned char* second);

// True when the host offers advanceState. Otherwise tells the user that the plug-in
// needs a host of version 3.0 or later, and returns false.
bool CheckAdvanceState(AdvanceStateProc advanceState);
