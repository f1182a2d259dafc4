// Regional settings and the user's locale's lower case, which a search that ignores case compares by.
#include "win32/locale_win.h"
#include <windows.h>

uint32_t Win32Locale::SystemDefaultLcid() const { return GetSystemDefaultLCID(); }

bool Win32Locale::SetLocaleValue(uint32_t lcid, uint32_t lcType, const Text& value) {
    return SetLocaleInfoW(lcid, lcType, reinterpret_cast<const wchar_t*>(value.c_str())) != 0;
}

void Win32Locale::BroadcastSettingChange() { PostMessageW(HWND_BROADCAST, WM_WININICHANGE, 0, 0); }

Text Win32Locale::LowerCase(std::u16string_view text) const {
    constexpr DWORD kFlags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const auto* src = reinterpret_cast<const wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    if (n == 0) return {};
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, src, n, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) return {};
    Text out(static_cast<std::size_t>(size), u'\0');
    const int got = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, src, n,
                                  reinterpret_cast<wchar_t*>(out.data()), size, nullptr, nullptr, 0);
    out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return out;
}
