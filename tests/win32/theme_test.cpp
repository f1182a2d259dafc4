// The colour scheme against the real (Wine) registry, system parameters and device contexts: dark exactly
// when the apps' mode is, light again when it is not, and never dark under High Contrast.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/theme_win.h"

namespace {

constexpr wchar_t kPersonalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

void SetAppsLight(DWORD light) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme", REG_DWORD, &light,
                              sizeof light),
              ERROR_SUCCESS);
}

bool SetHighContrast(bool on) {
    HIGHCONTRASTW hc{sizeof hc, on ? DWORD{HCF_HIGHCONTRASTON} : 0u, nullptr};
    return SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof hc, &hc, 0);
}

}  // namespace

TEST(ColorScheme, FollowsTheAppsModeIntoTheColoursOfARealEdit) {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"text", WS_CHILD | ES_MULTILINE | WS_VSCROLL, 0, 0, 200, 100,
                                parent, nullptr, nullptr, nullptr);
    HDC dc = GetDC(edit);
    win::ColorScheme scheme;

    SetAppsLight(0);
    EXPECT_TRUE(scheme.Refresh());
    EXPECT_TRUE(scheme.Dark());
    EXPECT_FALSE(scheme.Refresh());  // nothing changed since
    const HBRUSH brush = scheme.Colors(dc);
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(GetTextColor(dc), win::ColorScheme::kDarkText);
    EXPECT_EQ(GetBkColor(dc), win::ColorScheme::kDarkBackground);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, win::ColorScheme::kDarkBackground);
    scheme.ApplyTo(parent,
                   {edit});  // the title bar and scroll bars: refused calls leave the window as it was
    EXPECT_TRUE(IsWindow(edit));

    // High Contrast wins over the apps' mode, where the system lets a program turn it on.
    if (SetHighContrast(true)) {
        EXPECT_TRUE(scheme.Refresh());
        EXPECT_FALSE(scheme.Dark());
        EXPECT_EQ(scheme.Colors(dc), nullptr);
        SetHighContrast(false);
        EXPECT_TRUE(scheme.Refresh());
        EXPECT_TRUE(scheme.Dark());
    }

    SetAppsLight(1);
    EXPECT_TRUE(scheme.Refresh());
    EXPECT_FALSE(scheme.Dark());
    EXPECT_EQ(scheme.Colors(dc), nullptr);  // the system's colours
    EXPECT_FALSE(scheme.Erase(edit, dc));

    RegDeleteKeyValueW(HKEY_CURRENT_USER, kPersonalize, L"AppsUseLightTheme");
    scheme.Refresh();
    EXPECT_FALSE(scheme.Dark());  // no value: light, as Windows reads it

    ReleaseDC(edit, dc);
    DestroyWindow(parent);
}

TEST(ColorScheme, OnlyAChangeOfTheColoursIsTakenForOne) {
    EXPECT_TRUE(win::ColorsMayHaveChanged(0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet")));
    EXPECT_TRUE(win::ColorsMayHaveChanged(0, reinterpret_cast<LPARAM>(L"immersivecolorset")));
    EXPECT_TRUE(win::ColorsMayHaveChanged(SPI_SETHIGHCONTRAST, 0));
    EXPECT_FALSE(win::ColorsMayHaveChanged(0, reinterpret_cast<LPARAM>(L"Environment")));
    EXPECT_FALSE(win::ColorsMayHaveChanged(SPI_SETDESKWALLPAPER, 0));
}
