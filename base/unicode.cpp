#include "base/unicode.h"

namespace base {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

void PutUtf8(Bytes& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The exact length, so that the result is never reallocated: a grown buffer would leave a copy of secret text
// (a sealed document, a password) in the memory it gave back.
size_t Utf8Length(std::u16string_view text) {
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsSurrogatePair(text, i)) {
            n += 4;
            ++i;
        } else {
            n += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;  // an unpaired surrogate becomes U+FFFD, three bytes
        }
    }
    return n;
}

}  // namespace

Bytes ToUtf8(std::u16string_view text) {
    Bytes out;
    out.reserve(Utf8Length(text));
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsSurrogatePair(text, i)) {
            PutUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            PutUtf8(out, IsHighSurrogate(c) || IsLowSurrogate(c) ? kReplacement : c);
        }
    }
    return out;
}

bool FromUtf8(std::string_view bytes, Text& text) {
    text.clear();
    text.reserve(bytes.size());
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const unsigned char lead = b[i];
        if (lead < 0x80) {
            text += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        size_t length = 0;
        char32_t c = 0, least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, c = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, c = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, c = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (n - i < length) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((b[i + k] & 0xC0) != 0x80) return false;
            c = (c << 6) | (b[i + k] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        if (c >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(c);
        }
        i += length;
    }
    return true;
}

}  // namespace base
