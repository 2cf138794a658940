// The wait on Windows: the host's windows keep receiving their messages, only the wait's
// own timer ticks are taken, a host window that goes away does not stall it, a quit request
// ends the wait and is handed back, and a command line that does not fit starts nothing.
#include "LaunchFixture.h"
#include "bridge/Launcher.h"
#include "core/ResultCodes.h"
#include "host/HostRecords.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <thread>

namespace {

constexpr UINT_PTR kWaitTimerId = 237672; // the launcher's own timer on the host window
constexpr UINT_PTR kOwnTimerId = 7;
constexpr UINT kTickPeriod = 20;
constexpr UINT kDestroyYourself = WM_APP + 1;

struct MessageCounts {
    int ownTicks = 0;  // WM_TIMER with kOwnTimerId
    int waitTicks = 0; // WM_TIMER with kWaitTimerId
    int posted = 0;    // WM_APP
    DWORD lastOwnTick = 0;
    DWORD destroyedAt = 0;
};

int gThreadTicks = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* counts = reinterpret_cast<MessageCounts*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (counts != nullptr && message == WM_TIMER) {
        if (wParam == kOwnTimerId) {
            ++counts->ownTicks;
            counts->lastOwnTick = GetTickCount();
        }
        if (wParam == kWaitTimerId)
            ++counts->waitTicks;
        return 0;
    }
    if (counts != nullptr && message == WM_APP) {
        ++counts->posted;
        return 0;
    }
    if (message == kDestroyYourself) {
        DestroyWindow(window);
        return 0;
    }
    if (counts != nullptr && message == WM_DESTROY)
        counts->destroyedAt = GetTickCount();
    return DefWindowProcA(window, message, wParam, lParam);
}

void CALLBACK CountThreadTick(HWND, UINT, UINT_PTR, DWORD) {
    ++gThreadTicks;
}

// A hidden top-level window, as a host's main window is to us, counting what it receives.
class CountingWindow {
public:
    CountingWindow() {
        static const ATOM windowClass = [] {
            WNDCLASSA description{};
            description.lpfnWndProc = CountingProc;
            description.hInstance = GetModuleHandleA(nullptr);
            description.lpszClassName = "LumetraBridgeTestWindow";
            return RegisterClassA(&description);
        }();
        handle = CreateWindowExA(0, MAKEINTATOM(windowClass), "host", WS_OVERLAPPEDWINDOW, 0, 0,
                                 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&counts));
    }
    ~CountingWindow() { DestroyWindow(handle); }
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;

    HWND handle;
    MessageCounts counts;
};

// Dispatches whatever arrives for `milliseconds`.
void PumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}

using WaitLoopTest = LaunchTest;

TEST_F(WaitLoopTest, WindowsKeepTheirMessagesWhileWaiting) {
    for (const bool withHostWindow : {true, false}) {
        SCOPED_TRACE(withHostWindow ? "host window" : "no host window");
        RestoreProgramAndSettings();
        std::remove(processedPath.c_str());
        CountingWindow host;
        CountingWindow other;
        ASSERT_NE(host.handle, nullptr) << GetLastError();
        ASSERT_NE(other.handle, nullptr) << GetLastError();
        gThreadTicks = 0;
        SetTimer(host.handle, kOwnTimerId, kTickPeriod, nullptr);
        SetTimer(other.handle, kWaitTimerId, kTickPeriod, nullptr); // our id, another window
        const UINT_PTR threadTimer = SetTimer(nullptr, 0, kTickPeriod, CountThreadTick);
        ASSERT_NE(threadTimer, 0u);
        const HWND hostWindow = withHostWindow ? host.handle : nullptr;
        std::thread poster([&] {
            for (int i = 0; i < 5; ++i) {
                Sleep(50);
                PostMessageA(host.handle, WM_APP, 0, 0);
            }
        });

        ScopedVariable mode("LUMETRA_APP_MODE", "sleep=600");
        const std::int16_t result =
            LaunchAndWatch(reinterpret_cast<std::intptr_t>(hostWindow), true);
        poster.join();
        KillTimer(host.handle, kOwnTimerId);
        KillTimer(other.handle, kWaitTimerId);
        KillTimer(nullptr, threadTimer);

        ASSERT_EQ(result, noErr);
        ASSERT_TRUE(seen);
        const double after = Milliseconds(returned - processedSeen);
        std::printf("%s: waited %.0f ms, returned %.0f ms after the result appeared; "
                    "ticks: own %d, other window %d, thread %d\n",
                    withHostWindow ? "host window" : "no host window",
                    Milliseconds(returned - started), after, host.counts.ownTicks,
                    other.counts.waitTicks, gThreadTicks);
        EXPECT_LE(after, 200.0);
        EXPECT_GE(host.counts.ownTicks, 10) << "the host's own timer was not dispatched";
        EXPECT_GE(other.counts.waitTicks, 10) << "another window's timer with our id was taken";
        EXPECT_GE(gThreadTicks, 10) << "a thread timer was not dispatched";
        EXPECT_EQ(host.counts.posted, 5);
        EXPECT_EQ(host.counts.waitTicks, 0) << "the wait's own ticks reached the window";

        // The wait's timer is gone: nothing with its id arrives any more.
        PumpFor(300);
        EXPECT_EQ(host.counts.waitTicks, 0);
    }
}

// A host that closes its main window while the plug-in waits (a document or frame window
// closed from the host's own message handling) takes the timer on that window with it.
TEST_F(WaitLoopTest, HostWindowDestroyedDuringTheWait) {
    CountingWindow host;
    CountingWindow other; // the host's other window, ticking on until the end
    ASSERT_NE(host.handle, nullptr) << GetLastError();
    ASSERT_NE(other.handle, nullptr) << GetLastError();
    SetTimer(other.handle, kOwnTimerId, kTickPeriod, nullptr);
    const DWORD waiter = GetCurrentThreadId();
    HANDLE waitOver = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool rescued = false;
    std::thread poster([&] {
        Sleep(100);
        PostMessageA(host.handle, kDestroyYourself, 0, 0);
        // A wait that would never end is broken up, so that the test fails rather than hangs.
        if (WaitForSingleObject(waitOver, 5000) == WAIT_TIMEOUT) {
            rescued = true;
            PostThreadMessageA(waiter, WM_QUIT, 0, 0);
        }
    });

    ScopedVariable mode("LUMETRA_APP_MODE", "sleep=600");
    const std::int16_t result = LaunchAndWatch(reinterpret_cast<std::intptr_t>(host.handle), true);
    SetEvent(waitOver);
    poster.join();
    CloseHandle(waitOver);
    KillTimer(other.handle, kOwnTimerId);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);

    EXPECT_FALSE(rescued) << "the wait did not end with the program";
    ASSERT_EQ(result, noErr);
    ASSERT_TRUE(seen);
    ASSERT_NE(host.counts.destroyedAt, 0u) << "the host window was not destroyed";
    const double after = Milliseconds(returned - processedSeen);
    std::printf("window destroyed: returned %.0f ms after the result appeared; other window's "
                "ticks %d, the last %lu ms after the host window went\n",
                after, other.counts.ownTicks,
                static_cast<unsigned long>(other.counts.lastOwnTick - host.counts.destroyedAt));
    EXPECT_LE(after, 200.0);
    // The other window's timer was dispatched until the program ended, about 500 ms after
    // the host window went.
    EXPECT_GE(other.counts.lastOwnTick - host.counts.destroyedAt, 300u);
    EXPECT_GE(other.counts.ownTicks, 10);
}

TEST_F(WaitLoopTest, QuitRequestEndsTheWaitAndIsHandedBack) {
    CountingWindow host;
    ScopedVariable mode("LUMETRA_APP_MODE", "sleep=1500");
    PostQuitMessage(42);
    const std::int16_t result = LaunchAndWatch(reinterpret_cast<std::intptr_t>(host.handle), true);
    EXPECT_EQ(result, kResultLaunchFailed);
    EXPECT_LT(Milliseconds(returned - started), 1000.0) << "the wait went on after the quit";
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the quit request was swallowed";
    EXPECT_EQ(message.wParam, 42u);
    // The program runs on; let it finish before its folder is removed.
    EXPECT_TRUE(WaitForProcessedFile(10));
    Sleep(200);
}

TEST_F(WaitLoopTest, CommandLineMustFitWhole) {
    // The command line is "<program>" "<job path>" in a buffer of 519 characters. The job
    // path here is only text for the program to log: it need not exist.
    const std::size_t room = 518 - (program.size() + 2) - 1 - 2;
    const struct {
        std::string jobPath;
        bool started;
    } cases[] = {
        {std::string("C:\\") + std::string(room - 3, 'j'), true},
        {std::string("C:\\") + std::string(room - 2, 'j'), false},
        {"C:\\job \"path\\Data.lif", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jobPath.size());
        RestoreProgramAndSettings();
        PlatformData platform{0};
        ScopedVariable mode("LUMETRA_APP_MODE", "none");
        const std::int16_t result = LaunchApplication(&platform, c.jobPath.c_str(), true);
        EXPECT_EQ(result, c.started ? noErr : kResultLaunchFailed);
        const std::vector<std::string> lines = LogLines();
        if (c.started) {
            ASSERT_EQ(lines.size(), 3u);
            EXPECT_EQ(lines[0], "cmdline " + CommandLine(program, c.jobPath));
            EXPECT_EQ(lines[2], "argv[1] " + c.jobPath);
        } else {
            EXPECT_TRUE(lines.empty()) << "something was started";
        }
    }
}

} // namespace
