// Bytes -> text -> bytes must be the identity; text -> bytes must never write more than one byte per unit.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Text text = base::FromCodePage(bytes);
    if (text.size() != size || base::ToCodePage(text) != bytes) std::abort();
    // The same input read as UTF-16 units: any unit maps to one byte, and unmappable ones to "?".
    const std::u16string_view units(reinterpret_cast<const char16_t*>(data), size / 2);
    const Bytes out = base::ToCodePage(units);
    if (out.size() != units.size()) std::abort();
    for (size_t i = 0; i < units.size(); ++i)
        if (base::CharOfByte(static_cast<unsigned char>(out[i])) != units[i] && out[i] != '?') std::abort();
    return 0;
}
