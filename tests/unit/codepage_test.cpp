#include "protect/codepage.h"

#include <gtest/gtest.h>

#include <set>

namespace {

Bytes AllBytes() {
    Bytes b(256, '\0');
    for (int i = 0; i < 256; ++i) b[i] = static_cast<char>(i);
    return b;
}

}  // namespace

TEST(CodePage, EveryByteSurvivesATripThroughTextAndTheCharactersAreDistinct) {
    const Text text = d1::FromCodePage(AllBytes());
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(d1::ToCodePage(text), AllBytes());
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
        EXPECT_EQ(d1::CharOfByte(a.byte), a.c) << int(a.byte);
        EXPECT_EQ(d1::ByteOfChar(a.c), a.byte) << int(a.byte);
    }
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeAQuestionMarkEach) {
    // U+0080 and U+0085 belong to no byte (those bytes carry the euro sign and the ellipsis); U+0E3B is
    // a gap in the Thai block; a surrogate pair is two units, so two marks.
    const Text text = u"\u00e9\u0080\u0085\u0e3b\u20ad\U0001F600x";
    EXPECT_EQ(d1::ToCodePage(text), "???????x");
}

TEST(CodePage, BlockFastPathAgreesWithTheTableAtEveryLengthAndPosition) {
    // One non-ASCII character placed at every position of texts around the block size.
    for (size_t length = 1; length <= 40; ++length) {
        for (size_t at = 0; at < length; ++at) {
            Text text(length, u'a');
            text[at] = u'\u0e01';
            Bytes expected(length, 'a');
            expected[at] = static_cast<char>(0xA1);
            ASSERT_EQ(d1::ToCodePage(text), expected) << length << " " << at;
            ASSERT_EQ(d1::FromCodePage(expected), text) << length << " " << at;
        }
    }
}

TEST(CodePage, EmptyStaysEmpty) {
    EXPECT_EQ(d1::ToCodePage(u""), "");
    EXPECT_EQ(d1::FromCodePage(""), u"");
}
