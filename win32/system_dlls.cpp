#include "win32/system_dlls.h"

namespace win {

namespace {

HMODULE LoadSystemDll(const wchar_t* name) {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Resolves one pointer; false when the DLL is missing or lacks the function.
template <class F>
bool Resolve(HMODULE dll, const char* name, F& function) {
    function = dll ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name))) : nullptr;
    return function != nullptr;
}

}  // namespace

void RestrictDllSearch() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

const WinInetDll& WinInet() {
    static const WinInetDll dll = [] {
        WinInetDll d;
        const HMODULE m = LoadSystemDll(L"wininet.dll");
        d.loaded = Resolve(m, "InternetOpenW", d.InternetOpenW) &
                   Resolve(m, "InternetOpenUrlW", d.InternetOpenUrlW) &
                   Resolve(m, "InternetCrackUrlW", d.InternetCrackUrlW) &
                   Resolve(m, "InternetConnectW", d.InternetConnectW) &
                   Resolve(m, "InternetSetOptionW", d.InternetSetOptionW) &
                   Resolve(m, "InternetQueryDataAvailable", d.InternetQueryDataAvailable) &
                   Resolve(m, "InternetReadFile", d.InternetReadFile) &
                   Resolve(m, "InternetCloseHandle", d.InternetCloseHandle) &
                   Resolve(m, "HttpOpenRequestW", d.HttpOpenRequestW) &
                   Resolve(m, "HttpSendRequestW", d.HttpSendRequestW) &
                   Resolve(m, "HttpQueryInfoW", d.HttpQueryInfoW);
        return d;
    }();
    return dll;
}

const BCryptDll& BCrypt() {
    static const BCryptDll dll = [] {
        BCryptDll d;
        const HMODULE m = LoadSystemDll(L"bcrypt.dll");
        d.loaded = Resolve(m, "BCryptOpenAlgorithmProvider", d.BCryptOpenAlgorithmProvider) &
                   Resolve(m, "BCryptCloseAlgorithmProvider", d.BCryptCloseAlgorithmProvider) &
                   Resolve(m, "BCryptSetProperty", d.BCryptSetProperty) &
                   Resolve(m, "BCryptGenerateSymmetricKey", d.BCryptGenerateSymmetricKey) &
                   Resolve(m, "BCryptDestroyKey", d.BCryptDestroyKey) &
                   Resolve(m, "BCryptEncrypt", d.BCryptEncrypt) &
                   Resolve(m, "BCryptDecrypt", d.BCryptDecrypt) &
                   Resolve(m, "BCryptDeriveKeyPBKDF2", d.BCryptDeriveKeyPBKDF2) &
                   Resolve(m, "BCryptGenRandom", d.BCryptGenRandom);
        return d;
    }();
    return dll;
}

const Crypt32Dll& Crypt32() {
    static const Crypt32Dll dll = [] {
        Crypt32Dll d;
        const HMODULE m = LoadSystemDll(L"crypt32.dll");
        d.loaded = Resolve(m, "CryptProtectData", d.CryptProtectData) &
                   Resolve(m, "CryptUnprotectData", d.CryptUnprotectData);
        return d;
    }();
    return dll;
}

const WtsApi32Dll& WtsApi32() {
    static const WtsApi32Dll dll = [] {
        WtsApi32Dll d;
        const HMODULE m = LoadSystemDll(L"wtsapi32.dll");
        d.loaded = Resolve(m, "WTSRegisterSessionNotification", d.WTSRegisterSessionNotification) &
                   Resolve(m, "WTSUnRegisterSessionNotification", d.WTSUnRegisterSessionNotification);
        return d;
    }();
    return dll;
}

const DwmApiDll& DwmApi() {
    static const DwmApiDll dll = [] {
        DwmApiDll d;
        d.loaded = Resolve(LoadSystemDll(L"dwmapi.dll"), "DwmSetWindowAttribute", d.DwmSetWindowAttribute);
        return d;
    }();
    return dll;
}

const UxThemeDll& UxTheme() {
    static const UxThemeDll dll = [] {
        UxThemeDll d;
        d.loaded = Resolve(LoadSystemDll(L"uxtheme.dll"), "SetWindowTheme", d.SetWindowTheme);
        return d;
    }();
    return dll;
}

}  // namespace win
