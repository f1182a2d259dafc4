#include "win32/jobs_win.h"

#include <memory>
#include <mutex>

#include "platform/trace.h"
#include "win32/internet_win.h"
#include "win32/window_class.h"

struct Win32Jobs::Shared {
    std::mutex lock;          // held only to push or pop one item, or to set the window
    std::deque<Item*> queue;  // jobs to run; a null item ends the thread
    std::deque<Item*> done;   // jobs run, their completions not yet
    win::ScopedHandle waiting{CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, nullptr)};  // one count per queued job
    HWND wake = nullptr;  // told when a completion is queued; none once it is gone

    ~Shared() {
        for (Item* item : queue) delete item;
        for (Item* item : done) delete item;
    }
    void Push(Item* item) {
        {
            const std::lock_guard<std::mutex> hold(lock);
            queue.push_back(item);
        }
        ReleaseSemaphore(waiting.Get(), 1, nullptr);
    }
    Item* Take() {
        WaitForSingleObject(waiting.Get(), INFINITE);
        const std::lock_guard<std::mutex> hold(lock);
        Item* item = queue.front();
        queue.pop_front();
        return item;
    }
    // Queues a completion; the window to tell, or null when there is none and the item was dropped.
    HWND Done(std::unique_ptr<Item> item) {
        const std::lock_guard<std::mutex> hold(lock);
        if (wake) done.push_back(item.release());
        return wake;
    }
    std::unique_ptr<Item> NextDone() {
        const std::lock_guard<std::mutex> hold(lock);
        if (done.empty()) return nullptr;
        std::unique_ptr<Item> item(done.front());
        done.pop_front();
        return item;
    }
    void SetWake(HWND window) {
        const std::lock_guard<std::mutex> hold(lock);
        wake = window;
    }
};

Win32Jobs::Win32Jobs() : m_Shared(new Shared) {}

Win32Jobs::~Win32Jobs() {
    m_Shared->SetWake(nullptr);
    if (m_Wake) DestroyWindow(m_Wake);
    if (!m_Thread.Valid()) {
        delete m_Shared;
        return;
    }
    m_Shared->Push(nullptr);  // the thread ends on its own, and frees the shared state
}

void Win32Jobs::SetWindow(HWND window) {
    m_Owner = window;
    if (m_Wake) return;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (win::RegisterWindowClass(instance, {win::kJobsClass, win::WindowProc<Win32Jobs>}))
        m_Wake =
            CreateWindowExW(0, win::kJobsClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    // Without it no completion runs; the strip gives a refresh up at its deadline.
    if (!m_Wake) platform::Trace(u"no window for the jobs' completions");
    m_Shared->SetWake(m_Wake);
}

LRESULT Win32Jobs::Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Any program can post to a window, so the message's parameters are never read.
    if (msg == win::kJobsWake) {
        RunCompletions();
        return 0;
    }
    if (msg == WM_CLOSE) return 0;  // only we end this window
    if (msg == WM_NCDESTROY) {
        m_Shared->SetWake(nullptr);
        m_Wake = nullptr;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Jobs::RunCompletions() {
    // One pop per lock; a completion may open a dialog whose loop runs the next ones meanwhile. One that
    // fails leaves the rest to run now, not at the next message.
    while (std::unique_ptr<Item> item = m_Shared->NextDone()) {
        if (!IsWindow(m_Owner) || !item->completion) continue;
        try {
            item->completion();
        } catch (...) {
            win::ReportUncaught(L"job completion");
        }
    }
}

void Win32Jobs::Post(std::function<void(Http&)> job, std::function<void()> completion) {
    auto item = std::make_unique<Item>(Item{std::move(job), std::move(completion)});
    if (!m_Thread.Valid()) {
        m_Thread.Reset(CreateThread(nullptr, 0, Run, m_Shared, 0, nullptr));
        if (!m_Thread.Valid()) {
            platform::Trace(u"no thread for the jobs: the job is dropped");
            return;
        }
    }
    m_Shared->Push(item.release());
}

DWORD WINAPI Win32Jobs::Run(void* shared) {
    const std::unique_ptr<Shared> state(static_cast<Shared*>(shared));
    Win32Http http;  // every handle it opens is opened and closed on this thread
    for (;;) {
        std::unique_ptr<Item> item(state->Take());
        if (!item) return 0;
        try {
            item->job(http);
        } catch (...) {
            platform::TraceCurrentException(u"job");
        }
        // A lost message loses nothing: the next one runs every completion queued before it.
        const HWND wake = state->Done(std::move(item));
        if (wake && !PostMessageW(wake, win::kJobsWake, 0, 0))
            platform::Trace(u"job completion: no message, it waits for the next");
    }
}
