// A .txs file's content from outside: unmasking must never crash, and a document saved under a password
// must open again under it with the same text.
#include <cstdint>
#include <cstdlib>

#include "base/codepage.h"
#include "protect/cipher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t pwLength = 1 + data[0] % 8;
    if (size < 1 + pwLength) return 0;
    const std::string_view raw(reinterpret_cast<const char*>(data + 1), size - 1);
    Text password = d1::FromCodePage(raw.substr(0, pwLength));
    const std::string_view file = raw.substr(pwLength);

    Text content = d1::FromCodePage(file);
    const bool opened = d1::DecodePw(content, password);
    if (!opened && !content.empty()) std::abort();

    // Round trip: the file bytes taken as a document.
    const Text text = d1::FromCodePage(file);
    Text masked = password + text;
    d1::EncodePw(masked, d1::GetFileKey(password));
    if (masked.size() != password.size() + text.size()) std::abort();
    if (!d1::DecodePw(masked, password) || masked != text) std::abort();
    return 0;
}
