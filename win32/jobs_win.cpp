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

struct Win32Jobs::Shared {
    CRITICAL_SECTION lock;     // held only to push or pop one item, or to set the window
    std::deque<Item*> queue;   // a null item ends the thread
    HANDLE waiting = nullptr;  // a semaphore: one count per queued item
    HWND window = nullptr;

    Shared() {
        InitializeCriticalSection(&lock);
        waiting = CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, nullptr);
    }
    ~Shared() {
        for (Item* item : queue) delete item;
        if (waiting) CloseHandle(waiting);
        DeleteCriticalSection(&lock);
    }
    void Push(Item* item) {
        EnterCriticalSection(&lock);
        queue.push_back(item);
        LeaveCriticalSection(&lock);
        ReleaseSemaphore(waiting, 1, nullptr);
    }
    Item* Take(HWND& to) {
        WaitForSingleObject(waiting, INFINITE);
        EnterCriticalSection(&lock);
        Item* item = queue.front();
        queue.pop_front();
        to = window;
        LeaveCriticalSection(&lock);
        return item;
    }
};

Win32Jobs::Win32Jobs() : m_Shared(new Shared) {}

Win32Jobs::~Win32Jobs() {
    if (!m_Thread) {
        delete m_Shared;
        return;
    }
    m_Shared->Push(nullptr);
    CloseHandle(m_Thread);
}

void Win32Jobs::SetWindow(HWND window) {
    EnterCriticalSection(&m_Shared->lock);
    m_Shared->window = window;
    LeaveCriticalSection(&m_Shared->lock);
}

void Win32Jobs::Post(std::function<void(Internet&)> job, std::function<void()> completion) {
    auto item = std::make_unique<Item>(Item{std::move(job), std::move(completion)});
    if (!m_Thread) {
        m_Thread = CreateThread(nullptr, 0, Run, m_Shared, 0, nullptr);
        if (!m_Thread) {
            platform::Trace(u"no network thread: the request is dropped");
            return;
        }
    }
    m_Shared->Push(item.release());
}

DWORD WINAPI Win32Jobs::Run(void* shared) {
    const std::unique_ptr<Shared> state(static_cast<Shared*>(shared));
    Win32Internet internet;  // every handle it opens is opened and closed on this thread
    for (;;) {
        HWND window = nullptr;
        std::unique_ptr<Item> item(state->Take(window));
        if (!item) return 0;
        try {
            item->job(internet);
        } catch (...) {
            platform::TraceCurrentException(u"network job");
        }
        // A window that is gone takes no message: the completion is dropped here.
        if (window && PostMessageW(window, win::kJobDone, 0, reinterpret_cast<LPARAM>(item.get())))
            item.release();
    }
}
