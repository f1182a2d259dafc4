// The snapshot's layout (little-endian):
//   "LLSNAP", version 1, method (0: the user's protection, 1: a sealed document's key)
//   u32 length of the cover, the cover (the user's protection of the record, or for method 1 of the name,
//   the iterations and the salt)
//   method 1 only: nonce, the record under AES-256-GCM, tag; the bytes before the nonce are its associated
//   data, so a cover cannot be swapped under another record.
// The record: the name, encoding, line breaks, no-BOM, Word Wrap, selection start and length, the text (the
// UTF-16 units as they are: an unpaired surrogate or a NUL symbol comes back unchanged).
#include "protect/snapshot.h"

#include <cstring>

#include "base/text.h"

namespace protect {

namespace {

constexpr std::string_view kMagic = "LLSNAP";
constexpr uint8_t kVersion = 1;
constexpr uint8_t kUserMethod = 0, kSealedMethod = 1;

void PutU32(Bytes& out, uint32_t n) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((n >> shift) & 0xFF);
}

void PutUnits(Bytes& out, std::u16string_view text) {
    PutU32(out, static_cast<uint32_t>(text.size()));
    for (char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
}

// Reads from the front of what is left; any read past the end leaves it failed.
struct Reader {
    std::string_view rest;
    bool ok = true;

    uint32_t U32() {
        if (rest.size() < 4) return ok = false, 0;
        const auto* b = reinterpret_cast<const uint8_t*>(rest.data());
        rest.remove_prefix(4);
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    uint8_t U8() {
        if (rest.empty()) return ok = false, 0;
        const auto b = static_cast<uint8_t>(rest[0]);
        rest.remove_prefix(1);
        return b;
    }
    std::string_view Take(size_t n) {
        if (rest.size() < n) return ok = false, std::string_view();
        const std::string_view taken = rest.substr(0, n);
        rest.remove_prefix(n);
        return taken;
    }
    void Units(Text& text) {
        const uint32_t n = U32();
        const std::string_view bytes = Take(size_t{n} * 2);
        if (!ok) return;
        text.resize(n);
        for (size_t k = 0; k < n; ++k)
            text[k] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * k]) |
                                            static_cast<uint8_t>(bytes[2 * k + 1]) << 8);
    }
};

// Secret bytes (a record, a decrypted cover) wiped however the scope ends.
struct WipedBytes {
    Bytes bytes;
    ~WipedBytes() { base::Wipe(bytes); }
};

void PutRecord(const Snapshot& s, Bytes& out) {
    out.reserve(out.size() + 24 + 2 * (s.name.size() + s.text.size()));
    PutUnits(out, s.name);
    out += static_cast<char>(s.format.encoding);
    out += static_cast<char>(s.format.breaks);
    out += static_cast<char>(s.format.noBom);
    out += static_cast<char>(s.wordWrap);
    PutU32(out, static_cast<uint32_t>(s.selStart));
    PutU32(out, static_cast<uint32_t>(s.selLength));
    PutUnits(out, s.text);
}

bool ReadRecord(std::string_view bytes, Snapshot& s) {
    Reader r{bytes};
    r.Units(s.name);
    const uint8_t encoding = r.U8(), breaks = r.U8(), noBom = r.U8(), wrap = r.U8();
    s.selStart = static_cast<int32_t>(r.U32());
    s.selLength = static_cast<int32_t>(r.U32());
    r.Units(s.text);
    if (!r.ok || !r.rest.empty() || encoding > uint8_t(base::Encoding::Utf16Be) ||
        breaks > uint8_t(base::LineBreaks::Mixed) || noBom > 1 || wrap > 1 || s.selStart < 0 ||
        s.selLength < 0) {
        base::Wipe(s.text);
        return false;
    }
    s.format = {base::Encoding(encoding), base::LineBreaks(breaks), noBom == 1};
    s.wordWrap = wrap == 1;
    return true;
}

Bytes Prefix(uint8_t method) {
    Bytes prefix(kMagic);
    prefix += static_cast<char>(kVersion);
    prefix += static_cast<char>(method);
    return prefix;
}

// The cover's bytes, still protected, and the method; false when the file is not a whole snapshot of ours.
bool SplitFile(std::string_view file, uint8_t& method, std::string_view& cover, std::string_view& rest) {
    Reader r{file};
    if (r.Take(kMagic.size()) != kMagic || r.U8() != kVersion) return false;
    method = r.U8();
    cover = r.Take(r.U32());
    rest = r.rest;
    if (!r.ok || method > kSealedMethod) return false;
    return method == kSealedMethod ? rest.size() >= Crypto::kNonceSize + Crypto::kTagSize : rest.empty();
}

}  // namespace

SnapshotKey::SnapshotKey(Crypto& c, const SealedKey& sealed)
    : crypto(c), salt(sealed.Salt()), iterations(sealed.Iterations()) {
    std::memcpy(key.data(), sealed.Key(), key.size());
}

SnapshotKey::~SnapshotKey() { crypto.Wipe(key.data(), key.size()); }

bool WriteSnapshot(DataProtection& protection, const Snapshot& snapshot, Bytes& file) {
    WipedBytes record;
    PutRecord(snapshot, record.bytes);
    Bytes cover;
    file = Prefix(kUserMethod);
    if (!protection.Protect(record.bytes, cover)) return file.clear(), false;
    PutU32(file, static_cast<uint32_t>(cover.size()));
    file += cover;
    return true;
}

bool WriteSealedSnapshot(DataProtection& protection, const SnapshotKey& key, const Snapshot& snapshot,
                         Bytes& file) {
    Bytes coverPlain, cover;
    PutUnits(coverPlain, snapshot.name);
    PutU32(coverPlain, key.iterations);
    coverPlain.append(reinterpret_cast<const char*>(key.salt.data()), key.salt.size());
    const bool covered = protection.Protect(coverPlain, cover);
    base::Wipe(coverPlain);
    file = Prefix(kSealedMethod);
    if (!covered) return file.clear(), false;
    PutU32(file, static_cast<uint32_t>(cover.size()));
    file += cover;

    std::array<uint8_t, Crypto::kNonceSize> nonce{};
    std::array<uint8_t, Crypto::kTagSize> tag{};
    const Bytes aad = file;
    if (!key.crypto.Random(nonce.data(), nonce.size())) return file.clear(), false;
    file.append(reinterpret_cast<const char*>(nonce.data()), nonce.size());
    // The record is put where it is sealed, in room for the tag too: no second copy of the text, and none
    // freed by a reallocation.
    const size_t at = file.size();
    try {
        file.reserve(at + 24 + 2 * (snapshot.name.size() + snapshot.text.size()) + tag.size());
        PutRecord(snapshot, file);
    } catch (...) {
        base::Wipe(file);
        throw;
    }
    if (!key.crypto.Seal(key.key.data(), nonce.data(), aad, {file.data() + at, file.size() - at},
                         tag.data())) {
        base::Wipe(file);
        return false;
    }
    file.append(reinterpret_cast<const char*>(tag.data()), tag.size());
    return true;
}

SnapshotStatus ReadSnapshotCover(DataProtection& protection, std::string_view file, SnapshotCover& cover) {
    uint8_t method = 0;
    std::string_view covered, rest;
    WipedBytes plain;
    if (!SplitFile(file, method, covered, rest) || !protection.Unprotect(covered, plain.bytes))
        return SnapshotStatus::Damaged;
    cover.sealed = method == kSealedMethod;
    if (!cover.sealed) {
        // The record starts with the name.
        Reader r{plain.bytes};
        r.Units(cover.name);
        return r.ok ? SnapshotStatus::Ok : SnapshotStatus::Damaged;
    }
    Reader r{plain.bytes};
    r.Units(cover.name);
    cover.header.version = kSealedVersion;
    cover.header.kdf = kSealedPbkdf2Sha256;
    cover.header.iterations = r.U32();
    const std::string_view salt = r.Take(kSealedSaltSize);
    if (!r.ok || !r.rest.empty() || cover.header.iterations < kSealedMinIterations ||
        cover.header.iterations > kSealedMaxIterations)
        return SnapshotStatus::Damaged;
    std::memcpy(cover.header.salt.data(), salt.data(), salt.size());
    return SnapshotStatus::Ok;
}

SnapshotStatus ReadSnapshot(DataProtection& protection, Crypto& crypto, std::string_view file,
                            const SealedKey* key, Snapshot& snapshot) {
    uint8_t method = 0;
    std::string_view covered, rest;
    WipedBytes record;
    SnapshotCover cover;
    if (!SplitFile(file, method, covered, rest)) return SnapshotStatus::Damaged;
    if (method == kUserMethod) {
        if (!protection.Unprotect(covered, record.bytes)) return SnapshotStatus::Damaged;
    } else {
        if (ReadSnapshotCover(protection, file, cover) != SnapshotStatus::Ok) return SnapshotStatus::Damaged;
        if (!key || !key->Ready()) return SnapshotStatus::WrongPassword;
        const std::string_view aad = file.substr(0, file.size() - rest.size());
        const auto* nonce = reinterpret_cast<const uint8_t*>(rest.data());
        const auto* tag = reinterpret_cast<const uint8_t*>(rest.data() + rest.size() - Crypto::kTagSize);
        const std::string_view cipher =
            rest.substr(Crypto::kNonceSize, rest.size() - Crypto::kNonceSize - Crypto::kTagSize);
        if (!crypto.Open(key->Key(), nonce, aad, cipher, tag, record.bytes))
            return SnapshotStatus::WrongPassword;
    }
    if (!ReadRecord(record.bytes, snapshot) || (method == kSealedMethod && snapshot.name != cover.name)) {
        base::Wipe(snapshot.text);
        return SnapshotStatus::Damaged;
    }
    return SnapshotStatus::Ok;
}

bool PasswordCheck::Derive(const Text& password, uint8_t* out) const {
    const std::string_view units(reinterpret_cast<const char*>(password.data()), password.size() * 2);
    const std::string_view salt(reinterpret_cast<const char*>(m_Salt.data()), m_Salt.size());
    return m_Crypto.DeriveKey(units, salt, kIterations, out, m_Hash.size());
}

bool PasswordCheck::Make(const Text& password) {
    Clear();
    m_Made = m_Crypto.Random(m_Salt.data(), m_Salt.size()) && Derive(password, m_Hash.data());
    if (!m_Made) Clear();
    return m_Made;
}

bool PasswordCheck::Matches(const Text& password) const {
    std::array<uint8_t, Crypto::kKeySize> hash{};
    if (!m_Made || !Derive(password, hash.data())) return false;
    uint8_t differ = 0;  // every byte compared, whatever the first difference
    for (size_t k = 0; k < hash.size(); ++k) differ |= static_cast<uint8_t>(hash[k] ^ m_Hash[k]);
    m_Crypto.Wipe(hash.data(), hash.size());
    return differ == 0;
}

void PasswordCheck::Clear() {
    m_Crypto.Wipe(m_Hash.data(), m_Hash.size());
    m_Made = false;
}

}  // namespace protect
