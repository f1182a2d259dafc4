// The colours of the editor's own windows: dark when Windows shows apps dark, light otherwise, and the
// system's whenever High Contrast is on. Documented calls only: the title bar through
// DWMWA_USE_IMMERSIVE_DARK_MODE (Windows 10 20H1 and later; earlier ones refuse it and keep a light one) and
// the controls' scroll bars through the "DarkMode_Explorer" theme. The menu bar stays light.
#pragma once
#include <windows.h>

#include <initializer_list>

#include "win32/scoped.h"

namespace win {

class ColorScheme {
public:
    static constexpr COLORREF kDarkBackground = RGB(32, 32, 32);
    static constexpr COLORREF kDarkText = RGB(230, 230, 230);

    bool Dark() const { return m_Dark; }
    // Reads the apps' mode and High Contrast again; true when the colours changed.
    bool Refresh();
    // The title bar of a top-level window and the scroll bars of its controls, then all of it repainted.
    void ApplyTo(HWND top, std::initializer_list<HWND> controls) const;
    // WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN and WM_CTLCOLORDLG: the brush, with the colours set
    // in dc; null when the system's colours apply.
    HBRUSH Colors(HDC dc) const;
    // WM_ERASEBKGND: true when it painted the window's background.
    bool Erase(HWND hwnd, HDC dc) const;
    // Either message, for a window procedure: true, with its result, when the scheme answered it.
    bool Answer(HWND hwnd, UINT msg, WPARAM wp, LRESULT& result) const;

private:
    bool m_Dark = false;
    ScopedGdi<HBRUSH> m_Brush;
};

// The one scheme of the process, read at its first use; its windows refresh it on a change of the colours.
ColorScheme& Colors();
// A WM_SETTINGCHANGE that may change them: the apps' mode ("ImmersiveColorSet") or High Contrast.
bool ColorsMayHaveChanged(WPARAM wp, LPARAM lp);

}  // namespace win
