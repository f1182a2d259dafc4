// The locale adapter's lower case against the platform's, what the search's tables assume of it, and the
// search that ignores case over the real locale against the search of a lowered copy.
#include <windows.h>

#include <gtest/gtest.h>

#include "find/search.h"
#include "unit/copy_search.h"
#include "win32/locale_win.h"

namespace {

bool IsSurrogate(std::size_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

TEST(LocaleLowerCase, LowersAsThePlatformDoes) {
    const Win32Locale locale;
    EXPECT_EQ(locale.LowerCase(u"Apple CAF\u00c9 \u0e44\u0e17\u0e22 \u03a3"),
              u"apple caf\u00e9 \u0e44\u0e17\u0e22 \u03c3");
    EXPECT_EQ(locale.LowerCase(u""), u"");
    EXPECT_EQ(locale.LowerCase(u"\U00010400x"), u"\U00010428x");  // a Deseret capital, a pair
}

// The search reads the locale's lower case unit by unit from a table of the whole plane, and pairs by their
// high half: that holds only if the locale lowers each unit as it would inside any text, and keeps the high
// half of every pair.
TEST(LocaleLowerCase, EachUnitLowersAsInAWholeTextAndEveryPairKeepsItsHighHalf) {
    const Win32Locale locale;
    Text units;
    for (std::size_t c = 1; c < 0x10000; ++c)
        if (!IsSurrogate(c)) units += static_cast<char16_t>(c);
    const Text whole = locale.LowerCase(units);
    ASSERT_EQ(whole.size(), units.size());
    std::size_t lowered = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Text one = locale.LowerCase(units.substr(i, 1));
        ASSERT_EQ(one, whole.substr(i, 1)) << std::hex << static_cast<unsigned>(units[i]);
        lowered += whole[i] != units[i];
    }
    EXPECT_GT(lowered, 1000u);  // the platform does lower far more than A-Z

    Text pairs;
    for (std::size_t h = 0xD800; h < 0xDC00; ++h) {
        for (std::size_t l = 0xDC00; l < 0xE000; ++l) {
            pairs += static_cast<char16_t>(h);
            pairs += static_cast<char16_t>(l);
        }
    }
    const Text low = locale.LowerCase(pairs);
    ASSERT_EQ(low.size(), pairs.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        ASSERT_EQ(low[i], pairs[i]) << std::hex << static_cast<unsigned>(pairs[i]) << " "
                                    << static_cast<unsigned>(pairs[i + 1]);
        changed += low[i + 1] != pairs[i + 1];
    }
    EXPECT_GT(changed, 0u);  // some pairs are cased letters
}

TEST(LocaleFind, TheSearchIgnoringCaseFindsWhatTheLocaleLowersAlike) {
    const Win32Locale locale;
    const struct {
        Text text;
        std::size_t from;
        Text word;
        std::ptrdiff_t want;
    } cases[] = {
        {u"Apple apple", 0, u"apple", 0},
        {u"Apple apple", 1, u"APPLE", 6},
        {u"Apple apple", 7, u"apple", -1},
        {u"Apple apple", 12, u"apple", -1},  // a start past the end
        {u"abc", 0, u"", -1},
        {u"CAF\u00c9 caf\u00e9", 1, u"caf\u00e9", 5},
        {u"x \u0e44\u0e17\u0e22 y", 0, u"\u0e44\u0e17\u0e22", 2},
        {u"ab", 0, u"abc", -1},
        {u"the \u212Aelvin", 0, u"KELVIN", 4},
        {u"\u03a3\u039f\u03a6\u0399\u0391", 0, u"\u03c3\u03bf\u03c6\u03b9\u03b1", 0},
        {u"x\U00010400y", 0, u"\U00010428Y", 1},
        {u"x\U00010400y", 2, u"\U00010428", -1},  // from the low half on, which is then alone
    };
    for (const auto& c : cases) {
        const find::CaseFold fold(locale, c.word);
        EXPECT_EQ(find::FindNext(c.text, c.from, c.word, &fold), c.want);
        EXPECT_EQ(copysearch::FindNextOnACopy(c.text, c.from, c.word, &locale), c.want);
    }
}
