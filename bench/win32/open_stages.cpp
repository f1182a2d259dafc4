// The editor's load path stage by stage, next to a bare EDIT in the same process and run, for
// bench/open_bench.sh. Each stage runs the product's own code on the file given; the box is an EDIT made as
// the editor makes its unwrapped box (its font choice, no length limit), and the baseline a plain EDIT given
// the same text with SetWindowTextW.
//   open_stages.exe <file>
// Prints one line per stage, "stage ms share", the shares of the editor's total, then "bare ms" and the
// ratio.
#include <windows.h>

#include <cstdio>
#include <utility>

#include "app/editor.h"
#include "base/encoding.h"
#include "base/whole_file.h"
#include "protect/secure_document.h"
#include "win32/controls_win.h"
#include "win32/files_win.h"
#include "win32/font_win.h"
#include "win32/win_util.h"

namespace {

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

HWND Edit(HWND parent, HFONT font) {
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                                0, 0, 600, 400, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (font) SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    return edit;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const Text path(reinterpret_cast<const char16_t*>(argv[1]));
    HWND window = CreateWindowExW(0, L"STATIC", L"stages", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HFONT font = CreateEditorFont(win::WindowDpi(window));

    // As the editor opens a plain document: the decode also shows NULs as the symbol and counts the line
    // breaks, in the same pass.
    struct Stage {
        const char* name;
        double ms;
    } stages[4] = {{"read", 0}, {"decode", 0}, {"long-line-check", 0}, {"box", 0}};
    Win32Files files;
    Win32TextBox box;
    box.m_Hwnd = Edit(window, font);
    double t = Now();
    Text text;
    base::TextFormat format;
    {
        Bytes bytes;
        if (!base::ReadWholeBytes(files, path, bytes)) return 1;
        stages[0].ms = Now() - t;
        t = Now();
        format = base::DecodeDocument(bytes, text);
        stages[1].ms = Now() - t;
    }
    t = Now();
    const bool wraps = WrapsQuickly(text);
    stages[2].ms = Now() - t;
    t = Now();
    const bool whole = box.SetText(text);
    stages[3].ms = Now() - t;

    HWND bare = Edit(window, font);
    t = Now();
    SetWindowTextW(bare, reinterpret_cast<const wchar_t*>(text.c_str()));
    const double bareMs = Now() - t;

    double total = 0;
    for (const Stage& s : stages) total += s.ms;
    for (const Stage& s : stages) std::printf("%-16s %9.1f ms %5.1f%%\n", s.name, s.ms, 100 * s.ms / total);
    std::printf("%-16s %9.1f ms  (%s)\n", "editor total", total,
                format.encoding == base::Encoding::Ansi ? "Windows-874" : "a unicode form");
    std::printf("%-16s %9.1f ms  ratio %.2f%s%s\n", "bare EDIT set", bareMs,
                bareMs > 0 ? total / bareMs : 0.0, whole ? "" : "  (the box refused the text)",
                wraps ? "" : "  (a line too long to wrap)");
    std::fflush(stdout);
    DestroyWindow(window);
    return whole ? 0 : 1;
}
