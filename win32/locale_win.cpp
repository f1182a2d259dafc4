// Regional settings and the locale-aware case-insensitive search of the user's locale.
#include "win32/locale_win.h"
#include <windows.h>

#include "find/search.h"

uint32_t Win32Locale::SystemDefaultLcid() const { return GetSystemDefaultLCID(); }

bool Win32Locale::SetLocaleValue(uint32_t lcid, uint32_t lcType, const Text& value) {
    return SetLocaleInfoW(lcid, lcType, reinterpret_cast<const wchar_t*>(value.c_str())) != 0;
}

void Win32Locale::BroadcastSettingChange() { PostMessageW(HWND_BROADCAST, WM_WININICHANGE, 0, 0); }

// Both sides in the user's locale's lower case, then an exact search: linear in the text. (Wine's
// FindNLSStringEx takes about a minute for a 70,000-character text, which rules it out for a whole document.)
std::ptrdiff_t Win32Locale::FindIgnoreCase(std::u16string_view text, std::size_t from,
                                           std::u16string_view word) const {
    if (word.empty() || from > text.size() || word.size() > text.size() - from) return -1;
    const std::u16string_view rest = text.substr(from);
    Text lowRest = Lower(rest);
    const Text lowWord = Lower(word);
    // The copy may be a protected document's text: it is not given back as it is.
    struct Wiped {
        Text& t;
        ~Wiped() { SecureZeroMemory(t.data(), t.size() * sizeof(char16_t)); }
    } wiped{lowRest};
    if (lowRest.size() != rest.size() || lowWord.size() != word.size()) {
        // Case mapping that changes lengths would shift the offsets; the platform's search copes with it.
        const int found =
            FindNLSStringEx(LOCALE_NAME_USER_DEFAULT, FIND_FROMSTART | NORM_IGNORECASE,
                            reinterpret_cast<const wchar_t*>(rest.data()), static_cast<int>(rest.size()),
                            reinterpret_cast<const wchar_t*>(word.data()), static_cast<int>(word.size()),
                            nullptr, nullptr, nullptr, 0);
        return found < 0 ? -1 : static_cast<std::ptrdiff_t>(from) + found;
    }
    const std::ptrdiff_t hit = find::FindExact(lowRest, 0, lowWord);
    return hit < 0 ? -1 : static_cast<std::ptrdiff_t>(from) + hit;
}

Text Win32Locale::Lower(std::u16string_view s) {
    constexpr DWORD kFlags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const auto* src = reinterpret_cast<const wchar_t*>(s.data());
    const int n = static_cast<int>(s.size());
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, src, n, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) return {};
    Text out(static_cast<std::size_t>(size), u'\0');
    const int got = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, src, n,
                                  reinterpret_cast<wchar_t*>(out.data()), size, nullptr, nullptr, 0);
    out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return out;
}
