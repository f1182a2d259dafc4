// The platform's cryptography: key derivation, authenticated encryption, random bytes and wiping. Nothing
// here is implemented by us; win32/ uses CNG, the host tests OpenSSL's libcrypto.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ports.h"

struct Crypto {
    static constexpr size_t kKeySize = 32;    // AES-256
    static constexpr size_t kNonceSize = 12;  // GCM's 96-bit IV
    static constexpr size_t kTagSize = 16;

    virtual ~Crypto() = default;
    // PBKDF2-HMAC-SHA256 of password (any bytes) and salt into key[0..keySize).
    virtual bool DeriveKey(std::string_view password, std::string_view salt, uint32_t iterations,
                           uint8_t* key, size_t keySize) = 0;
    // AES-256-GCM of data where it lies, so that a file is built in the one buffer it is written from; tag
    // receives the 16-byte tag. aad must not overlap data. On false data may be half encrypted: the caller
    // wipes it.
    virtual bool Seal(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::span<char> data,
                      uint8_t* tag) = 0;
    // False when the tag does not match (a wrong key or changed bytes); plain is then empty.
    virtual bool Open(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::string_view cipher,
                      const uint8_t* tag, Bytes& plain) = 0;
    // Bytes from the system's cryptographic generator.
    virtual bool Random(uint8_t* buffer, size_t size) = 0;
    // Zeroes memory in a way the compiler may not remove.
    virtual void Wipe(void* buffer, size_t size) = 0;
};

// The Windows data protection of the user (DPAPI, user scope, with an entropy of the program's own): a blob
// that only this user's logon opens, on this machine. The host tests fake it.
struct DataProtection {
    virtual ~DataProtection() = default;
    virtual bool Protect(std::string_view plain, Bytes& blob) = 0;
    // False for a blob that is damaged, another user's or another program's; plain is then empty. The caller
    // wipes plain.
    virtual bool Unprotect(std::string_view blob, Bytes& plain) = 0;
};
