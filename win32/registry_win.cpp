#include "win32/registry_win.h"
#include <windows.h>

#include <vector>

#include "win32/scoped.h"
#include "win32/win_util.h"

namespace {

HKEY RootKey(SettingsRoot root) {
    switch (root) {
        case SettingsRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case SettingsRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        default:
            return HKEY_LOCAL_MACHINE;
    }
}

const wchar_t* ValueName(const Text& name) { return name.empty() ? nullptr : win::W(name); }

}  // namespace

std::optional<Text> Win32Settings::Read(SettingsRoot root, const Text& key, const Text& name,
                                        size_t maxChars) const {
    win::ScopedKey opened;
    if (RegOpenKeyExW(RootKey(root), win::W(key), 0, KEY_READ, opened.Put()) != ERROR_SUCCESS) return {};
    // Room for the longest value and its NUL: anything longer is answered "more data" and not read.
    std::vector<wchar_t> buffer(maxChars + 1, L'\0');
    DWORD type = 0, size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(opened.Get(), ValueName(name), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    // Another program may have stored it without its NUL, or with one inside.
    Text value(reinterpret_cast<const char16_t*>(buffer.data()), size / sizeof(wchar_t));
    const auto nul = value.find(u'\0');
    if (nul != Text::npos) value.resize(nul);
    if (value.size() > maxChars) return {};
    return value;
}

bool Win32Settings::Write(SettingsRoot root, const Text& key, const Text& name, const Text& value) {
    win::ScopedKey opened;
    if (RegCreateKeyExW(RootKey(root), win::W(key), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        opened.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(opened.Get(), ValueName(name), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}
