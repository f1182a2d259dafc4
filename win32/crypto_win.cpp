#include "win32/crypto_win.h"
#include <windows.h>

#include <bcrypt.h>

#include <climits>

#include "win32/scoped.h"
#include "win32/system_dlls.h"

namespace {

// CNG takes every buffer as a non-const PUCHAR, even those it only reads.
PUCHAR In(const void* p) { return static_cast<PUCHAR>(const_cast<void*>(p)); }

// Also false without CNG, so that no call goes through a missing function.
bool Fits(size_t n) { return n <= ULONG_MAX && win::BCrypt().loaded; }

// An AES-256 key in GCM mode.
bool GcmKey(const uint8_t* key, win::ScopedAlgorithm& alg, win::ScopedCryptKey& handle) {
    static wchar_t gcm[] = BCRYPT_CHAIN_MODE_GCM;
    return BCRYPT_SUCCESS(
               win::BCrypt().BCryptOpenAlgorithmProvider(alg.Put(), BCRYPT_AES_ALGORITHM, nullptr, 0)) &&
           BCRYPT_SUCCESS(win::BCrypt().BCryptSetProperty(alg.Get(), BCRYPT_CHAINING_MODE,
                                                          reinterpret_cast<PUCHAR>(gcm), sizeof gcm, 0)) &&
           BCRYPT_SUCCESS(win::BCrypt().BCryptGenerateSymmetricKey(alg.Get(), handle.Put(), nullptr, 0,
                                                                   In(key), Crypto::kKeySize, 0));
}

BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO AuthInfo(const uint8_t* nonce, std::string_view aad, uint8_t* tag) {
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = In(nonce);
    info.cbNonce = Crypto::kNonceSize;
    info.pbAuthData = In(aad.data());
    info.cbAuthData = static_cast<ULONG>(aad.size());
    info.pbTag = tag;
    info.cbTag = Crypto::kTagSize;
    return info;
}

}  // namespace

bool Win32Crypto::DeriveKey(std::string_view password, std::string_view salt, uint32_t iterations,
                            uint8_t* key, size_t keySize) {
    win::ScopedAlgorithm hmac;
    return Fits(password.size()) && Fits(salt.size()) && Fits(keySize) &&
           BCRYPT_SUCCESS(win::BCrypt().BCryptOpenAlgorithmProvider(hmac.Put(), BCRYPT_SHA256_ALGORITHM,
                                                                    nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG)) &&
           BCRYPT_SUCCESS(win::BCrypt().BCryptDeriveKeyPBKDF2(
               hmac.Get(), In(password.data()), static_cast<ULONG>(password.size()), In(salt.data()),
               static_cast<ULONG>(salt.size()), iterations, key, static_cast<ULONG>(keySize), 0));
}

bool Win32Crypto::Seal(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::span<char> data,
                       uint8_t* tag) {
    win::ScopedAlgorithm alg;
    win::ScopedCryptKey handle;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = AuthInfo(nonce, aad, tag);
    ULONG written = 0;
    // CNG encrypts in place when the input and output are the same buffer.
    return Fits(data.size()) && Fits(aad.size()) && GcmKey(key, alg, handle) &&
           BCRYPT_SUCCESS(win::BCrypt().BCryptEncrypt(
               handle.Get(), In(data.data()), static_cast<ULONG>(data.size()), &info, nullptr, 0,
               In(data.data()), static_cast<ULONG>(data.size()), &written, 0)) &&
           written == data.size();
}

bool Win32Crypto::Open(const uint8_t* key, const uint8_t* nonce, std::string_view aad,
                       std::string_view cipher, const uint8_t* tag, Bytes& plain) {
    plain.assign(cipher.size(), '\0');
    win::ScopedAlgorithm alg;
    win::ScopedCryptKey handle;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = AuthInfo(nonce, aad, In(tag));
    ULONG written = 0;
    // A wrong tag is STATUS_AUTH_TAG_MISMATCH; any failure leaves nothing of the plaintext.
    if (Fits(cipher.size()) && Fits(aad.size()) && GcmKey(key, alg, handle) &&
        BCRYPT_SUCCESS(win::BCrypt().BCryptDecrypt(
            handle.Get(), In(cipher.data()), static_cast<ULONG>(cipher.size()), &info, nullptr, 0,
            In(plain.data()), static_cast<ULONG>(plain.size()), &written, 0)) &&
        written == cipher.size())
        return true;
    SecureZeroMemory(plain.data(), plain.size());
    plain.clear();
    return false;
}

bool Win32Crypto::Random(uint8_t* buffer, size_t size) {
    return Fits(size) && BCRYPT_SUCCESS(win::BCrypt().BCryptGenRandom(
                             nullptr, buffer, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

void Win32Crypto::Wipe(void* buffer, size_t size) { SecureZeroMemory(buffer, size); }
