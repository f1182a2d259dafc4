#include "win32/jobs_win.h"

#include <memory>

#include "platform/trace.h"
#include "win32/internet_win.h"

namespace win {

void RunCompletion(LPARAM item) {
    const std::unique_ptr<Win32Jobs::Item> done(reinterpret_cast<Win32Jobs::Item*>(item));
    if (done && done->completion) done->completion();
}

}  // namespace win

Win32Jobs::Win32Jobs() {
    InitializeCriticalSection(&m_Lock);
    m_Waiting = CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, nullptr);
}

Win32Jobs::~Win32Jobs() {
    // Only a test ends its jobs object; the program's lives until the process ends, thread and all.
    if (m_Thread) CloseHandle(m_Thread);
    if (m_Waiting) CloseHandle(m_Waiting);
    DeleteCriticalSection(&m_Lock);
}

void Win32Jobs::Post(std::function<void(Internet&)> job, std::function<void()> completion) {
    auto item = std::make_unique<Item>(Item{std::move(job), std::move(completion)});
    if (!m_Thread) {
        m_Thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        if (!m_Thread) {
            platform::Trace(u"no network thread: the request is dropped");
            return;
        }
    }
    EnterCriticalSection(&m_Lock);
    m_Queue.push_back(item.release());
    LeaveCriticalSection(&m_Lock);
    ReleaseSemaphore(m_Waiting, 1, nullptr);
}

Win32Jobs::Item* Win32Jobs::Take() {
    WaitForSingleObject(m_Waiting, INFINITE);
    EnterCriticalSection(&m_Lock);
    Item* item = m_Queue.front();
    m_Queue.pop_front();
    LeaveCriticalSection(&m_Lock);
    return item;
}

DWORD WINAPI Win32Jobs::Run(void* self) {
    auto& jobs = *static_cast<Win32Jobs*>(self);
    Win32Internet internet;  // every handle it opens is opened and closed on this thread
    for (;;) {
        std::unique_ptr<Item> item(jobs.Take());
        try {
            item->job(internet);
        } catch (...) {
            platform::TraceCurrentException(u"network job");
        }
        // A window that is gone takes no message: the completion is dropped here.
        if (PostMessageW(jobs.m_Window, win::kJobDone, 0, reinterpret_cast<LPARAM>(item.get())))
            item.release();
    }
}
