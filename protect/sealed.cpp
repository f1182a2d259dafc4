// The sealed layout over the crypto port: every secret passes through buffers that are wiped when done.
#include "protect/sealed.h"

#include <cstring>

#include "base/paths.h"
#include "base/unicode.h"

namespace protect {

namespace {

// A buffer of secret bytes (the password as UTF-8, the plaintext) that is wiped however the scope ends.
struct Wiped {
    Crypto& crypto;
    Bytes& bytes;
    ~Wiped() {
        crypto.Wipe(bytes.data(), bytes.size());
        bytes.clear();
    }
};

}  // namespace

const char16_t* SealedMessage(SealedStatus status) {
    switch (status) {
        case SealedStatus::NotSealed:
            return u"This file is not a sealed document. Your file has NOT been opened.";
        case SealedStatus::UnknownVersion:
            return u"This sealed document was written in a format that this version of the program does not "
                   u"know. Your file has NOT been opened.";
        case SealedStatus::BadIterations:
            return u"This sealed document asks for a key derivation outside the range this program accepts. "
                   u"Your file has NOT been opened.";
        case SealedStatus::WrongPassword:
            return u"The password is wrong, or the file has been changed since it was saved. Your file has "
                   u"NOT been opened.";
        case SealedStatus::NotText:
            return u"This sealed document does not hold UTF-8 text. Your file has NOT been opened.";
        case SealedStatus::Ok:
        case SealedStatus::Failed:
            break;
    }
    return u"Your file has NOT been opened.";
}

SealedStatus ReadSealedHeader(std::string_view file, SealedHeader& header) {
    if (file.size() < kSealedMinSize || file.substr(0, kSealedMagic.size()) != kSealedMagic)
        return SealedStatus::NotSealed;
    const auto* b = reinterpret_cast<const uint8_t*>(file.data());
    header.version = b[8];
    header.kdf = b[9];
    header.iterations =
        uint32_t(b[10]) | uint32_t(b[11]) << 8 | uint32_t(b[12]) << 16 | uint32_t(b[13]) << 24;
    std::memcpy(header.salt.data(), b + 14, header.salt.size());
    std::memcpy(header.nonce.data(), b + 30, header.nonce.size());
    if (header.version != kSealedVersion || header.kdf != kSealedPbkdf2Sha256)
        return SealedStatus::UnknownVersion;
    if (header.iterations < kSealedMinIterations || header.iterations > kSealedMaxIterations)
        return SealedStatus::BadIterations;
    return SealedStatus::Ok;
}

bool SealedKey::NewSalt() {
    Clear();
    if (!m_Crypto.Random(m_Salt.data(), m_Salt.size())) return false;
    m_Iterations = kSealedIterations;
    return true;
}

bool SealedKey::Derive(const Text& password, const SealedHeader& header) {
    Clear();
    m_Salt = header.salt;
    m_Iterations = header.iterations;
    return DeriveFrom(password);
}

bool SealedKey::DeriveFrom(const Text& password) {
    Bytes secret = base::ToUtf8(password);
    const Wiped wipeSecret{m_Crypto, secret};
    const std::string_view salt(reinterpret_cast<const char*>(m_Salt.data()), m_Salt.size());
    if (!m_Crypto.DeriveKey(secret, salt, m_Iterations, m_Key.data(), m_Key.size())) {
        Clear();
        return false;
    }
    m_Password = password;
    m_Ready = true;
    return true;
}

void SealedKey::Take(SealedKey& other) {
    CopyFrom(other);
    other.Clear();
}

void SealedKey::CopyFrom(const SealedKey& other) {
    Clear();
    m_Password = other.m_Password;
    m_Salt = other.m_Salt;
    m_Iterations = other.m_Iterations;
    m_Key = other.m_Key;
    m_Ready = other.m_Ready;
}

void SealedKey::Clear() {
    m_Crypto.Wipe(m_Key.data(), m_Key.size());
    m_Crypto.Wipe(m_Password.data(), m_Password.size() * sizeof(char16_t));
    m_Password.clear();
    m_Salt.fill(0);
    m_Iterations = 0;
    m_Ready = false;
}

bool PrepareSealed(Crypto& crypto, const SealedKey& key, std::u16string_view text, Bytes& file) {
    file.clear();
    std::array<uint8_t, Crypto::kNonceSize> nonce{};
    if (!crypto.Random(nonce.data(), nonce.size())) return false;
    // One buffer, the file: the header, then the text as UTF-8 to be encrypted where it lies, then room for
    // the tag. No plaintext copy outlives the encryption, and memory holds one file's size.
    file.assign(kSealedMinSize + base::Utf8Length(text), '\0');
    auto* b = reinterpret_cast<uint8_t*>(file.data());
    std::memcpy(b, kSealedMagic.data(), kSealedMagic.size());
    b[8] = kSealedVersion;
    b[9] = kSealedPbkdf2Sha256;
    for (int i = 0; i < 4; ++i) b[10 + i] = static_cast<uint8_t>(key.Iterations() >> (8 * i));
    std::memcpy(b + 14, key.Salt().data(), key.Salt().size());
    std::memcpy(b + 30, nonce.data(), nonce.size());
    base::PutUtf8(text, file.data() + kSealedHeaderSize);
    return true;
}

bool SealPrepared(Crypto& crypto, const uint8_t* key, Bytes& file) {
    const size_t plainSize = file.size() - kSealedMinSize;
    auto* b = reinterpret_cast<uint8_t*>(file.data());
    if (crypto.Seal(key, b + 30, {file.data(), kSealedHeaderSize},
                    {file.data() + kSealedHeaderSize, plainSize}, b + kSealedHeaderSize + plainSize))
        return true;
    crypto.Wipe(file.data(), file.size());
    file.clear();
    return false;
}

bool SealText(Crypto& crypto, const SealedKey& key, std::u16string_view text, Bytes& file) {
    return PrepareSealed(crypto, key, text, file) && SealPrepared(crypto, key.Key(), file);
}

SealedStatus OpenSealed(Crypto& crypto, std::string_view file, const SealedKey& key, Text& text) {
    text.clear();
    SealedHeader header;
    if (const SealedStatus s = ReadSealedHeader(file, header); s != SealedStatus::Ok) return s;
    const std::string_view aad = file.substr(0, kSealedHeaderSize);
    const std::string_view cipher = file.substr(kSealedHeaderSize, file.size() - kSealedMinSize);
    const auto* tag = reinterpret_cast<const uint8_t*>(file.data() + file.size() - Crypto::kTagSize);
    Bytes plain;
    const Wiped wipePlain{crypto, plain};
    if (!crypto.Open(key.Key(), header.nonce.data(), aad, cipher, tag, plain))
        return SealedStatus::WrongPassword;
    if (!base::FromUtf8(plain, text)) {
        text.clear();
        return SealedStatus::NotText;
    }
    return SealedStatus::Ok;
}

}  // namespace protect
