// The one pattern of our windows and dialogs: a class registered through one helper, and a static procedure
// that keeps the object given at creation with the HWND and hands every message to its Handle member.
#pragma once
#include <windows.h>

#include <utility>

namespace win {

// The exception being handled reached an entry from Windows: a line in the debugger output, and for out of
// memory a message to the user. Call it inside a catch.
void ReportUncaught(const wchar_t* where) noexcept;

// Every entry from Windows (window, subclass and dialog procedures, COM events, the message loop) runs its
// work through here: an exception must not unwind into the system's frames, where MinGW's unwinding stops
// and the process ends. The entry then answers with fallback and the program goes on.
template <class R, class F>
R Guarded(const wchar_t* where, R fallback, F&& f) noexcept {
    try {
        return std::forward<F>(f)();
    } catch (...) {
        ReportUncaught(where);
        return fallback;
    }
}

struct WindowClass {
    const wchar_t* name;
    WNDPROC proc;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
};

// True when the class is registered, now or by an earlier window of this process.
inline bool RegisterWindowClass(HINSTANCE instance, const WindowClass& c) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = c.proc;
    wc.hInstance = instance;
    wc.hIcon = c.icon;
    wc.hIconSm = c.smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = c.background;
    wc.lpszClassName = c.name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The procedure of a window whose CreateWindowExW got a T* as its last argument; T::Handle(hwnd, msg, wp, lp)
// answers every message from WM_NCCREATE on. Only the first creation message is believed: another program
// can send one more, with an address of its choosing.
template <class T>
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE && !GetWindowLongPtrW(hwnd, GWLP_USERDATA)) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    return Guarded(L"window procedure", LRESULT{0}, [&] { return self->Handle(hwnd, msg, wp, lp); });
}

// The same for a dialog box whose creation got a T* as its parameter: T::Handle(dlg, msg, wp, lp) answers
// from WM_INITDIALOG on, with a dialog procedure's result. As above, only the first WM_INITDIALOG is
// believed.
template <class T>
INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_INITDIALOG && !GetWindowLongPtrW(dlg, DWLP_USER)) SetWindowLongPtrW(dlg, DWLP_USER, lp);
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (!self) return FALSE;
    return Guarded(L"dialog procedure", INT_PTR{FALSE}, [&] { return self->Handle(dlg, msg, wp, lp); });
}

}  // namespace win
