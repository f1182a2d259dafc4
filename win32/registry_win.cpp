#include "win32/registry_win.h"
#include <windows.h>

#include "win32/win_util.h"

namespace {

HKEY RootKey(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        default:
            return HKEY_LOCAL_MACHINE;
    }
}

HKEY H(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

long Win32Registry::CreateKey(RegRoot root, const Text& path, RegKey& key) {
    HKEY h = nullptr;
    const LONG r = RegCreateKeyExW(RootKey(root), win::W(path), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                   &h, nullptr);
    key = r == ERROR_SUCCESS ? reinterpret_cast<RegKey>(h) : 0;
    return r;
}

long Win32Registry::OpenKey(RegRoot root, const Text& path, RegKey& key) {
    HKEY h = nullptr;
    const LONG r = RegOpenKeyExW(RootKey(root), win::W(path), 0, KEY_READ, &h);
    key = r == ERROR_SUCCESS ? reinterpret_cast<RegKey>(h) : 0;
    return r;
}

long Win32Registry::SetString(RegKey key, const Text& name, const Text& value) {
    return RegSetValueExW(H(key), name.empty() ? nullptr : win::W(name), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

long Win32Registry::QueryValue(RegKey key, const Text& name, void* buffer, uint32_t& size) {
    DWORD type = 0, n = size;
    const LONG r = RegQueryValueExW(H(key), name.empty() ? nullptr : win::W(name), nullptr, &type,
                                    static_cast<BYTE*>(buffer), &n);
    size = n;
    return r;
}

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(H(key)); }
