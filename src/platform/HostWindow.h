// The test host's main window and its message handling, as a host application has them.
//
// On Windows this is a real, hidden top-level window with its own window procedure; a
// plug-in that pumps the thread's messages while it waits dispatches the host's messages
// to it. Linux has no window: the handle is an opaque nonzero token and there are no
// messages, so the timer counts stay 0.
#pragma once

#include <cstdint>
#include <string>

// Creates the host's hidden main window. Returns its handle as an integer, or 0 with
// `error` filled when it cannot be created.
std::intptr_t CreateHostWindow(std::string& error);

// Destroys the window made by CreateHostWindow; 0 is ignored.
void DestroyHostWindow(std::intptr_t window);

// Starts the host's own timer (identifier 1) on its window with the given period.
// Returns false when the timer cannot be set.
bool StartHostTimer(std::intptr_t window, std::uint32_t milliseconds);

// Stops the timer started by StartHostTimer.
void StopHostTimer(std::intptr_t window);

// The timer messages (identifier 1) that the window procedure has received since the
// previous call. Resets the count.
int TakeHostTimerMessages();

// Handles the messages already waiting for the calling thread, as the host's own loop
// does between two plug-in calls. Never waits.
void PumpWaitingMessages();

// Runs the thread's message loop for about `milliseconds`, dispatching every message, as
// a plug-in does while it waits for something. On Linux it only sleeps.
void PumpMessagesFor(std::uint32_t milliseconds);
