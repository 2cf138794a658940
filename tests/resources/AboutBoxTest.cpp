// The real about box and warning message under Windows (Wine): shown on the main thread,
// found, read and closed from a second thread, as a user would see and close them.
#include "core/Alert.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "platform/ModuleInstance.h"
#include "support/FakeHost.h"
#include "ui/MessageText.h"
#include "ui/WindowPlacement.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

const std::wstring kAboutText =
    std::wstring(sizeof(void*) == 4 ? L"Lumetra Plugin (32-Bit) v1.11"
                                    : L"Lumetra Plugin (64-Bit) v1.11") +
    L"\n\n\nA Filter plug-in module for Adobe Photoshop\u00AE.\n\n"
    L"Copyright (C) Corvane. All rights reserved.\n";

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM result) {
    if (ClassName(window) != L"#32770" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// A visible dialog window (of any kind) of the given thread, or null after ten seconds.
HWND WaitForDialog(DWORD thread) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        HWND found = nullptr;
        EnumThreadWindows(thread, FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr)
            return found;
        Sleep(10);
    }
    return nullptr;
}

// A hidden top-level window standing for the host's main window.
class OwnerWindow {
public:
    explicit OwnerWindow(RECT frame) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LumetraTestOwner";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "LumetraTestOwner", "Host", WS_OVERLAPPEDWINDOW, frame.left,
                                 frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~OwnerWindow() { DestroyWindow(window); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;

    HWND window;
};

// Where CenterWindow must have put `dialog`, from what Windows reports about its owner.
WindowOrigin ExpectedOrigin(HWND dialog, HWND owner) {
    RECT client{};
    GetClientRect(owner, &client);
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    RECT frame{};
    GetWindowRect(dialog, &frame);
    WindowPlacementInput input{};
    input.parentLeft = origin.x;
    input.parentTop = origin.y;
    input.parentWidth = client.right;
    input.parentHeight = client.bottom;
    input.width = frame.right - frame.left;
    input.height = frame.bottom - frame.top;
    input.captionButtonWidth = GetSystemMetrics(SM_CXSIZE);
    input.hasSystemMenu = (GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
    input.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    input.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return PlaceOnParent(input);
}

struct SeenDialog {
    bool found = false;
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
    bool systemMenu = true;
    RECT frame{};
    WindowOrigin expected{};
    bool closed = false;
};

// True once `window` is gone, false after five seconds.
bool WaitUntilClosed(HWND window) {
    for (int attempt = 0; attempt < 500 && IsWindow(window); ++attempt)
        Sleep(10);
    return !IsWindow(window);
}

enum class Close { EscapeKey, OkButton };

void CloseDialog(HWND dialog, Close how) {
    if (how == Close::EscapeKey) {
        // Through the dialog manager, as a key press on the focused OK button arrives.
        HWND ok = GetDlgItem(dialog, IDOK);
        PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(ok, WM_KEYUP, VK_ESCAPE, 0);
    } else {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
}

struct AboutCase {
    const char* name;
    bool nearScreenCorner; // the owner's top left 200 x 150 pixels from the screen's corner
    Close close;
};

RECT OwnerFrame(bool nearScreenCorner) {
    if (!nearScreenCorner)
        return {120, 90, 820, 590};
    const LONG left = GetSystemMetrics(SM_CXSCREEN) - 200;
    const LONG top = GetSystemMetrics(SM_CYSCREEN) - 150;
    return {left, top, left + 500, top + 400};
}

class AboutBoxTest : public testing::TestWithParam<AboutCase> {};

TEST_P(AboutBoxTest, ShowsPlacesAndCloses) {
    const AboutCase& c = GetParam();
    LoadedModule module;
    ASSERT_TRUE(module.Loaded()) << module.Error();
    OwnerWindow owner(OwnerFrame(c.nearScreenCorner));
    ASSERT_NE(owner.window, nullptr);

    SeenDialog seen;
    const DWORD mainThread = GetCurrentThreadId();
    std::thread user([&] {
        HWND dialog = WaitForDialog(mainThread);
        if (dialog == nullptr)
            return;
        seen.found = true;
        seen.caption = WindowText(dialog);
        seen.text = WindowText(GetDlgItem(dialog, 3));
        seen.owner = GetWindow(dialog, GW_OWNER);
        seen.systemMenu = (GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
        GetWindowRect(dialog, &seen.frame);
        seen.expected = ExpectedOrigin(dialog, owner.window);
        CloseDialog(dialog, c.close);
        seen.closed = WaitUntilClosed(dialog);
        if (!seen.closed) // not to leave the test hanging in the dialog's loop
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });

    PlatformData platform{reinterpret_cast<std::intptr_t>(owner.window)};
    AboutRecord record{};
    record.platformData = &platform;
    std::intptr_t slot = 0;
    std::int16_t result = 99;
    module.Call(filterSelectorAbout, &record, &slot, &result);
    user.join();

    EXPECT_EQ(result, noErr);
    ASSERT_TRUE(seen.found) << "no about box appeared";
    EXPECT_TRUE(seen.closed) << "the box stayed open";
    EXPECT_EQ(seen.caption, L"About...");
    EXPECT_EQ(seen.text, kAboutText);
    EXPECT_EQ(seen.owner, owner.window);
    EXPECT_FALSE(seen.systemMenu);
    EXPECT_EQ(seen.frame.left, seen.expected.x);
    EXPECT_EQ(seen.frame.top, seen.expected.y);
    EXPECT_LE(seen.frame.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(seen.frame.bottom, GetSystemMetrics(SM_CYSCREEN));
    if (c.nearScreenCorner) {
        EXPECT_EQ(seen.frame.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(seen.frame.bottom, GetSystemMetrics(SM_CYSCREEN));
    }
}

INSTANTIATE_TEST_SUITE_P(Owners, AboutBoxTest,
                         testing::Values(AboutCase{"EscapeOnHostWindow", false, Close::EscapeKey},
                                         AboutCase{"OkNearScreenCorner", true, Close::OkButton}),
                         [](const testing::TestParamInfo<AboutCase>& c) { return c.param.name; });

struct SeenMessage {
    bool found = false;
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
};

BOOL CALLBACK KeepStaticText(HWND child, LPARAM result) {
    if (ClassName(child) == L"Static" && !WindowText(child).empty())
        *reinterpret_cast<std::wstring*>(result) = WindowText(child);
    return TRUE;
}

// The text of a message box is its one static control with text (the icon has none).
std::wstring MessageText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, KeepStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Runs `show` on this thread while a second thread reads the message box it opens and
// presses its OK button.
template <typename Show>
SeenMessage WatchMessage(Show show) {
    SeenMessage seen;
    const DWORD mainThread = GetCurrentThreadId();
    std::thread user([&] {
        HWND box = WaitForDialog(mainThread);
        if (box == nullptr)
            return;
        seen.found = true;
        seen.caption = WindowText(box);
        seen.text = MessageText(box);
        seen.owner = GetWindow(box, GW_OWNER);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    });
    show();
    user.join();
    return seen;
}

// The warning comes from the module's string table; here the test program carries the
// same resources and stands in for the module.
class WarningTest : public testing::Test {
protected:
    void SetUp() override { SetModuleInstance(GetModuleHandleA(nullptr)); }
    void TearDown() override { SetModuleInstance(nullptr); }
};

TEST_F(WarningTest, MissingAdvanceStateWarnsWithoutOwner) {
    bool passed = true;
    const SeenMessage seen = WatchMessage([&] { passed = CheckAdvanceState(nullptr); });
    EXPECT_FALSE(passed);
    ASSERT_TRUE(seen.found) << "no warning appeared";
    EXPECT_EQ(seen.text,
              L"This plug-in requires Adobe Photoshop\u00AE 3.0 or later functionality.");
    EXPECT_EQ(seen.caption, L"Error"); // the system's default caption
    EXPECT_EQ(seen.owner, nullptr);
}

TEST_F(WarningTest, AlertFillsPlaceholdersAndReportsOk) {
    OwnerWindow owner({100, 100, 400, 300});
    const LengthPrefixedText low = MakeLengthPrefixed("1");
    const LengthPrefixedText high = MakeLengthPrefixed(std::string(300, '9'));
    std::int16_t button = 0;
    const SeenMessage seen = WatchMessage([&] {
        button = ShowAlert(reinterpret_cast<std::intptr_t>(owner.window), 1, 16990, low.bytes,
                           high.bytes);
    });
    EXPECT_EQ(button, IDOK);
    ASSERT_TRUE(seen.found) << "no warning appeared";
    const std::wstring start = L"An integer is required between 1 and ";
    EXPECT_EQ(seen.text, start + std::wstring(254 - start.size(), L'9'));
    EXPECT_EQ(seen.owner, owner.window);
}

} // namespace
