// The baseline for bench/open_bench.sh and bench/find_keys.sh: a bare window with one EDIT that shows a file,
// as plainly as Win32 allows. Reads the file, converts it from Windows-874, sets it as the EDIT's text, then
// names the file in the caption (what the benchmark waits for).
//   bare_edit.exe [--product-font] [--utf8] [--find] <file>
// Without --product-font the EDIT keeps its default font; with it, the editor's font is chosen the same way.
// With --utf8 the file is read as UTF-8 instead of Windows-874. With --find, F3 and Ctrl+F3 find as plainly
// as Win32 allows (see FindNext), F4 replaces the selection, F7 replaces every match of the word (see
// ReplaceAll), F2 writes the file's bytes as read to
// <file>.bare (WriteFile, FlushFileBuffers), and F6 moves the text into a wrapping EDIT, or back.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "win32/font_win.h"
#include "win32/win_util.h"

namespace {

// The file as read, and where F2 writes it.
std::string g_bytes;
std::wstring g_savePath;

std::wstring ReadAsText(const wchar_t* path, UINT codePage) {
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(f, &size);
    std::string& bytes = g_bytes;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(got), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(got), text.data(), n);
    return text;
}

// The word F3 looks for.
std::wstring g_word;

// The EDIT's own buffer searched with wcsstr (case matched) from the selection's end: the match selected, or
// the caret to the top when there is none.
void FindNext(HWND edit) {
    if (g_word.empty()) return;
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto buffer = reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
    const auto* text = static_cast<const wchar_t*>(LocalLock(buffer));
    const wchar_t* hit = text ? wcsstr(text + end, g_word.c_str()) : nullptr;
    const auto at = static_cast<DWORD>(hit ? hit - text : 0);
    LocalUnlock(buffer);
    SendMessageW(edit, EM_SETSEL, at, hit ? at + g_word.size() : at);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

// Ctrl+F3's word: the selection, or the letters and digits around the caret.
void TakeWord(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto buffer = reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
    const auto* text = static_cast<const wchar_t*>(LocalLock(buffer));
    if (!text) return;
    if (end == start) {
        while (start > 0 && iswalnum(text[start - 1])) --start;
        while (text[end] && iswalnum(text[end])) ++end;
    }
    g_word.assign(text + start, text + end);
    LocalUnlock(buffer);
}

// F4: the selection replaced by "LOREM", as the EDIT replaces a selection.
void ReplaceSelection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end > start) SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"LOREM"));
}

// F7: every match of the word replaced by "LOREM" in a new text built from the EDIT's buffer, which the EDIT
// then takes whole (WM_SETTEXT): the part of a Replace All that only the box can do, and the plainest rest.
void ReplaceAll(HWND edit) {
    if (g_word.empty()) return;
    const auto buffer = reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
    const auto* text = static_cast<const wchar_t*>(LocalLock(buffer));
    if (!text) return;
    std::wstring result;
    result.reserve(wcslen(text));
    const wchar_t* from = text;
    for (const wchar_t* hit; (hit = wcsstr(from, g_word.c_str())) != nullptr; from = hit + g_word.size()) {
        result.append(from, hit);
        result += L"LOREM";
    }
    result += from;
    LocalUnlock(buffer);
    SetWindowTextW(edit, result.c_str());
}

// F2: the bytes written and flushed, as plainly as a save can be.
void WriteBytes() {
    HANDLE f = CreateFileW(g_savePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD wrote = 0;
    WriteFile(f, g_bytes.data(), static_cast<DWORD>(g_bytes.size()), &wrote, nullptr);
    FlushFileBuffers(f);
    CloseHandle(f);
}

// F6: the other EDIT (one wraps, one does not) takes the text from this one's buffer and is shown instead.
void SwitchWrap(HWND edit) {
    HWND other = GetWindow(GetParent(edit), GW_CHILD);
    while (other == edit) other = GetWindow(other, GW_HWNDNEXT);
    const auto buffer = reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
    const auto* text = static_cast<const wchar_t*>(LocalLock(buffer));
    SetWindowTextW(other, text ? text : L"");
    LocalUnlock(buffer);
    ShowWindow(other, SW_SHOW);
    ShowWindow(edit, SW_HIDE);
    SetWindowTextW(edit, L"");
    SetFocus(other);
}

LRESULT CALLBACK FindKeys(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg != WM_KEYDOWN || (wp != VK_F2 && wp != VK_F3 && wp != VK_F4 && wp != VK_F6 && wp != VK_F7))
        return DefSubclassProc(edit, msg, wp, lp);
    if (wp == VK_F7) {
        ReplaceAll(edit);
        return 0;
    }
    if (wp == VK_F4) {
        ReplaceSelection(edit);
        return 0;
    }
    if (wp == VK_F2) {
        WriteBytes();
        return 0;
    }
    if (wp == VK_F6) {
        SwitchWrap(edit);
        return 0;
    }
    if (GetKeyState(VK_CONTROL) < 0) TakeWord(edit);
    FindNext(edit);
    return 0;
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE)
        for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            MoveWindow(c, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
    if (msg == WM_SETFOCUS) {  // keys go to the text shown, as in the editor
        for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (IsWindowVisible(c)) SetFocus(c);
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool productFont = false, utf8 = false, find = false;
    for (int i = 1; i + 1 < argc; ++i) {
        productFont = productFont || std::wstring(argv[i]) == L"--product-font";
        utf8 = utf8 || std::wstring(argv[i]) == L"--utf8";
        find = find || std::wstring(argv[i]) == L"--find";
    }
    const wchar_t* path = argc > 1 ? argv[argc - 1] : L"";

    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BareEdit";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"BareEdit", L"bare EDIT", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 600, 400, nullptr, nullptr, instance, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                                0, 0, 600, 400, hwnd, nullptr, instance, nullptr);
    const HFONT font = productFont ? CreateEditorFont(win::WindowDpi(hwnd)) : nullptr;
    if (font) SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    if (find) {
        SetWindowSubclass(edit, FindKeys, 1, 0);
        HWND wrapping = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"",
            WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN, 0, 0, 600,
            400, hwnd, nullptr, instance, nullptr);
        SendMessageW(wrapping, EM_SETLIMITTEXT, 0, 0);
        if (font) SendMessageW(wrapping, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowSubclass(wrapping, FindKeys, 1, 0);
        g_savePath = std::wstring(path) + L".bare";
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);

    const std::wstring text = ReadAsText(path, utf8 ? CP_UTF8 : 874);
    SetWindowTextW(edit, text.c_str());
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    SetWindowTextW(hwnd, (name + L" - bare EDIT").c_str());

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}
