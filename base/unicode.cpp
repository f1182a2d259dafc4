#include "base/unicode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace base {

namespace {

char* PutThree(char* o, char32_t c) {
    *o++ = static_cast<char>(0xE0 | (c >> 12));
    *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *o++ = static_cast<char>(0x80 | (c & 0x3F));
    return o;
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

size_t Utf8Length(std::u16string_view text) {
    const size_t n = text.size();
    size_t bytes = 0, i = 0;
    while (i < n) {
        size_t stop = n;
#if defined(__SSE2__)
        // Eight units at a time up to a surrogate: three bytes a unit, one less below U+0800 and another
        // below U+0080. The lanes count the ones less (as -1 each), two at most a round, and are summed every
        // kRounds rounds, before they can overflow.
        constexpr size_t kRounds = 8192;
        const __m128i ascii = _mm_set1_epi16(static_cast<short>(0xFF80)),
                      narrow = _mm_set1_epi16(static_cast<short>(0xF800)),
                      surrogate = _mm_set1_epi16(static_cast<short>(0xD800)), zero = _mm_setzero_si128();
        while (i + 8 <= n) {
            __m128i less = zero;
            const size_t from = i, last = std::min(n - 8, i + 8 * kRounds);
            for (; i <= last; i += 8) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
                const __m128i top = _mm_and_si128(v, narrow);
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(top, surrogate))) break;
                less = _mm_add_epi16(less, _mm_cmpeq_epi16(top, zero));
                less = _mm_add_epi16(less, _mm_cmpeq_epi16(_mm_and_si128(v, ascii), zero));
            }
            alignas(16) int32_t sums[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(sums), _mm_madd_epi16(less, _mm_set1_epi16(1)));
            bytes += 3 * (i - from) - static_cast<size_t>(-(sums[0] + sums[1] + sums[2] + sums[3]));
            if (i <= last) break;  // a surrogate
        }
        stop = std::min(n, i + 8);
#endif
        for (; i < stop; ++i) {
            const char16_t c = text[i];
            if (IsSurrogatePair(text, i)) {
                bytes += 4;
                ++i;
            } else {
                bytes += c < 0x80    ? 1
                         : c < 0x800 ? 2
                                     : 3;  // an unpaired surrogate becomes U+FFFD, three bytes
            }
        }
    }
    return bytes;
}

char* PutUtf8(std::u16string_view text, char* o) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    while (p != end) {
        if (*p < 0x80) {
#if defined(__SSE2__)
            // Runs of ASCII, eight units at a time.
            const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
            while (end - p >= 8) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) != 0xFFFF)
                    break;
                _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(v, v));
                p += 8;
                o += 8;
            }
#endif
            while (p != end && *p < 0x80) *o++ = static_cast<char>(*p++);
            continue;
        }
        // The rest one unit at a time, up to the next ASCII one (a three-byte character stored as one word
        // measured no faster).
        do {
            const char32_t c = *p++;
            if (c < 0x800) {
                *o++ = static_cast<char>(0xC0 | (c >> 6));
                *o++ = static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0xD800 || c > 0xDFFF) {
                o = PutThree(o, c);
            } else if (c <= 0xDBFF && p != end && IsLowSurrogate(*p)) {
                const char32_t cp = 0x10000 + ((c - 0xD800) << 10) + (char32_t(*p++) - 0xDC00);
                *o++ = static_cast<char>(0xF0 | (cp >> 18));
                *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
                *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                *o++ = static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                o = PutThree(o, 0xFFFD);
            }
        } while (p != end && *p >= 0x80);
    }
    return o;
}

Bytes ToUtf8(std::u16string_view text) {
    Bytes out(Utf8Length(text), '\0');
    PutUtf8(text, out.data());
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
