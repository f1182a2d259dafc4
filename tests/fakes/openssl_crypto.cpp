#include "fakes/openssl_crypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

using Context = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// EVP counts lengths in int: longer inputs go through in pieces.
constexpr size_t kPiece = size_t(1) << 30;

bool Start(Context& ctx, bool encrypt, const uint8_t* key, const uint8_t* nonce, std::string_view aad) {
    int n = 0;
    const auto init = encrypt ? EVP_EncryptInit_ex : EVP_DecryptInit_ex;
    const auto update = encrypt ? EVP_EncryptUpdate : EVP_DecryptUpdate;
    return ctx && init(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1 &&
           EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, Crypto::kNonceSize, nullptr) == 1 &&
           init(ctx.get(), nullptr, nullptr, key, nonce) == 1 && aad.size() <= INT_MAX &&
           update(ctx.get(), nullptr, &n, reinterpret_cast<const uint8_t*>(aad.data()),
                  static_cast<int>(aad.size())) == 1;
}

// The output of in into out, which has room for it and may be in itself.
bool Run(Context& ctx, bool encrypt, std::string_view in, char* out) {
    const auto update = encrypt ? EVP_EncryptUpdate : EVP_DecryptUpdate;
    for (size_t done = 0; done < in.size(); done += kPiece) {
        const int piece = static_cast<int>(std::min(kPiece, in.size() - done));
        int n = 0;
        if (update(ctx.get(), reinterpret_cast<uint8_t*>(out + done), &n,
                   reinterpret_cast<const uint8_t*>(in.data() + done), piece) != 1 ||
            n != piece)
            return false;
    }
    return true;
}

}  // namespace

bool OpenSslCrypto::DeriveKey(std::string_view password, std::string_view salt, uint32_t iterations,
                              uint8_t* key, size_t keySize) {
    ++derivations;
    return password.size() <= INT_MAX && salt.size() <= INT_MAX && iterations <= INT_MAX &&
           PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                             reinterpret_cast<const uint8_t*>(salt.data()), static_cast<int>(salt.size()),
                             static_cast<int>(iterations), EVP_sha256(), static_cast<int>(keySize), key) == 1;
}

bool OpenSslCrypto::Seal(const uint8_t* key, const uint8_t* nonce, std::string_view aad, std::span<char> data,
                         uint8_t* tag) {
    Context ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    int n = 0;
    uint8_t last[16];
    if (failSeal) {
        if (Start(ctx, true, key, nonce, aad)) Run(ctx, true, {data.data(), data.size() / 2}, data.data());
        return false;
    }
    return Start(ctx, true, key, nonce, aad) && Run(ctx, true, {data.data(), data.size()}, data.data()) &&
           EVP_EncryptFinal_ex(ctx.get(), last, &n) == 1 && n == 0 &&
           EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kTagSize, tag) == 1;
}

bool OpenSslCrypto::Open(const uint8_t* key, const uint8_t* nonce, std::string_view aad,
                         std::string_view cipher, const uint8_t* tag, Bytes& plain) {
    Context ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    int n = 0;
    uint8_t last[16];
    plain.assign(cipher.size(), '\0');
    if (Start(ctx, false, key, nonce, aad) && Run(ctx, false, cipher, plain.data()) &&
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, const_cast<uint8_t*>(tag)) == 1 &&
        EVP_DecryptFinal_ex(ctx.get(), last, &n) == 1)
        return true;
    // Unauthenticated plaintext never leaves.
    OPENSSL_cleanse(plain.data(), plain.size());
    plain.clear();
    return false;
}

bool OpenSslCrypto::Random(uint8_t* buffer, size_t size) {
    return size <= INT_MAX && RAND_bytes(buffer, static_cast<int>(size)) == 1;
}

void OpenSslCrypto::Wipe(void* buffer, size_t size) { OPENSSL_cleanse(buffer, size); }

bool FakeDataProtection::Protect(std::string_view plain, Bytes& blob) {
    ++calls;
    uint8_t nonce[Crypto::kNonceSize], tag[Crypto::kTagSize];
    blob.clear();
    if (fail || !crypto.Random(nonce, sizeof nonce)) return false;
    blob.assign(reinterpret_cast<const char*>(nonce), sizeof nonce);
    blob += plain;
    if (!crypto.Seal(userKey, nonce, "dpapi", {blob.data() + sizeof nonce, plain.size()}, tag)) {
        crypto.Wipe(blob.data(), blob.size());
        blob.clear();
        return false;
    }
    blob.append(reinterpret_cast<const char*>(tag), sizeof tag);
    return true;
}

bool FakeDataProtection::Unprotect(std::string_view blob, Bytes& plain) {
    ++calls;
    plain.clear();
    if (fail || blob.size() < Crypto::kNonceSize + Crypto::kTagSize) return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(blob.data());
    return crypto.Open(userKey, bytes, "dpapi",
                       blob.substr(Crypto::kNonceSize, blob.size() - Crypto::kNonceSize - Crypto::kTagSize),
                       bytes + blob.size() - Crypto::kTagSize, plain);
}
