// Handing the job to the external program: find it through the settings file, start it
// with the job document's path, and wait until it has ended.
#pragma once

#include "ui/ProblemText.h"

#include <cstdint>

constexpr const char* kApplicationFileName = "Lumetra.exe";

// Starts "Lumetra.exe" from the folder named in the settings file with `jobPath` as its
// one argument and, with `wait`, keeps the host's messages flowing until it has ended.
// `platformData` is the host's PlatformData (its main window carries the polling timer).
// Returns 0 when the program was started (and, with `wait`, has ended); -30901 when there
// is no platform data, no program folder, the program cannot be started, or the thread
// was asked to quit first; -50 when that quit came after retrieving a message had failed.
// Throws EError for a null or empty job path.
// With `problem`, a launch that fails for the settings file or the program records why
// there (the first problem of a run only).
std::int16_t LaunchApplication(void* platformData, const char* jobPath, bool wait,
                               RunProblem* problem = nullptr);

// 0 when the user's profile folder, which holds the settings file, can be had; -30901 when
// it cannot. Without it no program can ever be found, so a run asks first and then leaves
// no export and no job document behind.
// With `problem`, the failure is recorded there with the folder as the user should read it.
std::int16_t CheckProfileFolder(RunProblem* problem = nullptr);
