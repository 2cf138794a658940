// The warnings as Windows shows them: message boxes of the host's process, found while the
// host runs, read, checked for their owner and closed with OK, as a user would.
#include "WarningWatch.h"

#include "TestSystem.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <atomic>
#include <set>
#include <thread>

namespace {

// A message box's text is the static control with this identifier.
constexpr int kMessageBoxTextId = 0xFFFF;

// The host's window, once the host has printed it.
HWND HostWindowFrom(const std::string& output) {
    const std::string prefix = "filterhost: window ";
    const std::size_t at = output.find(prefix);
    if (at == std::string::npos)
        return nullptr;
    const std::size_t end = output.find_first_of("\r\n", at);
    if (end == std::string::npos)
        return nullptr;
    return reinterpret_cast<HWND>(
        static_cast<std::intptr_t>(std::stoll(output.substr(at + prefix.size(), end))));
}

struct Search {
    DWORD process;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search.process && lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window))
        search.boxes.push_back(window);
    return TRUE;
}

std::string WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

} // namespace

std::vector<SeenWarning> WatchWarnings(const std::function<void()>& runHost,
                                       const std::string& outputPath) {
    std::atomic<bool> ended{false};
    std::thread host([&] {
        runHost();
        ended = true;
    });
    std::vector<SeenWarning> warnings;
    std::set<HWND> closed;
    HWND hostWindow = nullptr;
    DWORD hostProcess = 0;
    while (!ended) {
        Sleep(10);
        if (hostWindow == nullptr) {
            hostWindow = HostWindowFrom(ReadFileBytes(outputPath));
            if (hostWindow == nullptr || GetWindowThreadProcessId(hostWindow, &hostProcess) == 0)
                hostWindow = nullptr;
            continue;
        }
        Search search{hostProcess, {}};
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.boxes) {
            if (!closed.insert(box).second)
                continue;
            HWND owner = GetWindow(box, GW_OWNER);
            warnings.push_back({WindowTextOf(GetDlgItem(box, kMessageBoxTextId)),
                                owner == hostWindow, owner == nullptr});
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    host.join();
    return warnings;
}
