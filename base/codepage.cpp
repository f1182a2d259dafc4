// Windows-874 as Windows itself converts it, so files stay identical to what the platform would write.
// Blocks of ASCII and Thai letters convert sixteen at a time; everything else goes through the tables.
#include "base/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(_WIN32)
#error "The Windows builds require SSE2 (-msse2): the product runs on Windows 8 and later."
#endif

namespace base {
namespace {

constexpr std::array<char16_t, 256> BuildToUnicode() {
    std::array<char16_t, 256> t{};
    // Bytes without a character keep their own value (C1 range) or take the private-use stand-ins
    // Windows gives them, so that every byte survives a trip through text.
    for (int b = 0; b < 256; ++b) t[b] = static_cast<char16_t>(b);
    t[0x80] = 0x20AC;
    t[0x85] = 0x2026;
    constexpr char16_t quotes[] = {0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014};
    for (int k = 0; k < 7; ++k) t[0x91 + k] = quotes[k];
    for (int b = 0xA1; b <= 0xDA; ++b) t[b] = static_cast<char16_t>(0x0E01 + (b - 0xA1));
    for (int b = 0xDB; b <= 0xDE; ++b) t[b] = static_cast<char16_t>(0xF8C1 + (b - 0xDB));
    for (int b = 0xDF; b <= 0xFB; ++b) t[b] = static_cast<char16_t>(0x0E3F + (b - 0xDF));
    for (int b = 0xFC; b <= 0xFF; ++b) t[b] = static_cast<char16_t>(0xF8C5 + (b - 0xFC));
    return t;
}

constexpr std::array<char16_t, 256> kToUnicode = BuildToUnicode();

// Reverse lookup by the character's high byte; only four 256-entry pages hold any character.
// 0 in a page means "no byte" (byte 0 itself is ASCII and never looked up here).
struct ReversePages {
    std::array<unsigned char, 256> page[4]{};
};
constexpr int PageIndex(unsigned high) {
    return high == 0x00 ? 0 : high == 0x0E ? 1 : high == 0x20 ? 2 : high == 0xF8 ? 3 : -1;
}
constexpr ReversePages BuildReverse() {
    ReversePages r{};
    for (int b = 0x80; b < 256; ++b) {
        const char16_t c = kToUnicode[b];
        r.page[PageIndex(c >> 8)][c & 0xFF] = static_cast<unsigned char>(b);
    }
    return r;
}
constexpr ReversePages kReverse = BuildReverse();

constexpr size_t kBlock = 16;

// The Thai letters of both runs (U+0E01..U+0E3A, U+0E3F..U+0E5B) sit at a fixed distance from their bytes.
constexpr char16_t kThaiShift = 0x0D60;

#if defined(__SSE2__)
// Unsigned 16-bit comparisons through the signed ones.
inline __m128i Biased(__m128i v) { return _mm_xor_si128(v, _mm_set1_epi16(static_cast<short>(0x8000))); }
inline __m128i Below(__m128i biased, unsigned limit) {
    return _mm_cmplt_epi16(biased, _mm_set1_epi16(static_cast<short>(limit ^ 0x8000)));
}

// Eight units to eight bytes (in 16-bit lanes) when each is ASCII or a Thai letter; false otherwise.
inline bool EncodeLanes(__m128i v, __m128i& lanes) {
    const __m128i b = Biased(v);
    const __m128i ascii = Below(b, 0x80);
    const __m128i inBlock = _mm_andnot_si128(Below(b, 0x0E01), Below(b, 0x0E5C));
    const __m128i gap = _mm_andnot_si128(Below(b, 0x0E3B), Below(b, 0x0E3F));
    const __m128i thai = _mm_andnot_si128(gap, inBlock);
    if (_mm_movemask_epi8(_mm_or_si128(ascii, thai)) != 0xFFFF) return false;
    lanes =
        _mm_or_si128(_mm_and_si128(ascii, v),
                     _mm_and_si128(thai, _mm_sub_epi16(v, _mm_set1_epi16(static_cast<short>(kThaiShift)))));
    return true;
}

// Sixteen units to sixteen bytes, each combined with its pad byte when there is a pad.
inline bool EncodeBlock(const char16_t* s, const char* pad, char* out) {
    __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 8));
    const __m128i high = _mm_and_si128(_mm_or_si128(lo, hi), _mm_set1_epi16(static_cast<short>(0xFF80)));
    const bool ascii = _mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) == 0xFFFF;
    if (!ascii && (!EncodeLanes(lo, lo) || !EncodeLanes(hi, hi))) return false;
    __m128i bytes = _mm_packus_epi16(lo, hi);
    if (pad) bytes = _mm_xor_si128(bytes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pad)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    return true;
}

inline bool DecodeBlock(const unsigned char* s, const char* pad, char16_t* out) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    if (pad) v = _mm_xor_si128(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pad)));
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
    const int high = _mm_movemask_epi8(v);
    if (high != 0) {
        // Thai letters: bytes 0xA1..0xDA and 0xDF..0xFB; as signed bytes after flipping the top bit.
        const __m128i f = _mm_xor_si128(v, _mm_set1_epi8(static_cast<char>(0x80)));
        auto inRange = [&](int first, int last) {
            return _mm_and_si128(_mm_cmpgt_epi8(f, _mm_set1_epi8(static_cast<char>(first - 1))),
                                 _mm_cmplt_epi8(f, _mm_set1_epi8(static_cast<char>(last + 1))));
        };
        const __m128i thai = _mm_or_si128(inRange(0x21, 0x5A), inRange(0x5F, 0x7B));
        if (_mm_movemask_epi8(thai) != high) return false;
        const __m128i shift = _mm_set1_epi16(static_cast<short>(kThaiShift));
        lo = _mm_add_epi16(lo, _mm_and_si128(_mm_unpacklo_epi8(thai, thai), shift));
        hi = _mm_add_epi16(hi, _mm_and_si128(_mm_unpackhi_epi8(thai, thai), shift));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), hi);
    return true;
}
#else
inline bool EncodeBlock(const char16_t* s, const char* pad, char* out) {
    char16_t any = 0;
    for (size_t k = 0; k < kBlock; ++k) any |= s[k];
    if (any >= 0x80) return false;
    for (size_t k = 0; k < kBlock; ++k) out[k] = static_cast<char>(s[k] ^ (pad ? pad[k] : 0));
    return true;
}

inline bool DecodeBlock(const unsigned char* s, const char* pad, char16_t* out) {
    unsigned char v[kBlock];
    for (size_t k = 0; k < kBlock; ++k) v[k] = static_cast<unsigned char>(s[k] ^ (pad ? pad[k] : 0));
    uint64_t a, b;
    std::memcpy(&a, v, 8);
    std::memcpy(&b, v + 8, 8);
    if ((a | b) & 0x8080808080808080ULL) return false;
    for (size_t k = 0; k < kBlock; ++k) out[k] = v[k];
    return true;
}
#endif

void Encode(std::u16string_view text, const char* pad, char* out) {
    const char16_t* s = text.data();
    const size_t n = text.size();
    for (size_t i = 0; i < n; i += kBlock) {
        const char* blockPad = pad ? pad + i : nullptr;
        if (i + kBlock <= n && EncodeBlock(s + i, blockPad, out + i)) continue;
        for (size_t k = i; k < std::min(n, i + kBlock); ++k)
            out[k] = static_cast<char>(ByteOfChar(s[k]) ^ (pad ? pad[k] : 0));
    }
}

void Decode(std::string_view bytes, const char* pad, char16_t* out) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n; i += kBlock) {
        const char* blockPad = pad ? pad + i : nullptr;
        if (i + kBlock <= n && DecodeBlock(s + i, blockPad, out + i)) continue;
        for (size_t k = i; k < std::min(n, i + kBlock); ++k)
            out[k] = kToUnicode[static_cast<unsigned char>(s[k] ^ (pad ? pad[k] : 0))];
    }
}

}  // namespace

char16_t CharOfByte(unsigned char byte) { return kToUnicode[byte]; }

unsigned char ByteOfChar(char16_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    const int page = PageIndex(c >> 8);
    if (page < 0) return kUnmappable;
    const unsigned char b = kReverse.page[page][c & 0xFF];
    return b ? b : kUnmappable;
}

size_t FirstUnmappable(std::u16string_view text) {
    const size_t n = text.size();
    char skipped[kBlock];
    for (size_t i = 0; i < n; i += kBlock) {
        // A block of ASCII and Thai letters has nothing to ask about.
        if (i + kBlock <= n && EncodeBlock(text.data() + i, nullptr, skipped)) continue;
        for (size_t k = i; k < std::min(n, i + kBlock); ++k)
            if (text[k] >= 0x80 && ByteOfChar(text[k]) == kUnmappable) return k;
    }
    return std::u16string_view::npos;
}

void EncodeCodePage(std::u16string_view text, char* out) { Encode(text, nullptr, out); }
void DecodeCodePage(std::string_view bytes, char16_t* out) { Decode(bytes, nullptr, out); }
void EncodeCodePage(std::u16string_view text, const char* pad, char* out) { Encode(text, pad, out); }
void DecodeCodePage(std::string_view bytes, const char* pad, char16_t* out) { Decode(bytes, pad, out); }

Bytes ToCodePage(std::u16string_view text) {
    Bytes out(text.size(), '\0');
    EncodeCodePage(text, out.data());
    return out;
}

Text FromCodePage(std::string_view bytes) {
    Text out(bytes.size(), u'\0');
    DecodeCodePage(bytes, out.data());
    return out;
}

}  // namespace base
