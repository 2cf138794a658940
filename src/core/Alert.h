// The warning messages of the plug-in: the host-capability check that the transfers
// raise, and the one that tells why a run could not go ahead.
#pragma once

#include "host/HostTypes.h"
#include "ui/ProblemText.h"

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

// Shows the text of the problem's cause from the module's string table, with its paths
// whole, as a warning owned by the host window `owner`, or by none when the host gives no
// window (0). Shows nothing without a problem.
void ShowRunProblem(std::intptr_t owner, const RunProblem& problem);
