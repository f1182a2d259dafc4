#include "base/codepage.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

Bytes AllBytes() {
    Bytes b(256, '\0');
    for (int i = 0; i < 256; ++i) b[i] = static_cast<char>(i);
    return b;
}

}  // namespace

TEST(CodePage, EveryByteSurvivesATripThroughTextAndTheCharactersAreDistinct) {
    const Text text = base::FromCodePage(AllBytes());
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(base::ToCodePage(text), AllBytes());
    EXPECT_EQ(std::set<char16_t>(text.begin(), text.end()).size(), 256u);
}

TEST(CodePage, MatchesWindows874) {
    struct {
        unsigned char byte;
        char16_t c;
    } const anchors[] = {{0x41, u'A'},   {0x7F, 0x7F},   {0x80, 0x20AC}, {0x81, 0x0081}, {0x85, 0x2026},
                         {0x91, 0x2018}, {0x97, 0x2014}, {0x98, 0x0098}, {0xA0, 0x00A0}, {0xA1, 0x0E01},
                         {0xDA, 0x0E3A}, {0xDB, 0xF8C1}, {0xDE, 0xF8C4}, {0xDF, 0x0E3F}, {0xFB, 0x0E5B},
                         {0xFC, 0xF8C5}, {0xFF, 0xF8C8}};
    for (const auto& a : anchors) {
        EXPECT_EQ(base::CharOfByte(a.byte), a.c) << int(a.byte);
        EXPECT_EQ(base::ByteOfChar(a.c), a.byte) << int(a.byte);
    }
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeAQuestionMarkEach) {
    // U+0080 and U+0085 belong to no byte (those bytes carry the euro sign and the ellipsis); U+0E3B is
    // a gap in the Thai block; a surrogate pair is two units, so two marks.
    const Text text = u"\u00e9\u0080\u0085\u0e3b\u20ad\U0001F600x";
    EXPECT_EQ(base::ToCodePage(text), "???????x");
}

// Blocks of ASCII and Thai letters are converted sixteen at a time; every other character, placed anywhere
// in such a block or in the tail after the last block, must come out as the single-character tables say.
TEST(CodePage, BlockConversionAgreesWithTheTablesEverywhere) {
    std::vector<char16_t> probes;
    for (int b = 0; b < 256; ++b) probes.push_back(base::CharOfByte(static_cast<unsigned char>(b)));
    for (char16_t c : {0x0080, 0x00FF, 0x0100, 0x0D60, 0x0DFF, 0x0E00, 0x0E3B, 0x0E3E, 0x0E5C, 0x0E7F, 0x7FFF,
                       0x8000, 0xD83D, 0xF8C0, 0xF8C9, 0xFFFF})
        probes.push_back(c);
    const Text background =
        u"aกข z\u0e3a\u0e3f\u0e5b\r\n9ฮ~\u0e01Bเ";  // ASCII and Thai letters, edges included
    for (size_t length : {16u, 17u, 31u, 32u, 33u}) {
        Text base;
        while (base.size() < length) base += background;
        base.resize(length);
        for (char16_t probe : probes) {
            for (size_t at = 0; at < length; ++at) {
                Text text = base;
                text[at] = probe;
                Bytes expected;
                for (char16_t c : text) expected += static_cast<char>(base::ByteOfChar(c));
                ASSERT_EQ(base::ToCodePage(text), expected) << length << " " << int(probe) << " " << at;
                Text back;
                for (unsigned char b : expected) back += base::CharOfByte(b);
                ASSERT_EQ(base::FromCodePage(expected), back) << length << " " << int(probe) << " " << at;
            }
        }
    }
}

TEST(CodePage, PaddedConversionIsTheConversionCombinedWithThePad) {
    Text text;
    for (int i = 0; i < 300; ++i) text += i % 3 ? u'a' + i % 26 : 0x0E01 + i % 0x3A;
    text[100] = 0x00E9;
    Bytes pad(text.size(), '\0');
    for (size_t i = 0; i < pad.size(); ++i) pad[i] = static_cast<char>(i * 37 + 11);
    Bytes masked(text.size(), '\0');
    base::EncodeCodePage(text, pad.data(), masked.data());
    Bytes expected = base::ToCodePage(text);
    for (size_t i = 0; i < expected.size(); ++i) expected[i] ^= pad[i];
    EXPECT_EQ(masked, expected);
    Text back(text.size(), u'\0');
    base::DecodeCodePage(masked, pad.data(), back.data());
    EXPECT_EQ(back, base::FromCodePage(base::ToCodePage(text)));
}

TEST(CodePage, EmptyStaysEmpty) {
    EXPECT_EQ(base::ToCodePage(u""), "");
    EXPECT_EQ(base::FromCodePage(""), u"");
}
