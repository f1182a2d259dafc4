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
    Text password = base::FromCodePage(raw.substr(0, pwLength));
    const std::string_view file = raw.substr(pwLength);

    Text content = base::FromCodePage(file);
    const bool opened = protect::DecodePw(content, password);
    if (!opened && !content.empty()) std::abort();

    // Round trip: the file bytes taken as a document.
    const Text text = base::FromCodePage(file);
    Text masked = password + text;
    protect::EncodePw(masked, protect::GetFileKey(password));
    if (masked.size() != password.size() + text.size()) std::abort();
    if (!protect::DecodePw(masked, password) || masked != text) std::abort();
    return 0;
}
