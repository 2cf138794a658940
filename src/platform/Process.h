// Starting the external program and waiting for it to end while the host stays alive.
//
// On Windows the wait pumps the calling thread's messages until the program's process has
// ended, so the host's windows keep painting; on Linux there is no message loop to keep
// and the wait is a plain wait for the child.
#pragma once

#include <cstdint>
#include <string>

enum ELaunchOutcome : std::int32_t {
    eLaunchNotStarted = 0,     // nothing was started
    eLaunchStarted = 1,        // started, not waited for
    eLaunchEnded = 2,          // started, and it has ended
    eLaunchQuit = 3,           // the thread's quit message ended the wait first
    eLaunchQuitAfterError = 4, // the same, after retrieving a message had failed
};

// Starts `program` with `argument` as its one argument, the caller's environment and
// current folder. With `wait`, returns only when the program has ended or the thread has
// been asked to quit; a quit message taken by the wait is posted again. `window` is the
// host's main window (0 for none), which carries the wait's 100 ms timer; the wait ends
// with the program even when that window goes away meanwhile. When nothing was started,
// `error` is the system's error number for why (0 otherwise).
ELaunchOutcome OsLaunchProgram(const char* program, const char* argument, std::intptr_t window,
                               bool wait, std::uint32_t& error);

// The system's own one-line message for an error number of OsLaunchProgram, ended by a
// full stop; the number itself when the system has no text for it.
std::string OsSystemErrorText(std::uint32_t error);
