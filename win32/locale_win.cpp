// Regional settings and the user's locale's lower case, which a search that ignores case compares by.
#include "win32/locale_win.h"
#include <windows.h>

bool Win32Locale::SetShortDateFormat(const Text& format) {
    const bool set = SetLocaleInfoW(GetSystemDefaultLCID(), LOCALE_SSHORTDATE,
                                    reinterpret_cast<const wchar_t*>(format.c_str()));
    PostMessageW(HWND_BROADCAST, WM_WININICHANGE, 0, 0);
    return set;
}

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
