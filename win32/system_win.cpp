#include "win32/system_win.h"
#include <windows.h>

#include "win32/win_util.h"

namespace {

Text ModulePath() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return win::FromW(buf.c_str(), n);
        buf.resize(buf.size() * 2);
    }
}

HWND g_modeless = nullptr;

bool PreTranslate(MSG& msg) {
    return g_modeless && IsWindow(g_modeless) && IsDialogMessageW(g_modeless, &msg);
}

}  // namespace

Text Win32Process::ExeFolder() const {
    const Text path = ModulePath();
    const auto slash = path.rfind(u'\\');
    if (slash == Text::npos) return path;
    // A drive root keeps its backslash, as the platform reports it.
    return slash == 2 && path[1] == u':' ? path.substr(0, 3) : path.substr(0, slash);
}

Text Win32Process::ExeBaseName() const {
    const Text path = ModulePath();
    const Text name = path.substr(path.rfind(u'\\') + 1);
    const auto dot = name.rfind(u'.');
    return dot == Text::npos ? name : name.substr(0, dot);
}

Text Win32Process::CommandLine() const { return ArgumentText(GetCommandLineW()); }

Text ArgumentText(const wchar_t* p) {
    // The program name ends as the C runtime sees it: at its closing quote, or at the first blank.
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return win::FromW(p);
}

Text Win32Process::CurrentDirectory() const {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buf(n, L'\0');
    const DWORD got = GetCurrentDirectoryW(n, buf.data());
    return win::FromW(buf.c_str(), got);
}

Text Win32Process::FullPath(const Text& path) const {
    const std::wstring full = win::FullPathName(win::W(path));
    return full.empty() ? path : win::FromW(full.c_str(), full.size());
}

int64_t Win32Clock::NowLocalSeconds() const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);  // the local wall clock read as if it were UTC: civil seconds
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<int64_t>(u.QuadPart / 10000000ULL) - 11644473600LL;
}

void Win32EventLoop::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32EventLoop::EndProcess() { ExitProcess(0); }

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void SetModelessWindow(void* hwnd) { g_modeless = static_cast<HWND>(hwnd); }
