// CreateProcessA and the wait loop on the host's user-interface thread.
//
// The loop sleeps in GetMessageA; a 100 ms timer wakes it to look at the process, and
// every other message goes to its window as usual, so the host keeps painting.
#include "platform/Process.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr UINT_PTR kWaitTimerId = 237672;
constexpr UINT kWaitTimerPeriod = 100;
constexpr std::size_t kCommandLineSize = 519;

// Both paths quoted: unquoted, a program folder with a blank lets Windows start another
// program (C:\Program.exe), and a job path with a blank reaches the program as two
// arguments. A line that does not fit is refused rather than cut.
bool FormatCommandLine(char (&line)[kCommandLineSize], const char* program, const char* argument) {
    if (std::strchr(program, '"') != nullptr || std::strchr(argument, '"') != nullptr)
        return false;
    std::memset(line, 0, sizeof line);
    const int length = std::snprintf(line, sizeof line, "\"%s\" \"%s\"", program, argument);
    return length > 0 && static_cast<std::size_t>(length) < sizeof line;
}

// The timer the wait polls with. On the host window it carries our own id; a thread
// timer (no window) ignores the id asked for and gets one from the system.
struct WaitTimer {
    HWND window;
    UINT_PTR id;
};

WaitTimer StartWaitTimer(HWND window) {
    if (window != nullptr && SetTimer(window, kWaitTimerId, kWaitTimerPeriod, nullptr) != 0)
        return {window, kWaitTimerId};
    return {nullptr, SetTimer(nullptr, 0, kWaitTimerPeriod, nullptr)};
}

bool IsWaitTick(const MSG& message, const WaitTimer& timer) {
    return message.message == WM_TIMER && message.hwnd == timer.window &&
           message.wParam == timer.id;
}

bool HasEnded(HANDLE process, DWORD milliseconds) {
    return WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
}

ELaunchOutcome PumpMessagesUntilEnded(HANDLE process, HWND window) {
    const WaitTimer timer = StartWaitTimer(window);
    if (timer.id == 0) {
        // No timer to be had: better a wait without painting than one without end.
        WaitForSingleObject(process, INFINITE);
        return eLaunchEnded;
    }
    ELaunchOutcome outcome = eLaunchQuit;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = message.wParam;
            break;
        }
        if (got == -1) {
            outcome = eLaunchQuitAfterError;
            // No message means no tick either: look at the process directly, pausing
            // one period so that a failure that persists does not spin.
            if (HasEnded(process, kWaitTimerPeriod)) {
                outcome = eLaunchEnded;
                break;
            }
            continue;
        }
        if (IsWaitTick(message, timer)) {
            if (HasEnded(process, 0)) {
                outcome = eLaunchEnded;
                break;
            }
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    KillTimer(timer.window, timer.id);
    // The quit request belongs to the host's own loop: hand it back.
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return outcome;
}

} // namespace

ELaunchOutcome OsLaunchProgram(const char* program, const char* argument, std::intptr_t window,
                               bool wait) {
    char commandLine[kCommandLineSize];
    if (!FormatCommandLine(commandLine, program, argument))
        return eLaunchNotStarted;
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process))
        return eLaunchNotStarted;
    const ELaunchOutcome outcome =
        wait ? PumpMessagesUntilEnded(process.hProcess, reinterpret_cast<HWND>(window))
             : eLaunchStarted;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}
