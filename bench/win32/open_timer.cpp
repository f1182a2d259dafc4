// Times how long a program takes to show a document, for bench/open_bench.sh.
//   open_timer.exe <seconds> <caption-part> [--visible] [--keep] [--prompt <caption>] <program>
//   [arguments...]
// Starts the program and waits until one of its windows has a caption containing <caption-part>. Prints
// "caption_ms peak_working_set_kb peak_private_kb" and, with --prompt, the times the window with exactly
// that caption (a password prompt answered by the script) appeared and went away. With --visible the caption
// is read without asking the window (InternalGetWindowText): the time it is on screen, busy or not. Then the
// program is closed (WM_CLOSE to its windows, ended after 60 s), unless --keep. Exit code 1 when the caption
// did not come in time.
#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

bool g_visibleOnly = false;

struct Search {
    DWORD pid;
    std::wstring part;
    bool exact;
    bool found = false;
};

BOOL CALLBACK Match(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid || !IsWindowVisible(h)) return TRUE;
    wchar_t caption[512];
    DWORD_PTR n = 0;
    if (g_visibleOnly) {
        const int got = InternalGetWindowText(h, caption, 512);
        s->found =
            got > 0 && std::wstring(caption, static_cast<size_t>(got)).find(s->part) != std::wstring::npos;
        return !s->found;
    }
    // A window busy loading does not answer WM_GETTEXT; that is the time being measured, so wait for it.
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(caption), SMTO_NORMAL, 600000, &n))
        return TRUE;
    const std::wstring text(caption, n);
    s->found = s->exact ? text == s->part : text.find(s->part) != std::wstring::npos;
    return !s->found;
}

bool Shown(DWORD pid, const std::wstring& caption, bool exact) {
    Search s{pid, caption, exact};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

BOOL CALLBACK Close(HWND h, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == static_cast<DWORD>(pid) && IsWindowVisible(h)) PostMessageW(h, WM_CLOSE, 0, 0);
    return TRUE;
}

std::wstring Quoted(const wchar_t* arg) { return std::wstring(L"\"") + arg + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const DWORD seconds = static_cast<DWORD>(_wtoi(argv[1]));
    const std::wstring part = argv[2];
    int next = 3;
    std::wstring prompt;
    bool keep = false;
    if (std::wstring(argv[next]) == L"--visible") {
        g_visibleOnly = true;
        ++next;
    }
    if (std::wstring(argv[next]) == L"--keep") {
        keep = true;
        ++next;
    }
    if (std::wstring(argv[next]) == L"--prompt" && argc > next + 2) {
        prompt = argv[next + 1];
        next += 2;
    }
    std::wstring commandLine = Quoted(argv[next]);
    for (int i = next + 1; i < argc; ++i) commandLine += L" " + Quoted(argv[i]);

    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    const DWORD begin = GetTickCount();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 2;
    DWORD promptShown = 0, promptGone = 0, done = 0;
    while (GetTickCount() - begin < seconds * 1000) {
        if (!prompt.empty() && !promptGone) {
            const bool shown = Shown(pi.dwProcessId, prompt, true);
            if (shown && !promptShown) promptShown = GetTickCount() - begin;
            if (!shown && promptShown) promptGone = GetTickCount() - begin;
        }
        if (Shown(pi.dwProcessId, part, false)) {
            done = GetTickCount() - begin;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 5) == WAIT_OBJECT_0) break;
    }
    PROCESS_MEMORY_COUNTERS pmc{sizeof pmc};
    GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc);
    std::printf("%lu %lu %lu", done, static_cast<unsigned long>(pmc.PeakWorkingSetSize / 1024),
                static_cast<unsigned long>(pmc.PeakPagefileUsage / 1024));
    if (!prompt.empty()) std::printf(" %lu %lu", promptShown, promptGone);
    std::printf("\n");
    std::fflush(stdout);
    if (!keep) {
        EnumWindows(Close, static_cast<LPARAM>(pi.dwProcessId));
        if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done ? 0 : 1;
}
