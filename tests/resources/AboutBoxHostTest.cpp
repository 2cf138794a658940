// The about box as the test host shows it: filterhost.exe --about runs the built module in
// its own process while this test finds the box, reads it, checks where it sits on the
// host's window and closes it.
#include "platform/HostDynamicModule.h"
#include "platform/HostProcess.h"
#include "ui/WindowPlacement.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// A visible "About..." dialog of another process, owned by the test host's window.
BOOL CALLBACK FindHostAboutBox(HWND window, LPARAM result) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (lstrcmpW(name, L"#32770") != 0 || process == GetCurrentProcessId() ||
        !IsWindowVisible(window) || WindowText(window) != L"About..." ||
        WindowText(GetWindow(window, GW_OWNER)) != L"filterhost")
        return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

HWND WaitForHostAboutBox() {
    for (int attempt = 0; attempt < 1500; ++attempt) {
        HWND found = nullptr;
        EnumWindows(FindHostAboutBox, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr)
            return found;
        Sleep(10);
    }
    return nullptr;
}

WindowOrigin ExpectedOrigin(HWND dialog, HWND owner) {
    RECT client{};
    GetClientRect(owner, &client);
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    RECT frame{};
    GetWindowRect(dialog, &frame);
    return PlaceOnParent({origin.x, origin.y, client.right, client.bottom, frame.right - frame.left,
                          frame.bottom - frame.top, GetSystemMetrics(SM_CXSIZE),
                          (GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0,
                          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct HostCase {
    const char* name;
    bool escape; // else the OK button
};

class AboutBoxHostTest : public testing::TestWithParam<HostCase> {};

TEST_P(AboutBoxHostTest, ShowsPlacesAndCloses) {
    const std::string folder = ExecutableFolder();
    const std::string output = folder + "about_box_host_" + GetParam().name + ".log";
    int exitCode = -2;
    std::thread host([&] {
        exitCode = RunProgram({folder + ProgramFileName("filterhost"), "--plugin",
                               folder + PluginModuleFileName(), "--about"},
                              {}, output);
    });

    HWND dialog = WaitForHostAboutBox();
    std::wstring text;
    RECT frame{};
    WindowOrigin expected{};
    if (dialog != nullptr) {
        text = WindowText(GetDlgItem(dialog, 3));
        GetWindowRect(dialog, &frame);
        expected = ExpectedOrigin(dialog, GetWindow(dialog, GW_OWNER));
        HWND ok = GetDlgItem(dialog, IDOK);
        if (GetParam().escape)
            PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 0);
        else
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(ok));
    }
    host.join();

    ASSERT_NE(dialog, nullptr) << "no about box appeared; filterhost said:\n" << ReadFile(output);
    // The test host and the module are built for the same architecture as this program.
    EXPECT_EQ(text, std::wstring(sizeof(void*) == 4 ? L"Lumetra Plugin (32-Bit) v1.11\n\n\n"
                                                    : L"Lumetra Plugin (64-Bit) v1.11\n\n\n") +
                        L"A Filter plug-in module for Adobe Photoshop\u00AE.\n\n"
                        L"Copyright (C) Corvane. All rights reserved.\n");
    EXPECT_EQ(frame.left, expected.x);
    EXPECT_EQ(frame.top, expected.y);
    EXPECT_EQ(exitCode, 0);
    const std::string said = ReadFile(output);
    EXPECT_NE(said.find("filterhost: about result 0"), std::string::npos) << said;
    std::remove(output.c_str());
}

INSTANTIATE_TEST_SUITE_P(Keys, AboutBoxHostTest,
                         testing::Values(HostCase{"Escape", true}, HostCase{"Ok", false}),
                         [](const testing::TestParamInfo<HostCase>& c) { return c.param.name; });

} // namespace
