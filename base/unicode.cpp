#include "base/unicode.h"

#include <cstdint>
#include <cstring>

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

// The UTF-16 units that well-formed UTF-8 bytes make: one a byte that is no continuation byte, and one more
// a four-byte lead. For other bytes an upper bound of what FromUtf8 writes before it gives up.
size_t Utf16Units(const unsigned char* b, size_t n) {
    constexpr uint64_t kHigh = 0x8080808080808080ULL;
    size_t units = n, i = 0;
    for (uint64_t w; n - i >= 8; i += 8) {
        std::memcpy(&w, b + i, 8);
        if ((w & kHigh) == 0) continue;
        const uint64_t continuation = w & ~(w << 1) & kHigh;                   // 10xxxxxx
        const uint64_t fourByte = w & (w << 1) & (w << 2) & (w << 3) & kHigh;  // 1111xxxx
        units = units - static_cast<size_t>(__builtin_popcountll(continuation)) +
                static_cast<size_t>(__builtin_popcountll(fourByte));
    }
    for (; i < n; ++i) units = units - ((b[i] & 0xC0) == 0x80) + (b[i] >= 0xF0);
    return units;
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
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    // Sized exactly, in one allocation: a buffer of one unit a byte would hold twice what three-byte Thai
    // needs for as long as the document is open, and a grown one would free a copy of a secret text.
    text.clear();
    text.resize(Utf16Units(b, n));
    char16_t* out = text.data();
    const auto fail = [&] {
        // What was read so far may be secret.
        for (volatile char16_t* p = text.data(); p != out; ++p) *p = 0;
        text.clear();
        return false;
    };
    for (size_t i = 0; i < n;) {
        if (b[i] < 0x80) {
            // Runs of ASCII, eight bytes at a time.
            uint64_t word;
            while (n - i >= 8 && (std::memcpy(&word, b + i, 8), (word & 0x8080808080808080ULL) == 0)) {
                for (int k = 0; k < 8; ++k) out[k] = b[i + k];
                out += 8;
                i += 8;
            }
            while (i < n && b[i] < 0x80) *out++ = b[i++];
            continue;
        }
        // Well-formed three-byte characters (Thai, most of the BMP) go straight through.
        const size_t from = i;
        while (n - i >= 3 && (b[i] & 0xF0) == 0xE0 && (b[i + 1] & 0xC0) == 0x80 &&
               (b[i + 2] & 0xC0) == 0x80) {
            const char16_t c =
                static_cast<char16_t>(((b[i] & 0x0F) << 12) | ((b[i + 1] & 0x3F) << 6) | (b[i + 2] & 0x3F));
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return fail();
            *out++ = c;
            i += 3;
        }
        if (i != from) continue;
        char32_t c = 0;
        const size_t length = ReadUtf8(b + i, n - i, c);
        if (length == 0) return fail();
        out = PutUtf16(out, c);
        i += length;
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return true;
}

}  // namespace base
