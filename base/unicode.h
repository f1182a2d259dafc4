// UTF-16 and UTF-8, for what the program stores or sends as UTF-8 (sealed documents, query strings).
#pragma once
#include <string_view>

#include "platform/ports.h"

namespace base {

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
// Whether text[i] begins a character beyond U+FFFF (two units).
constexpr bool IsSurrogatePair(std::u16string_view text, size_t i) {
    return i + 1 < text.size() && IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1]);
}

// UTF-16 to UTF-8; an unpaired surrogate, which no encoding can hold, becomes U+FFFD.
Bytes ToUtf8(std::u16string_view text);
// Strict: false for anything but well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF). A leading BOM is kept as the character it is.
bool FromUtf8(std::string_view bytes, Text& text);

}  // namespace base
