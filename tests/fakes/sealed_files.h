// Sealed files written and read with libcrypto directly, following docs/sealed-format.md, not through the
// program's format code: what another program following the format would do.
#pragma once
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdint>

#include "platform/ports.h"

namespace sealed_files {

inline uint32_t IterationsOf(const Bytes& f) {
    const auto* b = reinterpret_cast<const unsigned char*>(f.data());
    return f.size() < 14 ? 0 : b[10] | b[11] << 8 | b[12] << 16 | uint32_t(b[13]) << 24;
}

// A sealed file of utf8 under password.
inline Bytes Seal(const Bytes& utf8, const Bytes& password, uint32_t iterations) {
    unsigned char salt[16], nonce[12], key[32], tag[16];
    RAND_bytes(salt, 16);
    RAND_bytes(nonce, 12);
    PKCS5_PBKDF2_HMAC(password.data(), int(password.size()), salt, 16, int(iterations), EVP_sha256(), 32,
                      key);
    const char count[4] = {char(iterations & 0xFF), char((iterations >> 8) & 0xFF),
                           char((iterations >> 16) & 0xFF), char(iterations >> 24)};
    Bytes file = Bytes("LOCKLEAF\x01\x01", 10) + Bytes(count, 4) + Bytes(reinterpret_cast<char*>(salt), 16) +
                 Bytes(reinterpret_cast<char*>(nonce), 12);
    Bytes cipher(utf8.size(), '\0');
    int len = 0, last = 0;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, key, nonce);
    EVP_EncryptUpdate(ctx, nullptr, &len, reinterpret_cast<const unsigned char*>(file.data()), 42);
    EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char*>(cipher.data()), &len,
                      reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
    EVP_EncryptFinal_ex(ctx, nullptr, &last);
    EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, 16, tag);
    EVP_CIPHER_CTX_free(ctx);
    return file + cipher + Bytes(reinterpret_cast<char*>(tag), 16);
}

// The UTF-8 text of a sealed file, or "refused".
inline Bytes Unseal(const Bytes& file, const Bytes& password) {
    const auto* b = reinterpret_cast<const unsigned char*>(file.data());
    unsigned char key[32];
    if (file.size() < 58 || file.compare(0, 10, "LOCKLEAF\x01\x01") != 0 ||
        PKCS5_PBKDF2_HMAC(password.data(), int(password.size()), b + 14, 16, int(IterationsOf(file)),
                          EVP_sha256(), 32, key) != 1)
        return "refused";
    Bytes plain(file.size() - 58, '\0');
    int len = 0, last = 0;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    const bool ok =
        EVP_DecryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, key, b + 30) == 1 &&
        EVP_DecryptUpdate(ctx, nullptr, &len, b, 42) == 1 &&
        EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char*>(plain.data()), &len, b + 42,
                          int(plain.size())) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, 16,
                            const_cast<unsigned char*>(b + file.size() - 16)) == 1 &&
        EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(plain.data()) + len, &last) == 1;
    EVP_CIPHER_CTX_free(ctx);
    return ok ? plain : "refused";
}

}  // namespace sealed_files
