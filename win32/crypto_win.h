// The crypto port over CNG (bcrypt.dll): PBKDF2 with HMAC-SHA256, AES in GCM chaining mode, the system's
// preferred random generator.
#pragma once
#include "platform/crypto.h"

struct Win32Crypto : Crypto {
    bool DeriveKey(std::string_view password, std::string_view salt, uint32_t iterations, uint8_t* key,
                   size_t keySize) override;
    bool Seal(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::span<char> data,
              uint8_t* tag) override;
    bool Open(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::string_view cipher,
              const uint8_t* tag, Bytes& plain) override;
    bool Random(uint8_t* buffer, size_t size) override;
    void Wipe(void* buffer, size_t size) override;
};
