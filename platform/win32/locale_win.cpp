#include "platform/win32/locale_win.h"

#include <windows.h>

uint32_t Win32Locale::SystemDefaultLcid() const { return GetSystemDefaultLCID(); }

bool Win32Locale::SetLocaleValue(uint32_t lcid, uint32_t lcType, const Text& value) {
    return SetLocaleInfoW(lcid, lcType, reinterpret_cast<const wchar_t*>(value.c_str())) != 0;
}

void Win32Locale::BroadcastSettingChange() { PostMessageW(HWND_BROADCAST, WM_WININICHANGE, 0, 0); }

std::ptrdiff_t Win32Locale::FindIgnoreCase(std::u16string_view text, std::size_t from,
                                           std::u16string_view word) const {
    if (word.empty() || from > text.size() || word.size() > text.size() - from) return -1;
    const auto* src = reinterpret_cast<const wchar_t*>(text.data() + from);
    const int found = FindNLSStringEx(LOCALE_NAME_USER_DEFAULT, FIND_FROMSTART | LINGUISTIC_IGNORECASE, src,
                                      static_cast<int>(text.size() - from),
                                      reinterpret_cast<const wchar_t*>(word.data()),
                                      static_cast<int>(word.size()), nullptr, nullptr, nullptr, 0);
    return found < 0 ? -1 : static_cast<std::ptrdiff_t>(from) + found;
}
