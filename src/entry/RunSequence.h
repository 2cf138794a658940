// The handlers of the filter selectors prepare, start, continue and finish, and the rule
// by which the steps of a call report their results to the host.
#pragma once

#include <cstdint>

// True for 0. Otherwise records the code in the host's result cell unless an earlier step
// of this call already recorded one, and returns false: the first failure wins.
bool SetResult(std::int16_t code);

// Empties the input, output and mask rectangles; -50 when no state block is open.
std::int16_t ClearRects();

// 0 for a supported document, -30201 otherwise.
std::int16_t CheckImageMode();

// CheckImageMode's code for an unsupported document; otherwise -50 for a host without the
// big-document block whose 16-bit image size has no rows or no columns, else 0.
std::int16_t CheckHostSupport();

void DoPrepare();
void DoStart();
void DoFinish(); // continue and finish
