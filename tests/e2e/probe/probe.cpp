// Reads the state of a running lockleaf.exe exactly, for the end-to-end tests, by window messages.
//   probe caption [class]           caption of the main window (of the class's window)
//   probe text [n]                  text of the n-th EDIT (default: the visible one), UTF-8
//   probe sel [class]               "start length" of the visible EDIT (of the class's window)
//   probe visible                   each top-level window of the process: class, caption, rect in pixels
//   probe rect                      outer rect of the main window: "left top width height" in pixels
//   probe dpi                       pixels per inch of the screen
//   probe windows <caption>         1 when a visible top-level window with that caption exists
//   probe enabled <caption>         1 when that window takes input, 0 when it is disabled
//   probe focus                     class and text of the control with the keyboard focus, and its
//                                   window's caption
//   probe state                     max, min or normal: how the main window is shown
//   probe child <caption> <class>   text of the child controls of that window
//   probe wait <seconds>            waits until the main window exists
//   probe post <caption> <cmd-id>   posts WM_COMMAND with that id to a window
//   probe items <caption> <ctl-id>  items of a combo box in that window, the selected one after "> "
//   probe pick <caption> <ctl-id> <n>
//                                   selects item n of that combo box as a user's choice does
//   probe setchild <caption> <ctl-id> <text>
//                                   sets the text of a control in that window
//   probe settext <text>            sets the text of the visible EDIT (as if pasted)
//   probe setsel <start> <length>   selects in the visible EDIT
//   probe close                     asks the main window to close (WM_CLOSE)
//   probe move <l> <t> <w> <h>      moves the main window, pixels
//   probe show max|min|normal       maximizes, minimizes or restores the main window
//   probe over <ctl-id>             id of the topmost visible child of the main window at the middle of that
//                                   child: its own id when no sibling lies over it
//   probe resources <exe>           its CompanyName, ProductName and ProductVersion, then the size and a hash
//                                   of each image of its first icon
//   probe layout                    each child of the main window: class, id, "left top width height" in its
//                                   client pixels, visible
//   probe charpos <n> [<caption> <ctl-id>]  screen "x y" of character n in the visible EDIT, or in that
//                                   control of that window; "-1 -1" past the end
//   probe lineheight                pixels from the first line of the visible EDIT to the second
//   probe status                    the texts of the main window's status bar, its parts tab-separated;
//                                   "hidden" when it is not shown
//   probe memory                    the main window process's peak working set, KiB
//   probe sessionlock               tells the main window that the session was locked, as Windows does
//   probe dpichange <dpi>           tells the main window it is now on a monitor of that dpi
//   probe colorchange               tells every window that the apps' colours changed, as Windows does
//   probe scan <hex>...             per byte string (hex), its count in the process's readable memory
//   probe run <command line>        starts that command line (the program's path quoted or not) and waits for
//                                   it: exits with its exit code, 126 when it cannot start
//   probe ping <seconds> [class] [every]
//                                   asks the main window (or the class's) every 50 ms (or every that many);
//                                   prints its slowest answer in ms (each answer over 250 ms on stderr); an
//                                   answer that does not come within the ping's time (at least 30 s) ends
//                                   it, failed, its wait the figure. Pinged every few ms, the slowest answer
//                                   is the longest that any one message held the window.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring Wide(const char* s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring w(n ? n - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
    return w;
}

std::wstring Text(HWND h) {
    const LRESULT n = SendMessageW(h, WM_GETTEXTLENGTH, 0, 0);
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    const LRESULT got = SendMessageW(h, WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(w.data()));
    w.resize(static_cast<size_t>(got));
    return w;
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[256];
    const int n = GetClassNameW(h, buf, 256);
    return std::wstring(buf, n);
}

HWND Main() { return FindWindowW(L"LockleafMain", nullptr); }

std::vector<HWND> Edits(HWND main) {
    std::vector<HWND> edits;
    for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == L"Edit") edits.push_back(c);
    return edits;
}

HWND VisibleEdit(HWND main) {
    for (HWND e : Edits(main))
        if (IsWindowVisible(e)) return e;
    return nullptr;
}

struct Found {
    std::wstring caption;
    HWND hwnd = nullptr;
};

BOOL CALLBACK FindVisible(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    if (IsWindowVisible(h) && Text(h) == f->caption) {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ListVisible(HWND h, LPARAM) {
    if (!IsWindowVisible(h)) return TRUE;
    RECT rc;
    GetWindowRect(h, &rc);
    std::printf("%s\t%s\t%ld %ld %ld %ld\n", Utf8(ClassOf(h)).c_str(), Utf8(Text(h)).c_str(), rc.left, rc.top,
                rc.right - rc.left, rc.bottom - rc.top);
    return TRUE;
}

BOOL CALLBACK ListChild(HWND h, LPARAM) {
    RECT rc;
    GetWindowRect(h, &rc);
    std::printf("%s\t%s\t%d\t%d\t%ld %ld\n", Utf8(ClassOf(h)).c_str(), Utf8(Text(h)).c_str(),
                IsWindowVisible(h) ? 1 : 0, IsWindowEnabled(h) ? 1 : 0, rc.right - rc.left,
                rc.bottom - rc.top);
    return TRUE;
}

HWND ByCaption(const char* caption) {
    Found f{Wide(caption)};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

BOOL CALLBACK FirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    *reinterpret_cast<LPCWSTR*>(out) = IS_INTRESOURCE(name) ? name : _wcsdup(name);
    return FALSE;
}

void PrintResources(const std::wstring& file) {
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(file.c_str(), &ignored));
    if (!info.empty() && GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) {
        for (const wchar_t* key : {L"CompanyName", L"ProductName", L"ProductVersion"}) {
            wchar_t* value = nullptr;
            UINT length = 0;
            const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
            VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length);
            std::printf("%s\t", value ? Utf8(value).c_str() : "");
        }
    }
    std::printf("\n");
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    LPCWSTR group = nullptr;
    if (module) EnumResourceNamesW(module, RT_GROUP_ICON, FirstName, reinterpret_cast<LONG_PTR>(&group));
    HRSRC found = group ? FindResourceW(module, group, RT_GROUP_ICON) : nullptr;
    const auto* dir = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    for (int i = 0; dir && i < *reinterpret_cast<const WORD*>(dir + 4); ++i) {
        const WORD id = *reinterpret_cast<const WORD*>(dir + 6 + 14 * i + 12);
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
        const DWORD size = image ? SizeofResource(module, image) : 0;
        const auto* bytes =
            image ? static_cast<const BYTE*>(LockResource(LoadResource(module, image))) : nullptr;
        unsigned hash = 2166136261u;
        for (DWORD b = 0; bytes && b < size; ++b) hash = (hash ^ bytes[b]) * 16777619u;
        std::printf("icon %lu %08x\n", size, hash);
    }
    if (module) FreeLibrary(module);
}

HWND Descendant(HWND parent, int id) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(c) == id) return c;
        if (HWND d = Descendant(c, id)) return d;
    }
    return nullptr;
}

// EM_POSFROMCHAR answers in client coordinates, -1 past the end of the text.
POINT CharPos(HWND edit, int n) {
    const LRESULT r = SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(n), 0);
    if (r == -1) return {-1, -1};
    POINT p{static_cast<short>(LOWORD(r)), static_cast<short>(HIWORD(r))};
    ClientToScreen(edit, &p);
    return p;
}

// Occurrences of each needle in every committed, readable region of process (read from outside, as
// anyone with the right to read it could).
std::vector<size_t> CountInMemory(HANDLE process, const std::vector<std::string>& needles) {
    std::vector<size_t> counts(needles.size(), 0);
    std::vector<char> region;
    MEMORY_BASIC_INFORMATION mbi;
    for (auto* at = static_cast<char*>(nullptr);
         VirtualQueryEx(process, at, &mbi, sizeof mbi) == sizeof mbi;) {
        char* const next = static_cast<char*>(mbi.BaseAddress) + mbi.RegionSize;
        const DWORD unreadable = PAGE_NOACCESS | PAGE_GUARD;
        if (mbi.State == MEM_COMMIT && (mbi.Protect & unreadable) == 0) {
            region.assign(mbi.RegionSize, 0);
            // A region may hold pages that cannot be read: each page then on its own.
            SIZE_T got = 0;
            if (!ReadProcessMemory(process, mbi.BaseAddress, region.data(), region.size(), &got)) {
                for (size_t page = 0; page < region.size(); page += 4096)
                    ReadProcessMemory(process, static_cast<char*>(mbi.BaseAddress) + page,
                                      region.data() + page, std::min<size_t>(4096, region.size() - page),
                                      nullptr);
            }
            for (size_t i = 0; i < needles.size(); ++i) {
                const std::string& n = needles[i];
                for (auto it = std::search(region.begin(), region.end(), n.begin(), n.end());
                     it != region.end(); it = std::search(it + 1, region.end(), n.begin(), n.end()))
                    ++counts[i];
            }
        }
        if (next <= at) break;
        at = next;
    }
    return counts;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

int Fail(const char* what) {
    std::fprintf(stderr, "probe: %s\n", what);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: probe <command> ...");
    const std::string cmd = argv[1];
    if (cmd == "wait") {
        const int tenths = (argc > 2 ? std::atoi(argv[2]) : 20) * 10;
        for (int i = 0; i < tenths; ++i) {
            HWND m = Main();
            if (m && IsWindowVisible(m)) return 0;
            Sleep(100);
        }
        return Fail("no main window");
    }
    if (cmd == "run") {
        // The whole line as one program and its arguments, the way the system starts an uninstall entry's
        // command: taken wide from our own command line, so no code page touches the path.
        int n = 0;
        LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &n);
        if (!args || n < 3) return Fail("run <command line>");
        std::wstring line = args[2];
        LocalFree(args);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            std::fprintf(stderr, "probe: cannot start [%s]: error %lu\n", Utf8(line).c_str(), GetLastError());
            return 126;
        }
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return static_cast<int>(code);
    }
    if (cmd == "resources" && argc > 2) {
        PrintResources(Wide(argv[2]));
        return 0;
    }
    if (cmd == "dpi") {
        HDC dc = GetDC(nullptr);
        std::printf("%d\n", GetDeviceCaps(dc, LOGPIXELSX));
        return 0;
    }
    if (cmd == "windows") {
        if (argc < 3) return Fail("windows <caption>");
        std::printf("%d\n", ByCaption(argv[2]) ? 1 : 0);
        return 0;
    }
    if (cmd == "secret") {
        // The first edit box of a dialog as a bystander meets it: masked or not, how many characters, and
        // what the clipboard holds after the user tried to copy from it.
        if (argc < 3) return Fail("secret <caption>");
        HWND w = ByCaption(argv[2]);
        HWND box = w ? FindWindowExW(w, nullptr, L"Edit", nullptr) : nullptr;
        if (!box) return Fail("no edit box");
        const LONG style = GetWindowLongW(box, GWL_STYLE);
        std::printf("masked=%d bullet=%d length=%d\n", (style & ES_PASSWORD) ? 1 : 0,
                    SendMessageW(box, EM_GETPASSWORDCHAR, 0, 0) != 0 ? 1 : 0,
                    static_cast<int>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0)));
        return 0;
    }
    if (cmd == "clipboard") {
        std::wstring text;
        if (OpenClipboard(nullptr)) {
            if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
                if (const auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
                    text = p;
                    GlobalUnlock(h);
                }
            }
            CloseClipboard();
        }
        std::printf("%s\n", Utf8(text).c_str());
        return 0;
    }
    if (cmd == "enabled") {
        if (argc < 3) return Fail("enabled <caption>");
        HWND w = ByCaption(argv[2]);
        if (!w) return Fail("no such window");
        std::printf("%d\n", IsWindowEnabled(w) ? 1 : 0);
        return 0;
    }
    if (cmd == "visible") {
        EnumWindows(ListVisible, 0);
        return 0;
    }
    if (cmd == "child") {
        if (argc < 3) return Fail("child <caption>");
        HWND w = ByCaption(argv[2]);
        if (!w) return Fail("no such window");
        EnumChildWindows(w, ListChild, 0);
        return 0;
    }
    if (cmd == "post") {
        if (argc < 4) return Fail("post <caption> <id>");
        HWND w = std::string(argv[2]) == "main" ? Main() : ByCaption(argv[2]);
        if (!w) return Fail("no such window");
        PostMessageW(w, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        return 0;
    }
    if (cmd == "sessionlock") {
        // What Windows tells a window registered for session notifications when the user locks the session.
        HWND w = Main();
        if (!w) return Fail("no main window");
        PostMessageW(w, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1);
        return 0;
    }
    if (cmd == "dpichange" && argc > 2) {
        // What Windows tells a per-monitor aware window moved to a monitor of another scale; without the
        // suggested rectangle, which cannot cross processes.
        HWND w = Main();
        if (!w) return Fail("no main window");
        const int dpi = std::atoi(argv[2]);
        SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
        return 0;
    }
    if (cmd == "colorchange") {
        // What Windows tells every top-level window when the user switches between light and dark.
        DWORD_PTR result = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                            reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 5000, &result);
        return 0;
    }
    if (cmd == "junk") {
        // What any program of the user may post to the editor's windows: private and registered message
        // numbers with assorted parameters, to the main window, to the message-only window of its network
        // completions, and as a broadcast. Prints how many were posted.
        HWND w = Main(), jobs = FindWindowExW(HWND_MESSAGE, nullptr, L"LockleafJobs", nullptr);
        if (!w || !jobs) return Fail("no main window or no jobs window");
        std::vector<UINT> numbers;
        for (UINT base : {UINT{WM_APP}, UINT{WM_USER}})
            for (UINT m = base; m <= base + 16; ++m) numbers.push_back(m);
        for (const wchar_t* name : {L"TaskbarCreated", L"LockleafJobDone", L"junk message"})
            numbers.push_back(RegisterWindowMessageW(name));
        const LPARAM params[] = {0, 1, -1, 0x41414141, static_cast<LPARAM>(0x7FFF0000), 0x10};
        int posted = 0;
        for (HWND to : {w, jobs})
            for (UINT m : numbers)
                for (LPARAM p : params)
                    posted += PostMessageW(to, m, static_cast<WPARAM>(p) ^ 0x5A5A, p) ? 1 : 0;
        posted += PostMessageW(HWND_BROADCAST, WM_APP + 1, 0, 0x41414141) ? 1 : 0;
        posted += PostMessageW(jobs, WM_CLOSE, 0, 0) ? 1 : 0;
        std::printf("%d\n", posted);
        return 0;
    }
    if (cmd == "items" || cmd == "pick" || cmd == "setchild") {
        if (argc < 4 || (cmd != "items" && argc < 5)) return Fail("items|pick|setchild <caption> <id> ...");
        HWND w = ByCaption(argv[2]);
        const int id = std::atoi(argv[3]);
        HWND c = w ? GetDlgItem(w, id) : nullptr;
        if (!c) return Fail("no such control");
        if (cmd == "setchild") {
            const std::wstring t = Wide(argv[4]);
            SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
        } else if (cmd == "pick") {
            SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(argv[4])), 0);
            // A choice from the list ends with both notifications; dialogs differ in which they act on.
            for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
                SendMessageW(w, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(c));
        } else {
            const LRESULT n = SendMessageW(c, CB_GETCOUNT, 0, 0), sel = SendMessageW(c, CB_GETCURSEL, 0, 0);
            for (LRESULT i = 0; i < n; ++i) {
                std::wstring item(static_cast<size_t>(SendMessageW(c, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
                item.resize(static_cast<size_t>(
                    SendMessageW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
                std::printf("%s%s\n", i == sel ? "> " : "", Utf8(item).c_str());
            }
        }
        return 0;
    }
    if (cmd == "charpos" && argc > 4) {
        HWND w = ByCaption(argv[3]);
        HWND c = w ? Descendant(w, std::atoi(argv[4])) : nullptr;
        if (!c) return Fail("no such control");
        const POINT p = CharPos(c, std::atoi(argv[2]));
        std::printf("%ld %ld\n", p.x, p.y);
        return 0;
    }
    // ping, sel and caption may ask another program's window, named by its class (the bare window of the
    // benchmarks).
    const std::string otherClass = cmd == "ping" && argc > 3                        ? argv[3]
                                   : (cmd == "sel" || cmd == "caption") && argc > 2 ? argv[2]
                                                                                    : "";
    HWND main = otherClass.empty()
                    ? Main()
                    : FindWindowW(std::wstring(otherClass.begin(), otherClass.end()).c_str(), nullptr);
    if (!main) return Fail("no main window");
    if (cmd == "ping") {
        const DWORD seconds = static_cast<DWORD>(argc > 2 ? std::atoi(argv[2]) : 10);
        const DWORD every = static_cast<DWORD>(argc > 4 ? std::max(1, std::atoi(argv[4])) : 50);
        const DWORD begin = GetTickCount();
        DWORD slowest = 0;
        while (GetTickCount() - begin < seconds * 1000) {
            const DWORD t0 = GetTickCount();
            DWORD_PTR r = 0;
            // A window busy longer than the whole ping still gets its figure: the time it has not answered.
            const bool answered = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL,
                                                      std::max<DWORD>(seconds * 1000, 30000), &r);
            const DWORD took = GetTickCount() - t0;
            if (!answered) {
                std::fprintf(stderr, "probe: no answer within %lu ms\n", took);
                std::printf("%lu\n", std::max(slowest, took));
                return 1;
            }
            if (took >= 250) std::fprintf(stderr, "probe: %lu ms to answer at %lu ms\n", took, t0 - begin);
            slowest = std::max(slowest, took);
            Sleep(every);
        }
        std::printf("%lu\n", slowest);
        return 0;
    }
    if (cmd == "caption") {
        std::printf("%s\n", Utf8(Text(main)).c_str());
    } else if (cmd == "focus") {
        GUITHREADINFO gti{sizeof gti};
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gti) || !gti.hwndFocus)
            return Fail("no focus");
        std::printf("%s\t%s\t%s\n", Utf8(ClassOf(gti.hwndFocus)).c_str(), Utf8(Text(gti.hwndFocus)).c_str(),
                    Utf8(Text(GetAncestor(gti.hwndFocus, GA_ROOT))).c_str());
    } else if (cmd == "state") {
        std::printf("%s\n", IsZoomed(main) ? "max" : IsIconic(main) ? "min" : "normal");
    } else if (cmd == "rect") {
        RECT rc;
        GetWindowRect(main, &rc);
        std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    } else if (cmd == "text") {
        const auto edits = Edits(main);
        HWND e = argc > 2
                     ? (static_cast<size_t>(std::atoi(argv[2])) < edits.size() ? edits[std::atoi(argv[2])]
                                                                               : nullptr)
                     : VisibleEdit(main);
        if (!e) return Fail("no such edit");
        std::fwrite(Utf8(Text(e)).data(), 1, Utf8(Text(e)).size(), stdout);
    } else if (cmd == "layout") {
        for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT rc;
            GetWindowRect(c, &rc);
            MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&rc), 2);
            std::printf("%s\t%d\t%ld %ld %ld %ld\t%d\n", Utf8(ClassOf(c)).c_str(), GetDlgCtrlID(c), rc.left,
                        rc.top, rc.right - rc.left, rc.bottom - rc.top, IsWindowVisible(c) ? 1 : 0);
        }
    } else if (cmd == "charpos" && argc > 2) {
        const POINT p = CharPos(VisibleEdit(main), std::atoi(argv[2]));
        std::printf("%ld %ld\n", p.x, p.y);
    } else if (cmd == "lineheight") {
        HWND e = VisibleEdit(main);
        const LRESULT second = SendMessageW(e, EM_LINEINDEX, 1, 0);
        if (second < 0) return Fail("fewer than two lines");
        std::printf("%ld\n", CharPos(e, static_cast<int>(second)).y - CharPos(e, 0).y);
    } else if (cmd == "status") {
        HWND bar = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
        if (!bar) return Fail("no status bar");
        if (!IsWindowVisible(bar)) {
            std::printf("hidden\n");
            return 0;
        }
        // The bar answers into memory of its own process: a buffer is made there and read back.
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        HANDLE process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, pid);
        constexpr size_t kUnits = 1024;
        void* remote = process ? VirtualAllocEx(process, nullptr, kUnits * sizeof(wchar_t),
                                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                               : nullptr;
        if (!remote) return Fail("cannot read the status bar's process");
        const auto parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
        for (int i = 0; i < parts; ++i) {
            const size_t length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, i, 0));
            std::wstring text(std::min(length, kUnits - 1) + 1, L'\0');
            if (length < kUnits) {
                SendMessageW(bar, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(remote));
                ReadProcessMemory(process, remote, text.data(), text.size() * sizeof(wchar_t), nullptr);
            }
            text.resize(wcsnlen(text.c_str(), text.size()));
            std::printf("%s%s", i ? "\t" : "", Utf8(text).c_str());
        }
        std::printf("\n");
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        CloseHandle(process);
    } else if (cmd == "memory") {
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        PROCESS_MEMORY_COUNTERS pmc{sizeof pmc};
        if (!process || !GetProcessMemoryInfo(process, &pmc, sizeof pmc)) return Fail("no memory counters");
        CloseHandle(process);
        std::printf("%lu\n", static_cast<unsigned long>(pmc.PeakWorkingSetSize / 1024));
    } else if (cmd == "scan" && argc > 2) {
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
        if (!process) return Fail("cannot read the process");
        std::vector<std::string> needles;
        for (int i = 2; i < argc; ++i) needles.push_back(FromHex(argv[i]));
        for (const size_t n : CountInMemory(process, needles)) std::printf("%zu\n", n);
        CloseHandle(process);
    } else if (cmd == "active") {
        const auto edits = Edits(main);
        for (size_t i = 0; i < edits.size(); ++i)
            if (IsWindowVisible(edits[i])) std::printf("%zu\n", i);
    } else if (cmd == "sel") {
        DWORD s = 0, e = 0;
        SendMessageW(VisibleEdit(main), EM_GETSEL, reinterpret_cast<WPARAM>(&s),
                     reinterpret_cast<LPARAM>(&e));
        std::printf("%lu %lu\n", s, e - s);
    } else if (cmd == "settext") {
        if (argc < 3) return Fail("settext <text>");
        const std::wstring w = Wide(argv[2]);
        HWND e = VisibleEdit(main);
        SendMessageW(e, EM_SETSEL, 0, -1);
        SendMessageW(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(w.c_str()));
    } else if (cmd == "setsel") {
        if (argc < 4) return Fail("setsel <start> <length>");
        const int s = std::atoi(argv[2]);
        SendMessageW(VisibleEdit(main), EM_SETSEL, s, s + std::atoi(argv[3]));
    } else if (cmd == "over" && argc > 2) {
        HWND child = GetDlgItem(main, std::atoi(argv[2]));
        if (!child) return Fail("no such child");
        RECT rc;
        GetWindowRect(child, &rc);
        POINT mid{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ScreenToClient(main, &mid);
        std::printf("%d\n", GetDlgCtrlID(ChildWindowFromPointEx(main, mid, CWP_SKIPINVISIBLE)));
    } else if (cmd == "close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
    } else if (cmd == "move" && argc > 5) {
        MoveWindow(main, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                   TRUE);
    } else if (cmd == "show" && argc > 2) {
        const std::string how = argv[2];
        ShowWindow(main, how == "max" ? SW_MAXIMIZE : how == "min" ? SW_MINIMIZE : SW_RESTORE);
    } else {
        return Fail("unknown command");
    }
    return 0;
}
