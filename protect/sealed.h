// Sealed documents (txse): the text as UTF-8 under AES-256-GCM, with a key derived from the password by
// PBKDF2-HMAC-SHA256. The layout is documented in docs/sealed-format.md; the cryptography is the platform's.
#pragma once
#include <array>
#include <string_view>

#include "platform/crypto.h"
#include "platform/ports.h"

namespace protect {

constexpr std::string_view kSealedMagic = "LOCKLEAF";
constexpr uint8_t kSealedVersion = 1;
constexpr uint8_t kSealedPbkdf2Sha256 = 1;
constexpr size_t kSealedSaltSize = 16;
constexpr size_t kSealedHeaderSize = 42;  // magic, version, derivation, iterations, salt, nonce
constexpr size_t kSealedMinSize = kSealedHeaderSize + Crypto::kTagSize;
constexpr uint32_t kSealedIterations = 600000;
// What a reader accepts: fewer iterations would make guessing cheap, many more would hang the editor.
constexpr uint32_t kSealedMinIterations = 100000;
constexpr uint32_t kSealedMaxIterations = 10000000;

enum class SealedStatus {
    Ok,
    NotSealed,       // too short, or not our magic
    UnknownVersion,  // a version or key derivation this program does not know
    BadIterations,   // outside kSealedMinIterations..kSealedMaxIterations
    WrongPassword,   // the tag did not match: a wrong password, or bytes changed since the save
    NotText,         // authentic, but not UTF-8
    Failed,          // the platform's cryptography failed
};
// The message a user is shown for a refused file; the caller's own for Failed.
const char16_t* SealedMessage(SealedStatus status);

struct SealedHeader {
    uint8_t version = 0;
    uint8_t kdf = 0;
    uint32_t iterations = 0;
    std::array<uint8_t, kSealedSaltSize> salt{};
    std::array<uint8_t, Crypto::kNonceSize> nonce{};
};
// Checks everything that can be checked without the password.
SealedStatus ReadSealedHeader(std::string_view file, SealedHeader& header);

// A derived key with the password and salt it came from: kept for a document so that saving again costs no
// second derivation. Wiped when cleared or destroyed.
class SealedKey {
public:
    explicit SealedKey(Crypto& crypto) : m_Crypto(crypto) {}
    ~SealedKey() { Clear(); }
    SealedKey(const SealedKey&) = delete;
    SealedKey& operator=(const SealedKey&) = delete;

    // The key of password under a fresh random salt and kSealedIterations.
    bool DeriveNew(const Text& password) { return NewSalt() && DeriveFrom(password); }
    // DeriveNew in two halves, so that the slow one may run off the window's thread: the salt and iterations
    // of a new key (what a file's header needs), then its key from password.
    bool NewSalt();
    bool DeriveFrom(const Text& password);
    // The key of password under a file's salt and iterations.
    bool Derive(const Text& password, const SealedHeader& header);
    bool Ready() const { return m_Ready; }
    bool Holds(const Text& password) const { return m_Ready && m_Password == password; }
    bool Holds(const Text& password, const SealedHeader& header) const {
        return Holds(password) && m_Salt == header.salt && m_Iterations == header.iterations;
    }
    // Takes other's key and wipes other.
    void Take(SealedKey& other);
    void CopyFrom(const SealedKey& other);
    void Clear();

    const uint8_t* Key() const { return m_Key.data(); }
    const std::array<uint8_t, kSealedSaltSize>& Salt() const { return m_Salt; }
    uint32_t Iterations() const { return m_Iterations; }

private:
    Crypto& m_Crypto;
    bool m_Ready = false;
    Text m_Password;
    std::array<uint8_t, kSealedSaltSize> m_Salt{};
    uint32_t m_Iterations = 0;
    std::array<uint8_t, Crypto::kKeySize> m_Key{};
};

// The file of text under key, with a fresh nonce: two saves of the same text never give the same bytes.
bool SealText(Crypto& crypto, const SealedKey& key, std::u16string_view text, Bytes& file);
// SealText in two halves, so that the encryption may run elsewhere than where the text is read: file made
// ready for key (the header with a fresh nonce, the text's UTF-8, room for the tag: plaintext, which the
// caller seals or wipes); then file sealed in place under key's bytes, or wiped and emptied.
bool PrepareSealed(Crypto& crypto, const SealedKey& key, std::u16string_view text, Bytes& file);
bool SealPrepared(Crypto& crypto, const uint8_t* key, Bytes& file);
// The text of a file whose header was read into header, under a key derived for that header.
SealedStatus OpenSealed(Crypto& crypto, std::string_view file, const SealedKey& key, Text& text);

}  // namespace protect
