// The jobs of the real program: a thread of ours runs them in order, with a WinINet of its own whose handles
// never leave it, and queues each completion; a message-only window of ours, on the window's thread, runs
// what is queued. The window's thread never waits for the jobs' thread: it only queues. The program has two,
// one for the network and one for the disk, each with its own thread and window of the same class.
#pragma once
#include <windows.h>

#include <deque>

#include "platform/jobs.h"
#include "win32/scoped.h"

namespace win {
// Tells the jobs' own window that completions are queued. It carries nothing: whoever posts it, only what
// the network thread queued runs.
constexpr UINT kJobsWake = WM_APP + 1;
constexpr wchar_t kJobsClass[] = L"LockleafJobs";
}  // namespace win

class Win32Jobs : public Jobs {
public:
    Win32Jobs();
    // Waits for nothing: the thread ends after the jobs already queued and frees what it shares.
    ~Win32Jobs() override;
    Win32Jobs(const Win32Jobs&) = delete;
    Win32Jobs& operator=(const Win32Jobs&) = delete;

    // Completions run on this window's thread while it exists; once it is gone they are dropped. Set on that
    // thread, before the first job.
    void SetWindow(HWND window);
    void Post(std::function<void(Http&)> job, std::function<void()> completion) override;

    // The jobs' message-only window.
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    struct Item {
        std::function<void(Http&)> job;
        std::function<void()> completion;
    };

private:
    struct Shared;
    static DWORD WINAPI Run(void* shared);
    void RunCompletions();

    Shared* m_Shared;  // the thread's once it runs: it may outlive this object
    win::ScopedHandle m_Thread;
    HWND m_Owner = nullptr;  // the window whose life bounds the completions
    HWND m_Wake = nullptr;   // ours, on the owner's thread
};
