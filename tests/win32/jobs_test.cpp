// The network thread: jobs run in order on one thread that is not the window's, each with the same WinINet
// client of that thread's own; completions come back as the window's messages, in order, on the window's
// thread, and none arrives once the window is gone; no message from anyone else runs anything.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "win32/fake_site_win.h"
#include "win32/internet_win.h"
#include "win32/jobs_win.h"

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

HWND MakeWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LockleafJobsTest";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
}

// The test's own loop: messages until done() holds or the time is up.
template <class F>
void PumpUntil(F done, DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done() && GetTickCount() - start < ms) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        } else {
            Sleep(5);
        }
    }
}

}  // namespace

TEST(Jobs, RunInOrderOnOneThreadOfTheirOwnAndCompleteOnTheWindowsThreadUntilTheWindowIsGone) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    Win32Jobs jobs;
    jobs.SetWindow(window);
    const DWORD self = GetCurrentThreadId();
    FakeSite site;  // where it runs, each job fetches from it
    site.Put("files/banner.txt", "list");
    std::vector<DWORD> jobThreads(3), doneThreads;
    std::vector<Http*> clients(3);
    std::vector<std::string> bodies(3);
    std::vector<int> order;
    for (int i = 0; i < 3; ++i) {
        jobs.Post(
            [&, i](Http& http) {
                if (i == 0) Sleep(300);  // the later ones wait their turn
                jobThreads[i] = GetCurrentThreadId();
                clients[i] = &http;
                if (!site.Running()) return;
                const std::unique_ptr<HttpBody> body = http.Get(site.Url("files/banner.txt"), u"vb wininet");
                char buffer[64];
                size_t n = 0;
                while (body && body->Read(buffer, sizeof buffer, n) && n != 0) bodies[i].append(buffer, n);
            },
            [&, i] {
                order.push_back(i);
                doneThreads.push_back(GetCurrentThreadId());
            });
    }
    EXPECT_TRUE(order.empty());  // posting waits for nothing
    PumpUntil([&] { return order.size() == 3; }, 10000);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(doneThreads, (std::vector<DWORD>{self, self, self}));
    EXPECT_NE(jobThreads[0], self);
    EXPECT_EQ(jobThreads[1], jobThreads[0]);
    EXPECT_EQ(jobThreads[2], jobThreads[0]);
    EXPECT_NE(dynamic_cast<Win32Http*>(clients[0]), nullptr);  // the real WinINet one, the thread's own
    EXPECT_EQ(clients[1], clients[0]);
    EXPECT_EQ(clients[2], clients[0]);
    if (site.Running()) {
        EXPECT_EQ(bodies, std::vector<std::string>(3, "list"));
    }

    // A job that ends after its window is gone: its completion is dropped, not run on a dead window.
    HANDLE ran = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool completed = false;
    jobs.Post(
        [&](Http&) {
            Sleep(200);
            SetEvent(ran);
        },
        [&] { completed = true; });
    DestroyWindow(window);
    EXPECT_EQ(WaitForSingleObject(ran, 10000), WAIT_OBJECT_0);
    PumpUntil([&] { return completed; }, 500);
    EXPECT_FALSE(completed);
    CloseHandle(ran);
}

TEST(Jobs, MessagesFromAnyoneRunNothingButTheQueuedCompletionsEachOnce) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    Win32Jobs jobs;
    jobs.SetWindow(window);
    // Another program finds both windows: ours by its class among the message-only ones.
    HWND wake = FindWindowExW(HWND_MESSAGE, nullptr, win::kJobsClass, nullptr);
    ASSERT_NE(wake, nullptr);
    ASSERT_EQ(GetWindowThreadProcessId(wake, nullptr), GetCurrentThreadId());

    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<int> completed;
    jobs.Post([&](Http&) { WaitForSingleObject(release, 10000); }, [&] { completed.push_back(1); });
    const LPARAM junk[] = {0, 0x41414141, -1, reinterpret_cast<LPARAM>(&completed), 1};
    auto postJunk = [&] {
        for (HWND to : {wake, window}) {
            for (UINT base : {UINT{WM_APP}, UINT{WM_USER}})
                for (UINT m = base; m <= base + 16; ++m)
                    for (LPARAM lp : junk) PostMessageW(to, m, static_cast<WPARAM>(lp) ^ m, lp);
        }
        PostMessageW(wake, WM_CLOSE, 0, 0);
        SendMessageW(wake, win::kJobsWake, 0, 0x41414141);
    };
    postJunk();  // while the job still runs: nothing is queued
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(completed.empty());
    SetEvent(release);
    PumpUntil([&] { return !completed.empty(); }, 10000);
    postJunk();  // after: it ran once, and only once
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(completed, std::vector<int>{1});

    // Both windows are still there, and the next job completes as before.
    EXPECT_TRUE(IsWindow(wake));
    EXPECT_TRUE(IsWindow(window));
    jobs.Post([](Http&) {}, [&] { completed.push_back(2); });
    PumpUntil([&] { return completed.size() == 2; }, 10000);
    EXPECT_EQ(completed, (std::vector<int>{1, 2}));
    DestroyWindow(window);
    CloseHandle(release);
}
