// A snapshot file from outside (anyone who can write to the user's folder): reading must never crash, a
// refusal leaves no text, and what reads writes back to the same snapshot. The data protection passes bytes
// through, so that the fuzzer reaches the record behind it.
#include <cstdint>
#include <cstdlib>

#include "fakes/openssl_crypto.h"
#include "protect/snapshot.h"

namespace {

struct PassThrough : DataProtection {
    bool Protect(std::string_view plain, Bytes& blob) override { return blob.assign(plain), true; }
    bool Unprotect(std::string_view blob, Bytes& plain) override { return plain.assign(blob), true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    PassThrough protection;
    OpenSslCrypto crypto;
    protect::SnapshotCover cover;
    if (protect::ReadSnapshotCover(protection, file, cover) != protect::SnapshotStatus::Ok) return 0;
    protect::Snapshot snapshot;
    snapshot.text = u"stale";
    const protect::SnapshotStatus read = protect::ReadSnapshot(protection, crypto, file, nullptr, snapshot);
    if (cover.sealed) {
        if (read == protect::SnapshotStatus::Ok) std::abort();  // no key, no text
        return 0;
    }
    if (read != protect::SnapshotStatus::Ok) {
        if (!snapshot.text.empty()) std::abort();
        return 0;
    }
    Bytes again;
    if (snapshot.name != cover.name || !protect::WriteSnapshot(protection, snapshot, again) || again != file)
        std::abort();
    return 0;
}
