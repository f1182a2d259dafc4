// A snapshot of unsaved work, as the file that keeps it through a crash: everything in it, the document's
// name included, is encrypted. A sealed document's text goes under its own key, so the snapshot is no easier
// to read than the document; every other document's under the user's data protection.
#pragma once
#include <array>
#include <string_view>

#include "base/encoding.h"
#include "platform/crypto.h"
#include "protect/sealed.h"

namespace protect {

struct Snapshot {
    Text name;  // the document's full name; empty for an untitled one
    base::TextFormat format;
    int32_t selStart = 0, selLength = 0;
    bool wordWrap = false;
    Text text;
};

// A sealed document's key as a snapshot needs it: the key with the salt and iterations that derive it from
// the password, never the password. Wiped when it goes.
class SnapshotKey {
public:
    SnapshotKey(Crypto& crypto, const SealedKey& key);
    ~SnapshotKey();
    SnapshotKey(const SnapshotKey&) = delete;
    SnapshotKey& operator=(const SnapshotKey&) = delete;

    Crypto& crypto;
    std::array<uint8_t, Crypto::kKeySize> key{};
    std::array<uint8_t, kSealedSaltSize> salt{};
    uint32_t iterations = 0;
};

// What tells a protected document's password while its text is away (the document locked): a salted PBKDF2
// of it, never the password. The masked file gives its password away to anyone who has it, so few
// iterations do; they keep the check quick on the window's thread.
class PasswordCheck {
public:
    static constexpr uint32_t kIterations = 10000;
    explicit PasswordCheck(Crypto& crypto) : m_Crypto(crypto) {}
    ~PasswordCheck() { Clear(); }
    PasswordCheck(const PasswordCheck&) = delete;
    PasswordCheck& operator=(const PasswordCheck&) = delete;

    bool Make(const Text& password);  // false when the system gave no salt or derivation
    bool Matches(const Text& password) const;
    bool Made() const { return m_Made; }
    void Clear();

private:
    bool Derive(const Text& password, uint8_t* out) const;
    Crypto& m_Crypto;
    std::array<uint8_t, 16> m_Salt{};
    std::array<uint8_t, Crypto::kKeySize> m_Hash{};
    bool m_Made = false;
};

// What a snapshot shows without a password: the document's name, and for a sealed document the salt and
// iterations that derive its key from the password.
struct SnapshotCover {
    Text name;
    bool sealed = false;
    SealedHeader header;
};

enum class SnapshotStatus {
    Ok,
    Damaged,        // not a snapshot, cut short, changed, or another user's
    WrongPassword,  // a sealed document's: the key does not open it
};

// The file of snapshot under the user's data protection; false (file empty) when the protection failed.
bool WriteSnapshot(DataProtection& protection, const Snapshot& snapshot, Bytes& file);
// The file of a sealed document's snapshot: its cover under the user's protection, the rest under key with
// a fresh nonce.
bool WriteSealedSnapshot(DataProtection& protection, const SnapshotKey& key, const Snapshot& snapshot,
                         Bytes& file);

SnapshotStatus ReadSnapshotCover(DataProtection& protection, std::string_view file, SnapshotCover& cover);
// The whole snapshot. key: for a sealed one, derived under its cover's header (null for the others).
SnapshotStatus ReadSnapshot(DataProtection& protection, Crypto& crypto, std::string_view file,
                            const SealedKey* key, Snapshot& snapshot);

}  // namespace protect
