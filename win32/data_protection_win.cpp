#include "win32/data_protection_win.h"
#include <windows.h>

#include <wincrypt.h>

#include "win32/scoped.h"
#include "win32/system_dlls.h"

namespace {

// Mixed into every blob: without it a blob of ours opens for any program the same user runs.
constexpr char kEntropy[] = "Lockleaf snapshot";

// DPAPI takes its input through non-const pointers, though it only reads it. Nothing is passed at an address
// all the same: Wine's DPAPI reads a null one as a question about sizes and fails.
DATA_BLOB In(std::string_view bytes) {
    static char none = 0;
    char* data = bytes.empty() ? &none : const_cast<char*>(bytes.data());
    return {static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(data)};
}

// Also false without crypt32, so that no call goes through a missing function.
bool Fits(size_t n) { return n <= MAXDWORD && win::Crypt32().loaded; }

}  // namespace

bool Win32DataProtection::Protect(std::string_view plain, Bytes& blob) {
    blob.clear();
    if (!Fits(plain.size())) return false;
    DATA_BLOB in = In(plain);
    DATA_BLOB entropy = In({kEntropy, sizeof kEntropy - 1});
    DATA_BLOB out{};
    if (!win::Crypt32().CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                                         &out))
        return false;
    const win::ScopedLocal owner(out.pbData);
    blob.assign(reinterpret_cast<const char*>(out.pbData), out.cbData);
    return true;
}

bool Win32DataProtection::Unprotect(std::string_view blob, Bytes& plain) {
    plain.clear();
    if (!Fits(blob.size())) return false;
    DATA_BLOB in = In(blob);
    DATA_BLOB entropy = In({kEntropy, sizeof kEntropy - 1});
    win::ScopedSecretBlob out;
    if (!win::Crypt32().CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr,
                                           CRYPTPROTECT_UI_FORBIDDEN, out.Put()))
        return false;
    if (out.Get().cbData) plain.assign(reinterpret_cast<const char*>(out.Get().pbData), out.Get().cbData);
    return true;
}
