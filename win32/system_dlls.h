// WinINet, CNG and crypt32 are not KnownDLLs: imported at load time, Windows would look for them in the exe's
// own folder first, where a planted copy (an unpacked zip in Downloads) would run inside the editor. They are
// loaded here, from the system folder only, and called through these typed pointers.
#pragma once
#include <windows.h>

#include <bcrypt.h>
#include <dwmapi.h>
#include <uxtheme.h>
#include <wincrypt.h>
#include <wininet.h>
#include <wtsapi32.h>

namespace win {

// Restricts every later load, also those Windows makes on our behalf, to the system folder; the first call
// of wWinMain.
void RestrictDllSearch();

struct WinInetDll {
    decltype(&::InternetOpenW) InternetOpenW = nullptr;
    decltype(&::InternetOpenUrlW) InternetOpenUrlW = nullptr;
    decltype(&::InternetCrackUrlW) InternetCrackUrlW = nullptr;
    decltype(&::InternetConnectW) InternetConnectW = nullptr;
    decltype(&::InternetSetOptionW) InternetSetOptionW = nullptr;
    decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::HttpOpenRequestW) HttpOpenRequestW = nullptr;
    decltype(&::HttpSendRequestW) HttpSendRequestW = nullptr;
    decltype(&::HttpQueryInfoW) HttpQueryInfoW = nullptr;
    bool loaded = false;  // every function above was found
};
struct BCryptDll {
    decltype(&::BCryptOpenAlgorithmProvider) BCryptOpenAlgorithmProvider = nullptr;
    decltype(&::BCryptCloseAlgorithmProvider) BCryptCloseAlgorithmProvider = nullptr;
    decltype(&::BCryptSetProperty) BCryptSetProperty = nullptr;
    decltype(&::BCryptGenerateSymmetricKey) BCryptGenerateSymmetricKey = nullptr;
    decltype(&::BCryptDestroyKey) BCryptDestroyKey = nullptr;
    decltype(&::BCryptEncrypt) BCryptEncrypt = nullptr;
    decltype(&::BCryptDecrypt) BCryptDecrypt = nullptr;
    decltype(&::BCryptDeriveKeyPBKDF2) BCryptDeriveKeyPBKDF2 = nullptr;
    decltype(&::BCryptGenRandom) BCryptGenRandom = nullptr;
    bool loaded = false;
};
struct Crypt32Dll {
    decltype(&::CryptProtectData) CryptProtectData = nullptr;
    decltype(&::CryptUnprotectData) CryptUnprotectData = nullptr;
    bool loaded = false;
};

struct DwmApiDll {
    decltype(&::DwmSetWindowAttribute) DwmSetWindowAttribute = nullptr;
    bool loaded = false;
};
struct UxThemeDll {
    decltype(&::SetWindowTheme) SetWindowTheme = nullptr;
    bool loaded = false;
};
struct WtsApi32Dll {
    decltype(&::WTSRegisterSessionNotification) WTSRegisterSessionNotification = nullptr;
    decltype(&::WTSUnRegisterSessionNotification) WTSUnRegisterSessionNotification = nullptr;
    bool loaded = false;
};

// Loaded at the first use, once for the process, and never unloaded. A DLL or function that is missing leaves
// loaded false; the adapters then fail as the call would have.
const WinInetDll& WinInet();
const BCryptDll& BCrypt();
const Crypt32Dll& Crypt32();
const WtsApi32Dll& WtsApi32();
const DwmApiDll& DwmApi();
const UxThemeDll& UxTheme();

}  // namespace win
