// Test-only: UTF-16 to UTF-8 one code point at a time, with no fast path, as the reference the codec and the
// document encoder are held to; and the document's own changes (the NUL symbol as NUL, CR LF as one break).
#pragma once
#include <string_view>

#include "platform/ports.h"

namespace reference {

inline Bytes Utf8(std::u16string_view text) {
    Bytes out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (high || low) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                    static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return out;
}

// The text as a document writes it before its encoding: U+2400 as U+0000, and CR LF as lone (0: kept).
inline Text Written(std::u16string_view text, char16_t lone) {
    Text out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\u2400') {
            out += u'\0';
        } else if (lone && text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out += lone;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace reference
