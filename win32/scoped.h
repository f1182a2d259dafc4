// Owners of every Windows handle kind the adapters use: each is released in the scope that took it, also on
// an early return. Header-only; one template for handles closed by one call, small classes for the rest.
#pragma once
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wininet.h>

#include <utility>

namespace win {

// A handle released by one call (CloseHandle, RegCloseKey, DeleteObject, ...). Null, and for HANDLE also
// INVALID_HANDLE_VALUE, mean none.
template <class H, auto Close>
class Scoped {
public:
    explicit Scoped(H h = H{}) : h_(h) {}
    ~Scoped() { Reset(); }
    Scoped(Scoped&& other) noexcept : h_(other.Release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

    H Get() const { return h_; }
    bool Valid() const { return Usable(h_); }
    H Release() { return std::exchange(h_, H{}); }
    void Reset(H h = H{}) {
        if (Usable(h_)) Close(h_);
        h_ = h;
    }
    H* Put() {  // for APIs that return the handle through a pointer
        Reset();
        return &h_;
    }

private:
    static bool Usable(H h) { return h != H{} && h != reinterpret_cast<H>(INVALID_HANDLE_VALUE); }
    H h_;
};

using ScopedHandle = Scoped<HANDLE, &CloseHandle>;
using ScopedKey = Scoped<HKEY, &RegCloseKey>;
using ScopedInternet = Scoped<HINTERNET, &InternetCloseHandle>;
using ScopedIcon = Scoped<HICON, &DestroyIcon>;
using ScopedMenu = Scoped<HMENU, &DestroyMenu>;
using ScopedGlobal = Scoped<HGLOBAL, &GlobalFree>;
using ScopedBstr = Scoped<BSTR, &SysFreeString>;
using ScopedMemoryDc = Scoped<HDC, &DeleteDC>;
using ScopedCoMemory = Scoped<void*, &CoTaskMemFree>;  // what the shell allocates for the caller
template <class T>
using ScopedGdi = Scoped<T, &DeleteObject>;

// A window's device context from GetDC.
class ScopedDc {
public:
    explicit ScopedDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ScopedDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    ScopedDc(const ScopedDc&) = delete;
    ScopedDc& operator=(const ScopedDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// An object selected into a DC, the old one selected back at the end.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer that holds one reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}  // takes over a reference already held
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) {
        if (other.p_) other.p_->AddRef();
        Reset(other.p_);
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // This interface of another object; false (and empty) when it has none.
    template <class U>
    bool QueryFrom(U* from) {
        Reset();
        return from && SUCCEEDED(from->QueryInterface(__uuidof(T), PutVoid())) && p_;
    }

private:
    T* p_ = nullptr;
};

}  // namespace win
