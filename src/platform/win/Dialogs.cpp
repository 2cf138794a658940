// The about box and the warning message box on Windows.
#include "platform/Dialogs.h"

#include "platform/ModuleInstance.h"
#include "resources/ResourceTexts.h"
#include "ui/AboutText.h"
#include "ui/WindowPlacement.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

namespace {

HINSTANCE ModuleInstance() {
    return static_cast<HINSTANCE>(GetModuleInstance());
}

// Moves a dialog onto its parent (the owner for a popup) as PlaceOnParent says.
void CenterWindow(HWND window) {
    HWND parent = GetParent(window);
    if (parent == nullptr)
        parent = GetDesktopWindow();
    RECT client{};
    GetClientRect(parent, &client);
    POINT origin{client.left, client.top};
    ClientToScreen(parent, &origin);
    RECT frame{};
    GetWindowRect(window, &frame);

    WindowPlacementInput input{};
    input.parentLeft = origin.x;
    input.parentTop = origin.y;
    input.parentWidth = client.right - client.left;
    input.parentHeight = client.bottom - client.top;
    input.width = frame.right - frame.left;
    input.height = frame.bottom - frame.top;
    input.captionButtonWidth = GetSystemMetrics(SM_CXSIZE);
    input.hasSystemMenu = (GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) != 0;
    input.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    input.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const WindowOrigin placed = PlaceOnParent(input);
    SetWindowPos(window, nullptr, placed.x, placed.y, input.width, input.height, SWP_NOZORDER);
}

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (window == nullptr)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(window, LUMETRA_ABOUT_TEXT_ID, AboutText().c_str());
        CenterWindow(window);
        return TRUE;
    case WM_COMMAND: {
        const WORD command = LOWORD(wParam);
        if (command == LUMETRA_ABOUT_OK_ID || command == LUMETRA_ABOUT_CANCEL_ID) {
            EndDialog(window, 0);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// The activation context described by the module's own manifest, so that its dialogs
// look the same whatever the host's manifest says. INVALID_HANDLE_VALUE on failure.
HANDLE CreateModuleActivationContext(HINSTANCE module) {
    // The wide path, so that a module installed under a name outside the ANSI code page
    // still finds its manifest.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return INVALID_HANDLE_VALUE;
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.data();
    context.hModule = module;
    context.lpResourceName = MAKEINTRESOURCEW(LUMETRA_MANIFEST_ID);
    return CreateActCtxW(&context);
}

} // namespace

bool ShowAboutBox(std::intptr_t owner) {
    HINSTANCE module = ModuleInstance();
    if (module == nullptr)
        return false;
    HANDLE context = CreateModuleActivationContext(module);
    if (context == INVALID_HANDLE_VALUE)
        return false;
    ULONG_PTR cookie = 0;
    if (!ActivateActCtx(context, &cookie)) {
        ReleaseActCtx(context);
        return false;
    }
    const INT_PTR shown = DialogBoxParamA(module, MAKEINTRESOURCEA(LUMETRA_ABOUT_DIALOG_ID),
                                          reinterpret_cast<HWND>(owner), AboutDialogProc, 0);
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
    return shown != -1;
}

std::string LoadModuleString(int id, std::size_t limit) {
    std::vector<char> buffer(limit + 1);
    const int length = LoadStringA(ModuleInstance(), static_cast<UINT>(id), buffer.data(),
                                   static_cast<int>(buffer.size()));
    return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

int ShowWarningBox(std::intptr_t owner, const std::string& text) {
    UINT style = MB_OK | MB_ICONWARNING;
    // A host that gives no window (GIMP gives 0) still shows the box: owned by nobody, it
    // keeps the host's windows of this thread disabled while open and comes to the front
    // rather than behind the host's window.
    if (owner == 0)
        style |= MB_TASKMODAL | MB_SETFOREGROUND;
    return MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), nullptr, style);
}

int ShowPathWarningBox(std::intptr_t owner, const std::string& text) {
    return ShowWarningBox(owner, text);
}
