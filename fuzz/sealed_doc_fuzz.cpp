// A .txse file from outside: reading must never crash, a refusal leaves no text, and what opens seals and
// opens again to the same text. Also the strict UTF-8 reading, whose accepted bytes must re-encode exactly.
#include <cstdint>
#include <cstdlib>

#include "base/unicode.h"
#include "fakes/openssl_crypto.h"
#include "protect/sealed.h"

namespace {

// The reader is under test, not PBKDF2's cost: one iteration whatever the header says, so that the
// fuzzer spends its time on the file.
struct QuickKeys : OpenSslCrypto {
    bool DeriveKey(std::string_view password, std::string_view salt, uint32_t, uint8_t* key,
                   size_t keySize) override {
        return OpenSslCrypto::DeriveKey(password, salt, 1, key, keySize);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string_view raw(reinterpret_cast<const char*>(data + 1), size - 1);

    Text decoded;
    if (base::FromUtf8(raw, decoded) && base::ToUtf8(decoded) != raw) std::abort();

    const size_t pwLength = 1 + data[0] % 8;
    if (raw.size() < pwLength) return 0;
    Text password;
    for (const char c : raw.substr(0, pwLength)) password += static_cast<char16_t>(static_cast<uint8_t>(c));
    const std::string_view file = raw.substr(pwLength);

    QuickKeys crypto;
    protect::SealedHeader header;
    const protect::SealedStatus read = protect::ReadSealedHeader(file, header);
    if (read != protect::SealedStatus::Ok) return 0;
    protect::SealedKey key(crypto);
    if (!key.Derive(password, header)) std::abort();
    Text text = u"stale";
    const protect::SealedStatus opened = protect::OpenSealed(crypto, file, key, text);
    if (opened != protect::SealedStatus::Ok) {
        if (!text.empty()) std::abort();
        return 0;
    }
    Bytes again;
    Text back;
    if (!protect::SealText(crypto, key, text, again) || again == file ||
        protect::OpenSealed(crypto, again, key, back) != protect::SealedStatus::Ok || back != text)
        std::abort();
    return 0;
}
