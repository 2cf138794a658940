// CreateProcessA and the wait loop on the host's user-interface thread.
//
// The loop sleeps on the process handle and the thread's message queue together: it ends
// as soon as the process has ended, and every message meanwhile goes to its window as
// usual, so the host keeps painting.
#include "platform/Process.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

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

// The polling timer on the host window, id 237672, every 100 ms. It no longer ends the
// wait (the process handle does), but a host sees it as before: its ticks pass through the
// thread's queue and are taken there, and the id is killed on that window at the end.
// Without a host window, or when the window is gone, there is no timer.
struct WaitTimer {
    HWND window;
    UINT_PTR id;
};

WaitTimer StartWaitTimer(HWND window) {
    if (window != nullptr && SetTimer(window, kWaitTimerId, kWaitTimerPeriod, nullptr) != 0)
        return {window, kWaitTimerId};
    return {nullptr, 0};
}

bool IsWaitTick(const MSG& message, const WaitTimer& timer) {
    return timer.id != 0 && message.message == WM_TIMER && message.hwnd == timer.window &&
           message.wParam == timer.id;
}

bool HasEnded(HANDLE process, DWORD milliseconds) {
    return WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
}

enum class EPump { eIdle, eEnded, eQuit };

// Takes every waiting message: the wait's own ticks are dropped, the quit message stops
// the pumping, everything else goes to its window. The process is looked at after each
// message, so that a queue that never runs dry cannot hold the wait beyond its end.
EPump PumpWaitingMessages(HANDLE process, const WaitTimer& timer, WPARAM& quitCode) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = message.wParam;
            return EPump::eQuit;
        }
        if (!IsWaitTick(message, timer)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (HasEnded(process, 0))
            return EPump::eEnded;
    }
    return EPump::eIdle;
}

// Sleeps until the process ends or a message arrives, never longer than one period, so
// that the end is seen at once whatever becomes of the host's windows, while the host's
// messages are handled as they come.
ELaunchOutcome PumpMessagesUntilEnded(HANDLE process, HWND window) {
    const WaitTimer timer = StartWaitTimer(window);
    ELaunchOutcome outcome = eLaunchQuit;
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, &process, kWaitTimerPeriod, QS_ALLINPUT,
                                                        MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) {
            outcome = eLaunchEnded;
            break;
        }
        if (woken == WAIT_FAILED) {
            // Pausing one period on the process alone keeps a failure that persists from
            // spinning; the messages are still taken below.
            outcome = eLaunchQuitAfterError;
            if (HasEnded(process, kWaitTimerPeriod)) {
                outcome = eLaunchEnded;
                break;
            }
        }
        const EPump pumped = PumpWaitingMessages(process, timer, quitCode);
        if (pumped == EPump::eQuit) {
            quit = true;
            break;
        }
        if (pumped == EPump::eEnded || HasEnded(process, 0)) {
            outcome = eLaunchEnded;
            break;
        }
    }
    if (timer.id != 0)
        KillTimer(timer.window, timer.id);
    // The quit request belongs to the host's own loop: hand it back.
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return outcome;
}

} // namespace

ELaunchOutcome OsLaunchProgram(const char* program, const char* argument, std::intptr_t window,
                               bool wait, std::uint32_t& error) {
    error = 0;
    char commandLine[kCommandLineSize];
    if (!FormatCommandLine(commandLine, program, argument)) {
        // The system's own words for a name it could not take either.
        error = std::strchr(program, '"') != nullptr || std::strchr(argument, '"') != nullptr
                    ? ERROR_INVALID_NAME
                    : ERROR_FILENAME_EXCED_RANGE;
        return eLaunchNotStarted;
    }
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        error = GetLastError();
        return eLaunchNotStarted;
    }
    const ELaunchOutcome outcome =
        wait ? PumpMessagesUntilEnded(process.hProcess, reinterpret_cast<HWND>(window))
             : eLaunchStarted;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}

std::string OsSystemErrorText(std::uint32_t error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 && text != nullptr ? std::string(text, length) : "";
    if (text != nullptr)
        LocalFree(text);
    // The system's texts end with a line break; the message box wraps on its own.
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    for (char& c : message)
        if (c == '\r' || c == '\n')
            c = ' ';
    // Some texts name the file through an insert ("%1 is not a valid Win32 application"),
    // which is left unfilled here: the message names the program before this text.
    for (std::size_t at = message.find("%1"); at != std::string::npos; at = message.find("%1"))
        message.replace(at, 2, "the file");
    if (message.empty())
        message = "Error " + std::to_string(error);
    return message + '.';
}
