// Bytes -> text -> bytes must be the identity; text -> bytes must never write more than one byte per unit;
// the first unmappable unit and the first unpaired surrogate are the ones a unit-by-unit look finds.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/codepage.h"
#include "base/unicode.h"

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
    // The block-wise searches find what a look at each unit in turn finds.
    size_t unmappable = std::u16string_view::npos, unpaired = std::u16string_view::npos;
    for (size_t i = 0; i < units.size() && unmappable == std::u16string_view::npos; ++i)
        if (units[i] >= 0x80 && base::ByteOfChar(units[i]) == base::kUnmappable) unmappable = i;
    for (size_t i = 0; i < units.size() && unpaired == std::u16string_view::npos; ++i) {
        if (base::IsSurrogatePair(units, i))
            ++i;
        else if (base::IsHighSurrogate(units[i]) || base::IsLowSurrogate(units[i]))
            unpaired = i;
    }
    if (base::FirstUnmappable(units) != unmappable || base::FirstUnpairedSurrogate(units) != unpaired)
        std::abort();
    return 0;
}
