// Windows-874 as Windows itself converts it, so files stay identical to what the platform would write.
// Plain ASCII runs take a block path; everything else goes through the tables.
#include "protect/codepage.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace d1 {
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

}  // namespace

char16_t CharOfByte(unsigned char byte) { return kToUnicode[byte]; }

unsigned char ByteOfChar(char16_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    const int page = PageIndex(c >> 8);
    if (page < 0) return kUnmappable;
    const unsigned char b = kReverse.page[page][c & 0xFF];
    return b ? b : kUnmappable;
}

void EncodeCodePage(std::u16string_view text, char* out) {
    const char16_t* s = text.data();
    const size_t n = text.size();
    size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        char16_t any = 0;
        for (size_t k = 0; k < kBlock; ++k) any |= s[i + k];
        if (any < 0x80) {
            for (size_t k = 0; k < kBlock; ++k) out[i + k] = static_cast<char>(s[i + k]);
        } else {
            for (size_t k = 0; k < kBlock; ++k) out[i + k] = static_cast<char>(ByteOfChar(s[i + k]));
        }
    }
    for (; i < n; ++i) out[i] = static_cast<char>(ByteOfChar(s[i]));
}

void DecodeCodePage(std::string_view bytes, char16_t* out) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        uint64_t a, b;
        std::memcpy(&a, s + i, 8);
        std::memcpy(&b, s + i + 8, 8);
        if (((a | b) & 0x8080808080808080ULL) == 0) {
            for (size_t k = 0; k < kBlock; ++k) out[i + k] = s[i + k];
        } else {
            for (size_t k = 0; k < kBlock; ++k) out[i + k] = kToUnicode[s[i + k]];
        }
    }
    for (; i < n; ++i) out[i] = kToUnicode[s[i]];
}

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

}  // namespace d1
