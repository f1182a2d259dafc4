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
    ~Win32Jobs() override;  // the thread is left to the process's end
    Win32Jobs(const Win32Jobs&) = delete;
    Win32Jobs& operator=(const Win32Jobs&) = delete;

    // Where completions go; set before the first job. Once the window is gone they are dropped.
    void SetWindow(HWND window) { m_Window = window; }
    void Post(std::function<void(Internet&)> job, std::function<void()> completion) override;

    struct Item {
        std::function<void(Internet&)> job;
        std::function<void()> completion;
    };

private:
    static DWORD WINAPI Run(void* self);
    Item* Take();

    CRITICAL_SECTION m_Lock;  // held only to push or pop one item
    std::deque<Item*> m_Queue;
    HANDLE m_Waiting = nullptr;  // a semaphore: one count per queued item
    HANDLE m_Thread = nullptr;
    HWND m_Window = nullptr;
};
