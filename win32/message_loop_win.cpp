#include "win32/message_loop_win.h"

namespace {

HWND g_modeless = nullptr;

bool PreTranslate(MSG& msg) {
    return g_modeless && IsWindow(g_modeless) && IsDialogMessageW(g_modeless, &msg);
}

}  // namespace

void DispatchPendingMessages() {
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

void SetModelessWindow(HWND hwnd) { g_modeless = hwnd; }
