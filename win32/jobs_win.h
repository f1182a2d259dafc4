// The jobs of the real program: one network thread of ours runs them in order, with a WinINet of its own
// whose handles never leave it, and posts each completion to the main window as a message; the window's
// procedure runs it. The window's thread never waits for the network thread: it only queues.
#pragma once
#include <windows.h>

#include <deque>

#include "platform/jobs.h"

namespace win {
constexpr UINT kJobDone = WM_APP + 1;  // lParam: the completion, run by RunCompletion
void RunCompletion(LPARAM item);
}  // namespace win

class Win32Jobs : public Jobs {
public:
    Win32Jobs();
    // Waits for nothing: the thread ends after the jobs already queued and frees what it shares.
    ~Win32Jobs() override;
    Win32Jobs(const Win32Jobs&) = delete;
    Win32Jobs& operator=(const Win32Jobs&) = delete;

    // Where completions go; set before the first job. Once the window is gone they are dropped.
    void SetWindow(HWND window);
    void Post(std::function<void(Internet&)> job, std::function<void()> completion) override;

    struct Item {
        std::function<void(Internet&)> job;
        std::function<void()> completion;
    };

private:
    struct Shared;
    static DWORD WINAPI Run(void* shared);

    Shared* m_Shared;  // the thread's once it runs: it may outlive this object
    HANDLE m_Thread = nullptr;
};
