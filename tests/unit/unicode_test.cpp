// UTF-8 as sealed documents and query strings hold it.
#include "base/unicode.h"

#include <gtest/gtest.h>

#include <vector>

#include "unit/utf8_reference.h"

TEST(Utf8, HoldsEveryCharacterAndRefusesMalformedBytes) {
    const Text all = Text(u"A\u00e9\u0e01\u6f22\U0001F510\uFFFF\uFEFF") + u'\0' + u'z';
    const Bytes bytes = base::ToUtf8(all);
    EXPECT_EQ(bytes, Bytes("A\xC3\xA9\xE0\xB8\x81\xE6\xBC\xA2\xF0\x9F\x94\x90\xEF\xBF\xBF\xEF\xBB\xBF", 19) +
                         Bytes(1, '\0') + "z");
    Text back;
    ASSERT_TRUE(base::FromUtf8(bytes, back));
    EXPECT_EQ(back, all);
    // An unpaired surrogate has no UTF-8 form.
    EXPECT_EQ(base::ToUtf8(Text{u'\xD800', u'x', u'\xDC00'}), "\xEF\xBF\xBDx\xEF\xBF\xBD");
    for (const Bytes bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE0\xB8",
                            "\x80", "\xF8\x88\x80\x80\x80", "ok\xC3"}) {
        Text t;
        EXPECT_FALSE(base::FromUtf8(bad, t)) << bad;
    }
}

// The codec's fast paths (eight units at a time, their lengths counted in lanes summed now and then) against
// the reference: every kind of character at every offset of the first blocks, and runs long enough for the
// lanes to be summed more than once. The same bytes, as many as Utf8Length says, in a result of that size
// (a buffer grown or of three bytes a unit would hold more), none written past them.
TEST(Utf8, EveryCharacterAtEveryOffsetEncodesAsTheReferenceInExactlyItsLength) {
    const Text kinds[] = {u"\u00e9",
                          u"\u0e01",
                          u"\uFFFF",
                          u"\U0001F510",
                          Text(1, u'\xD800'),
                          Text(1, u'\xDC00'),
                          Text{u'\xDBFF', u'\xDBFF', u'\xDC00'},
                          Text{u'\xDC00', u'\xD800'}};
    std::vector<Text> texts;
    for (const Text& kind : kinds) {
        for (size_t at = 0; at <= 17; ++at) {
            texts.push_back(Text(at, u'a') + kind + u"ascii after it");
            texts.push_back(Text(at, u'\u0e01') + kind);
        }
    }
    texts.push_back(Text(200000, u'a') + Text(100000, u'\u00e9') + Text(200000, u'\u0e01') + u"\U0001F510");
    texts.push_back(Text(70000, u'\u0e01') + Text(1, u'\xD800') + Text(70000, u'z'));
    for (const Text& text : texts) {
        SCOPED_TRACE(testing::Message() << text.size() << " units, from " << static_cast<int>(text[0])
                                        << " to " << static_cast<int>(text.back()));
        const Bytes expected = reference::Utf8(text);
        EXPECT_EQ(base::Utf8Length(text), expected.size());
        const Bytes bytes = base::ToUtf8(text);
        EXPECT_EQ(bytes, expected);
        if (bytes.size() > Bytes().capacity()) {
            EXPECT_EQ(bytes.capacity(), bytes.size());
        }
        Bytes buffer(expected.size() + 8, '#');
        EXPECT_EQ(base::PutUtf8(text, buffer.data()) - buffer.data(),
                  static_cast<ptrdiff_t>(expected.size()));
        EXPECT_EQ(buffer.substr(expected.size()), "########");
    }
}

// What the save asks about: a surrogate without its other half, wherever it stands; pairs are characters.
TEST(Utf16, FindsTheFirstUnpairedSurrogateAndPassesOverPairs) {
    constexpr size_t npos = std::u16string_view::npos;
    const std::pair<Text, size_t> cases[] = {
        {u"", npos},
        {u"plain \u0e01", npos},
        {u"\U0001F600\U0001F600", npos},
        {Text{u'a', u'\xD83D'}, 1},                        // a high one at the end
        {Text{u'\xDE00', u'\xD83D', u'\xDE00'}, 0},        // a low one first
        {Text{u'\xD83D', u'\xD83D', u'\xDE00'}, 0},        // high, then a pair
        {Text{u'\xD83D', u'\xDE00', u'\xDE00', u'x'}, 2},  // a pair, then a low one
        {Text{u'x', u'\xDBFF', u'y', u'\xDC00'}, 1},       // halves apart
    };
    for (const auto& [text, first] : cases) EXPECT_EQ(base::FirstUnpairedSurrogate(text), first);
}
