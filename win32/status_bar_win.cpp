#include "win32/status_bar_win.h"

#include <commctrl.h>

#include "win32/win_util.h"

void Win32StatusBar::SetParts(const std::vector<double>& rightEdges) {
    std::vector<int> edges;
    edges.reserve(rightEdges.size());
    const int dpi = win::WindowDpi(m_Hwnd);
    for (double edge : rightEdges) edges.push_back(edge < 0 ? -1 : win::TwipsToPixels(edge, dpi));
    SendMessageW(m_Hwnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void Win32StatusBar::SetText(int part, const Text& text) {
    SendMessageW(m_Hwnd, SB_SETTEXTW, static_cast<WPARAM>(part & 0xFF),
                 reinterpret_cast<LPARAM>(win::W(text)));
}

void Win32StatusBar::SetVisible(bool visible) { ShowWindow(m_Hwnd, visible ? SW_SHOW : SW_HIDE); }

bool Win32StatusBar::Visible() const { return (GetWindowLongPtrW(m_Hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// The status window places and sizes itself when told its parent's size changed.
void Win32StatusBar::Fit() { SendMessageW(m_Hwnd, WM_SIZE, 0, 0); }

double Win32StatusBar::Height() const {
    RECT rc;
    if (!GetWindowRect(m_Hwnd, &rc)) return 0;
    return win::PixelsToTwips(rc.bottom - rc.top, win::WindowDpi(m_Hwnd));
}

HWND MakeStatusBar(HWND parent, HINSTANCE instance, UINT id) {
    return CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}
