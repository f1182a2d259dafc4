// UTF-16 and UTF-8, for what the program stores or sends as UTF-8 (plain and sealed documents, query
// strings).
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

// The offset of the first surrogate that is not half of a pair (UTF-16 holds one, no other form does), or
// npos.
size_t FirstUnpairedSurrogate(std::u16string_view text);

// The character of the UTF-8 sequence at b, whose lead byte is not ASCII, with n bytes left: its length, or 0
// when the sequence is ill-formed (no such lead, an overlong form, a surrogate, past U+10FFFF, cut short).
inline size_t ReadUtf8(const unsigned char* b, size_t n, char32_t& c) {
    size_t length = 0;
    char32_t least = 0;
    if (b[0] >= 0xC2 && b[0] <= 0xDF) {
        length = 2, c = b[0] & 0x1F, least = 0x80;
    } else if (b[0] >= 0xE0 && b[0] <= 0xEF) {
        length = 3, c = b[0] & 0x0F, least = 0x800;
    } else if (b[0] >= 0xF0 && b[0] <= 0xF4) {
        length = 4, c = b[0] & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (n < length) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((b[k] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (b[k] & 0x3F);
    }
    return c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? 0 : length;
}

// c as one UTF-16 unit, or two beyond U+FFFF; returns the position after them.
inline char16_t* PutUtf16(char16_t* out, char32_t c) {
    if (c < 0x10000) {
        *out++ = static_cast<char16_t>(c);
    } else {
        *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    return out;
}

// UTF-16 to UTF-8, for every caller: an unpaired surrogate, which no encoding can hold, becomes U+FFFD.
// Utf8Length is the exact number of bytes; PutUtf8 writes them from out, which has room for that many, and
// returns their end.
size_t Utf8Length(std::u16string_view text);
char* PutUtf8(std::u16string_view text, char* out);
// The same in one allocation of the exact size, written in place: nothing is given back on the way (a grown
// buffer would free a copy of a secret text).
Bytes ToUtf8(std::u16string_view text);
// Strict: false for anything but well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF), and text then wiped. A leading BOM is kept as the character it is.
bool FromUtf8(std::string_view bytes, Text& text);

}  // namespace base
