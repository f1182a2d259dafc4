// What the adapter tests read off real windows: a window's text, and the dialog this thread shows.
#pragma once
#include <windows.h>

#include <string>

namespace test_windows {

inline std::wstring TextOf(HWND h) {
    std::wstring w(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    w.resize(static_cast<size_t>(GetWindowTextW(h, w.data(), static_cast<int>(w.size()))));
    return w;
}

inline BOOL CALLBACK TakeDialog(HWND h, LPARAM lp) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    if (!IsWindowVisible(h) || std::wstring(cls) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
}

// The visible dialog of the calling thread (a modal one runs its own loop there), or none.
inline HWND ShownDialog() {
    HWND dlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TakeDialog, reinterpret_cast<LPARAM>(&dlg));
    return dlg;
}

}  // namespace test_windows
