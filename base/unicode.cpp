#include "base/unicode.h"

#include "base/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

size_t FirstUnpairedSurrogate(std::u16string_view text) {
    size_t i = 0;
#if defined(__SSE2__)
    // Eight units at a time up to the first surrogate of any kind: most texts have none.
    const __m128i mask = _mm_set1_epi16(static_cast<short>(0xF800)),
                  surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask), surrogate))) break;
    }
#endif
    for (; i < text.size(); ++i) {
        if (IsSurrogatePair(text, i)) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

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
    // Never more units than bytes: one allocation, none grown (the text may be secret).
    text.clear();
    text.resize(bytes.size());
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t* out = text.data();
    for (size_t i = 0, n = bytes.size(); i < n;) {
        if (b[i] < 0x80) {
            *out++ = b[i++];
            continue;
        }
        char32_t c = 0;
        const size_t length = ReadUtf8(b + i, n - i, c);
        if (length == 0) {
            Wipe(text);  // what was read so far may be secret
            return false;
        }
        out = PutUtf16(out, c);
        i += length;
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return true;
}

}  // namespace base
