// The crypto port over OpenSSL's libcrypto: the host side's real implementation, so that the sealed format
// is tested against real PBKDF2 and AES-GCM on Linux.
#pragma once
#include "platform/crypto.h"

struct OpenSslCrypto : Crypto {
    bool DeriveKey(std::string_view password, std::string_view salt, uint32_t iterations, uint8_t* key,
                   size_t keySize) override;
    bool Seal(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::span<char> data,
              uint8_t* tag) override;
    bool Open(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::string_view cipher,
              const uint8_t* tag, Bytes& plain) override;
    bool Random(uint8_t* buffer, size_t size) override;
    void Wipe(void* buffer, size_t size) override;

    int derivations = 0;  // how many keys were derived: a re-save must not derive one
    // Seal fails after encrypting the first half of its data, as a driver fault would: what the caller must
    // wipe is half plaintext.
    bool failSeal = false;
};

// The user's data protection, faked with AES-256-GCM under a key of the fake user's: what it gives out is as
// unreadable on the fake disk as DPAPI's blobs are on a real one, and a changed blob is refused.
struct FakeDataProtection : DataProtection {
    OpenSslCrypto crypto;
    uint8_t userKey[Crypto::kKeySize] = {'f', 'a', 'k', 'e', ' ', 'u', 's', 'e', 'r'};
    bool fail = false;  // Protect and Unprotect fail, as they do for a profile that is not loaded
    int calls = 0;
    bool Protect(std::string_view plain, Bytes& blob) override;
    bool Unprotect(std::string_view blob, Bytes& plain) override;
};
