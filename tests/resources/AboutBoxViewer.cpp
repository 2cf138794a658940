// Shows the built module's about box, owned by a plain window, until a given file exists;
// scripts/screenshot-about.sh photographs it meanwhile.
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "support/FakeHost.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <thread>

namespace {

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM result) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// Closes the about box once `stopFile` exists (or after a minute).
void CloseWhenAsked(DWORD thread, const char* stopFile) {
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 1200; ++attempt) {
        if (dialog == nullptr)
            EnumThreadWindows(thread, FindVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog != nullptr && GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(50);
    }
    if (dialog != nullptr)
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: about_box_viewer <stop file>\n");
        return 2;
    }
    LoadedModule module;
    if (!module.Loaded()) {
        std::fprintf(stderr, "about_box_viewer: %s\n", module.Error().c_str());
        return 1;
    }
    HWND owner = CreateWindowExA(0, "Static", "Host", WS_OVERLAPPEDWINDOW, 100, 100, 640, 480,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    std::thread closer(CloseWhenAsked, GetCurrentThreadId(), argv[1]);

    PlatformData platform{reinterpret_cast<std::intptr_t>(owner)};
    AboutRecord record{};
    record.platformData = &platform;
    std::intptr_t slot = 0;
    std::int16_t result = 99;
    module.Call(filterSelectorAbout, &record, &slot, &result);
    closer.join();
    DestroyWindow(owner);
    std::printf("about_box_viewer: about result %d\n", result);
    return result == noErr ? 0 : 1;
}
