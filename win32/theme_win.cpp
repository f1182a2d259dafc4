#include "win32/theme_win.h"

#include "win32/system_dlls.h"

namespace win {

namespace {

// DWMWA_USE_IMMERSIVE_DARK_MODE, documented for Windows 10 20H1 and later; older SDK headers lack it.
constexpr DWORD kDwmDarkMode = 20;

bool HighContrast() {
    HIGHCONTRASTW hc{sizeof hc, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

bool AppsUseDarkMode() {
    DWORD light = 1, size = sizeof light;
    const LSTATUS read =
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                     L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
    return read == ERROR_SUCCESS && light == 0;
}

}  // namespace

bool ColorScheme::Refresh() {
    const bool dark = AppsUseDarkMode() && !HighContrast();
    if (dark && !m_Brush.Valid()) m_Brush.Reset(CreateSolidBrush(kDarkBackground));
    const bool changed = dark != m_Dark;
    m_Dark = dark && m_Brush.Valid();
    return changed;
}

void ColorScheme::ApplyTo(HWND top, std::initializer_list<HWND> controls) const {
    if (const auto& dwm = DwmApi(); dwm.loaded) {
        const BOOL dark = m_Dark;
        dwm.DwmSetWindowAttribute(top, kDwmDarkMode, &dark, sizeof dark);
    }
    if (const auto& ux = UxTheme(); ux.loaded)
        for (HWND control : controls)
            ux.SetWindowTheme(control, m_Dark ? L"DarkMode_Explorer" : nullptr, nullptr);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

HBRUSH ColorScheme::Colors(HDC dc) const {
    if (!m_Dark) return nullptr;
    SetTextColor(dc, kDarkText);
    SetBkColor(dc, kDarkBackground);
    return m_Brush.Get();
}

bool ColorScheme::Erase(HWND hwnd, HDC dc) const {
    if (!m_Dark) return false;
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, m_Brush.Get());
    return true;
}

bool ColorScheme::Answer(HWND hwnd, UINT msg, WPARAM wp, LRESULT& result) const {
    const auto dc = reinterpret_cast<HDC>(wp);
    switch (msg) {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            result = reinterpret_cast<LRESULT>(Colors(dc));
            return result != 0;
        case WM_ERASEBKGND:
            result = 1;
            return Erase(hwnd, dc);
        default:
            return false;
    }
}

ColorScheme& Colors() {
    static ColorScheme scheme = [] {
        ColorScheme s;
        s.Refresh();
        return s;
    }();
    return scheme;
}

bool ColorsMayHaveChanged(WPARAM wp, LPARAM lp) {
    if (wp == SPI_SETHIGHCONTRAST) return true;
    const auto* area = reinterpret_cast<const wchar_t*>(lp);
    return area && lstrcmpiW(area, L"ImmersiveColorSet") == 0;
}

}  // namespace win
