// The test host's hidden main window on Windows.
#include "platform/HostWindow.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

constexpr UINT_PTR kHostTimerId = 1;
constexpr char kWindowClass[] = "LumetraFilterHostWindow";

// Only the host's thread touches the window, so a plain counter is enough.
int gTimerMessages = 0;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kHostTimerId) {
        ++gTimerMessages;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterHostClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND AsWindow(std::intptr_t window) {
    return reinterpret_cast<HWND>(window);
}

} // namespace

std::intptr_t CreateHostWindow(std::string& error) {
    if (!RegisterHostClass()) {
        error = "RegisterClass failed with error " + std::to_string(GetLastError());
        return 0;
    }
    // A top-level window of ordinary size, never shown: plug-ins centre their dialogs on it
    // and own their timers by it, exactly as with a visible host window.
    HWND window = CreateWindowExA(0, kWindowClass, "filterhost", WS_OVERLAPPEDWINDOW, 100, 100, 800,
                                  600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        error = "CreateWindowEx failed with error " + std::to_string(GetLastError());
        return 0;
    }
    return reinterpret_cast<std::intptr_t>(window);
}

void DestroyHostWindow(std::intptr_t window) {
    if (window != 0)
        DestroyWindow(AsWindow(window));
}

bool StartHostTimer(std::intptr_t window, std::uint32_t milliseconds) {
    return SetTimer(AsWindow(window), kHostTimerId, milliseconds, nullptr) != 0;
}

void StopHostTimer(std::intptr_t window) {
    KillTimer(AsWindow(window), kHostTimerId);
}

int TakeHostTimerMessages() {
    const int count = gTimerMessages;
    gTimerMessages = 0;
    return count;
}

void PumpWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Not ours to take: leave it for whoever runs the real loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PumpMessagesFor(std::uint32_t milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        PumpWaitingMessages();
    }
}
