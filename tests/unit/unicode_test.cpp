// UTF-8 as sealed documents and query strings hold it.
#include "base/unicode.h"

#include <gtest/gtest.h>

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
