// Owners of every Windows handle kind the adapters use: each is released in the scope that took it, also on
// an early return. Header-only; one template for handles closed by one call, small classes for the rest.
#pragma once
#include <windows.h>

#include <bcrypt.h>
#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>

#include <utility>

#include "win32/system_dlls.h"

namespace win {

// A handle released by one call (CloseHandle, RegCloseKey, DeleteObject, ...). Null, and for HANDLE also
// INVALID_HANDLE_VALUE, mean none.
template <class H, auto Close>
class Scoped {
public:
    explicit Scoped(H h = H{}) : m_H(h) {}
    ~Scoped() { Reset(); }
    Scoped(Scoped&& other) noexcept : m_H(other.Release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    H Get() const { return m_H; }
    bool Valid() const { return Usable(m_H); }
    H Release() { return std::exchange(m_H, H{}); }
    void Reset(H h = H{}) {
        if (Usable(m_H)) Close(m_H);
        m_H = h;
    }
    H* Put() {  // for APIs that return the handle through a pointer
        Reset();
        return &m_H;
    }

private:
    static bool Usable(H h) { return h != H{} && h != reinterpret_cast<H>(INVALID_HANDLE_VALUE); }
    H m_H;
};

using ScopedHandle = Scoped<HANDLE, &CloseHandle>;
using ScopedFind = Scoped<HANDLE, &FindClose>;  // a FindFirstFileExW search
using ScopedKey = Scoped<HKEY, &RegCloseKey>;
inline BOOL CloseInternet(HINTERNET h) { return WinInet().InternetCloseHandle(h); }
using ScopedInternet = Scoped<HINTERNET, &CloseInternet>;
using ScopedIcon = Scoped<HICON, &DestroyIcon>;
using ScopedMenu = Scoped<HMENU, &DestroyMenu>;
using ScopedGlobal = Scoped<HGLOBAL, &GlobalFree>;
using ScopedBstr = Scoped<BSTR, &SysFreeString>;
using ScopedMemoryDc = Scoped<HDC, &DeleteDC>;
using ScopedCoMemory = Scoped<void*, &CoTaskMemFree>;  // what the shell allocates for the caller
using ScopedLocal = Scoped<HLOCAL, &LocalFree>;        // what the system allocates with LocalAlloc for us
template <class T>
using ScopedGdi = Scoped<T, &DeleteObject>;
inline NTSTATUS CloseAlgorithm(BCRYPT_ALG_HANDLE h) { return BCrypt().BCryptCloseAlgorithmProvider(h, 0); }
using ScopedAlgorithm = Scoped<BCRYPT_ALG_HANDLE, &CloseAlgorithm>;
inline NTSTATUS DestroyKey(BCRYPT_KEY_HANDLE h) { return BCrypt().BCryptDestroyKey(h); }
using ScopedCryptKey = Scoped<BCRYPT_KEY_HANDLE, &DestroyKey>;

// Secret bytes the system handed out with LocalAlloc (CryptUnprotectData's plaintext): zeroed before the heap
// gets them back.
class ScopedSecretBlob {
public:
    ScopedSecretBlob() = default;
    ~ScopedSecretBlob() {
        if (!m_Blob.pbData) return;
        SecureZeroMemory(m_Blob.pbData, m_Blob.cbData);
        LocalFree(m_Blob.pbData);
    }
    ScopedSecretBlob(const ScopedSecretBlob&) = delete;
    ScopedSecretBlob& operator=(const ScopedSecretBlob&) = delete;
    DATA_BLOB* Put() { return &m_Blob; }  // for the one call that fills it
    const DATA_BLOB& Get() const { return m_Blob; }

private:
    DATA_BLOB m_Blob{};
};

// A window's device context from GetDC.
class ScopedDc {
public:
    explicit ScopedDc(HWND hwnd) : m_Hwnd(hwnd), m_Dc(GetDC(hwnd)) {}
    ~ScopedDc() {
        if (m_Dc) ReleaseDC(m_Hwnd, m_Dc);
    }
    ScopedDc(const ScopedDc&) = delete;
    ScopedDc& operator=(const ScopedDc&) = delete;
    HDC Get() const { return m_Dc; }

private:
    HWND m_Hwnd;
    HDC m_Dc;
};

// An object selected into a DC, the old one selected back at the end.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_Dc(dc), m_Old(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(m_Dc, m_Old); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_Dc;
    HGDIOBJ m_Old;
};

// A COM interface pointer that holds one reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : m_P(p) {}  // takes over a reference already held
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : m_P(other.m_P) {
        if (m_P) m_P->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) {
        if (other.m_P) other.m_P->AddRef();
        Reset(other.m_P);
        return *this;
    }

    T* Get() const { return m_P; }
    T* operator->() const { return m_P; }
    explicit operator bool() const { return m_P != nullptr; }
    void Reset(T* p = nullptr) {
        if (m_P) m_P->Release();
        m_P = p;
    }
    T** Put() {
        Reset();
        return &m_P;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // This interface of another object; false (and empty) when it has none.
    template <class U>
    bool QueryFrom(U* from) {
        Reset();
        return from && SUCCEEDED(from->QueryInterface(__uuidof(T), PutVoid())) && m_P;
    }

private:
    T* m_P = nullptr;
};

}  // namespace win
