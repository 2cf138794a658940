// The test host's main window on Linux: a token, no messages.
#include "platform/HostWindow.h"

#include <chrono>
#include <thread>

namespace {

// Its address is the window token: nonzero, stable and never dereferenced by anyone.
char gWindowToken;

} // namespace

std::intptr_t CreateHostWindow(std::string&) {
    return reinterpret_cast<std::intptr_t>(&gWindowToken);
}

void DestroyHostWindow(std::intptr_t) {}

bool StartHostTimer(std::intptr_t, std::uint32_t) {
    return true;
}

void StopHostTimer(std::intptr_t) {}

int TakeHostTimerMessages() {
    return 0;
}

void PumpWaitingMessages() {}

void PumpMessagesFor(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
