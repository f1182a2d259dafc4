// The search primitives behind find next and replace all, checked against plain reference loops on many
// small random texts (alignment and block edges of the skip loop), plus words that defeat naive scanning.
#include "find/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <random>

#include "unit/copy_search.h"

namespace {

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

std::ptrdiff_t Reference(std::u16string_view text, std::size_t from, std::u16string_view word, bool fold) {
    if (word.empty()) return -1;
    for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < word.size() && (fold ? Fold(text[i + k]) == Fold(word[k]) : text[i + k] == word[k])) ++k;
        if (k == word.size()) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

Text RandomText(std::mt19937& rng, std::size_t size, std::u16string_view alphabet) {
    Text t(size, u' ');
    for (auto& c : t) c = alphabet[rng() % alphabet.size()];
    return t;
}

}  // namespace

TEST(Search, AgreesWithAPlainScanOnRandomTexts) {
    std::mt19937 rng(5);
    const std::u16string_view alphabets[] = {u"ab", u"aAbB", u"xyzXYZ\u0e01\u00e9 ", u"a\u0061\u0041[@`{"};
    for (int round = 0; round < 4000; ++round) {
        const auto alphabet = alphabets[round % 4];
        const Text text = RandomText(rng, rng() % 120, alphabet);
        const Text word = RandomText(rng, 1 + rng() % 4, alphabet);
        const std::size_t from = rng() % (text.size() + 3);
        ASSERT_EQ(find::FindExact(text, from, word), Reference(text, from, word, false))
            << "round " << round << " from " << from;
        ASSERT_EQ(find::FindIgnoreAsciiCase(text, from, word), Reference(text, from, word, true))
            << "round " << round << " from " << from;
    }
}

TEST(Search, FindsAtEveryOffsetOfALongRunUpToTheLastPossibleStart) {
    for (std::size_t at = 0; at < 100; ++at) {
        Text text(100, u'.');
        text[at] = u'Q';
        EXPECT_EQ(find::FindExact(text, 0, u"Q"), static_cast<std::ptrdiff_t>(at));
        EXPECT_EQ(find::FindIgnoreAsciiCase(text, 0, u"q"), static_cast<std::ptrdiff_t>(at));
        EXPECT_EQ(find::FindExact(text, at + 1, u"Q"), -1);
        // A word that would run past the end is not matched even when its start fits.
        EXPECT_EQ(find::FindExact(text, 0, u"Q."), at < 99 ? static_cast<std::ptrdiff_t>(at) : -1);
    }
}

TEST(Search, EmptyWordAndStartsPastTheEndFindNothing) {
    EXPECT_EQ(find::FindExact(u"abc", 0, u""), -1);
    EXPECT_EQ(find::FindExact(u"abc", 3, u"c"), -1);
    EXPECT_EQ(find::FindExact(u"abc", 4, u"c"), -1);
    EXPECT_EQ(find::FindExact(u"abc", 2, u"c"), 2);
    EXPECT_EQ(find::FindIgnoreAsciiCase(u"", 0, u"a"), -1);
    EXPECT_EQ(find::FindExact(u"ab", 0, u"abc"), -1);
}

TEST(Search, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(find::FindIgnoreAsciiCase(u"xx APPLE", 0, u"apple"), 3);
    EXPECT_EQ(find::FindIgnoreAsciiCase(u"[apple", 0, u"{"), -1);  // '[' and '{' are 32 apart but not letters
    EXPECT_EQ(find::FindIgnoreAsciiCase(u"@", 0, u"`"), -1);
    EXPECT_EQ(find::FindExact(u"Apple apple", 0, u"apple"), 6);
}

TEST(Search, WordsThatDefeatNaiveScanningStayLinear) {
    // A naive scan compares about 10000 units at each of 4 million starts; this takes seconds even then.
    const Text text(4'000'000, u'a');
    const Text word = Text(10'000, u'a') + u"b";
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(find::FindExact(text, 0, word), -1);
    EXPECT_EQ(find::FindIgnoreAsciiCase(text, 0, Text(10'000, u'A') + u"b"), -1);
    Text hay = text + u"b";
    EXPECT_EQ(find::FindExact(hay, 0, word), static_cast<std::ptrdiff_t>(hay.size() - word.size()));
    EXPECT_EQ(find::ReplaceAllExact(hay, word, u"!").size(), hay.size() - word.size() + 1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(seconds, 2.0);
}

TEST(Search, ReplaceAllAgreesWithALeftToRightReference) {
    std::mt19937 rng(9);
    for (int round = 0; round < 2000; ++round) {
        const Text text = RandomText(rng, rng() % 60, u"ab");
        const Text find = RandomText(rng, 1 + rng() % 3, u"ab");
        const Text replacement = RandomText(rng, rng() % 4, u"abc");
        Text want;
        std::size_t i = 0;
        while (i < text.size()) {
            if (text.compare(i, find.size(), find) == 0) {
                want += replacement;
                i += find.size();
            } else {
                want += text[i++];
            }
        }
        ASSERT_EQ(find::ReplaceAllExact(text, find, replacement), want) << "round " << round;
    }
    EXPECT_EQ(find::ReplaceAllExact(u"abc", u"", u"x"), u"abc");
}

// ---- the search over the box's text where it lies -------------------------------------------------------

namespace {

const copysearch::CasedLocale& Cased() {
    static const copysearch::CasedLocale locale;
    return locale;
}

// Deseret: a capital and its small letter, each a pair.
const Text kLongI = u"\U00010400", kLongISmall = u"\U00010428";

}  // namespace

TEST(InPlaceSearch, ForwardFromTheSelectionsEndAndBackwardBeforeItsStart) {
    struct Case {
        const char* what;
        Text text;
        std::size_t at;  // forward: the selection's end; backward: its start
        Text word;
        bool matchCase, backward;
        std::ptrdiff_t want;
    } cases[] = {
        {"the next one", u"Apple apple", 1, u"apple", false, false, 6},
        {"matching case skips the other spelling", u"Apple apple", 0, u"apple", true, false, 6},
        {"ignoring case takes it", u"Apple apple", 0, u"APPLE", false, false, 0},
        {"none after the selection", u"Apple apple", 7, u"apple", false, false, -1},
        {"none at all", u"Apple apple", 0, u"pear", false, false, -1},
        {"a start past the end", u"abc", 4, u"c", false, false, -1},
        {"a match the selection's end cuts is skipped", u"abcabc", 1, u"abc", true, false, 3},
        {"and the last one too", u"abcabc", 4, u"abc", true, false, -1},
        {"a match that starts at the selection's end", u"abcabc", 3, u"abc", true, false, 3},
        {"backward: the last one before", u"abc abc abc", 11, u"abc", true, true, 8},
        {"backward: one the selection's start cuts is skipped", u"abc abc abc", 10, u"abc", true, true, 4},
        {"backward: ending right at the start", u"abc abc abc", 7, u"abc", true, true, 4},
        {"backward: case ignored", u"ABC abc Abc", 7, u"aBc", false, true, 4},
        {"backward: matching case", u"ABC abc Abc", 11, u"ABC", true, true, 0},
        {"backward: none before", u"xyz abc", 6, u"abc", false, true, -1},
        {"backward: a start past the end is the end", u"abc", 40, u"bc", true, true, 1},
        {"the Kelvin sign is a k", u"the \u212Aelvin", 0, u"kelvin", false, false, 4},
        {"and k one", u"the kelvin", 0, u"\u212A", false, false, 4},
        {"but not matching case", u"the \u212Aelvin", 0, u"kelvin", true, false, -1},
        {"I with a dot is an i", u"\u0130stanbul", 0, u"ISTANBUL", false, false, 0},
        {"Greek capitals", u"\u03a3\u039f\u03a6\u0399\u0391", 0, u"\u03c3\u03bf\u03c6\u03b9\u03b1", false,
         false, 0},
        {"seven spellings of x", u"a\uFF38b x\u24CDb", 0, u"xxb", false, false, 4},
        {"and backwards", u"a\uFF38\u2179b x\u24CDb", 4, u"XXB", false, true, 1},
        {"Thai has no case", u"\u0e44\u0e17\u0e22 \u0e44\u0e17\u0e22", 1, u"\u0e44\u0e17\u0e22", false, false,
         4},
        {"a pair: the capital for its small letter", u"a" + kLongI + u"b", 0, kLongISmall + u"b", false,
         false, 1},
        {"a pair: matching case", u"a" + kLongI + u"b", 0, kLongISmall, true, false, -1},
        {"a pair backwards", kLongI + u"a" + kLongISmall, 5, kLongI, false, true, 3},
        {"a pair the selection's start cuts", kLongI + u"a" + kLongISmall, 4, kLongI, false, true, 0},
        // From the selection's end the text is read as if it began there: a low half is then alone.
        {"a pair the selection's end cuts", kLongI + kLongI, 1, kLongISmall.substr(1), false, false, 3},
        {"its low half alone is itself", kLongI + kLongI, 1, kLongI.substr(1), false, false, 1},
        {"a low half after its high half", u"a" + kLongI, 0, kLongISmall.substr(1), false, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const find::CaseFold fold(Cased(), c.word);
        const find::CaseFold* f = c.matchCase ? nullptr : &fold;
        const copysearch::CasedLocale* locale = c.matchCase ? nullptr : &Cased();
        if (c.backward) {
            EXPECT_EQ(find::FindPrevious(c.text, c.at, c.word, f), c.want);
            EXPECT_EQ(copysearch::FindPreviousOnACopy(c.text, c.at, c.word, locale), c.want);
        } else {
            EXPECT_EQ(find::FindNext(c.text, c.at, c.word, f), c.want);
            EXPECT_EQ(copysearch::FindNextOnACopy(c.text, c.at, c.word, locale), c.want);
        }
    }
}

TEST(InPlaceSearch, AgreesWithTheSearchOnALoweredCopyOnRandomTexts) {
    std::mt19937 rng(11);
    const std::u16string_view alphabets[] = {u"aA", u"xX\u24CD\uFF38\uFF58\u0445\u2179b",
                                             u"kK\u212Ai\u0130I \u00e5\u212B\u00c5",
                                             u"ab\xD801\xDC00\xDC28\xD802", u"\u03a3\u03c3\u03c2 \u0e01"};
    Text word;
    std::optional<find::CaseFold> folds;
    for (int round = 0; round < 8000; ++round) {
        const auto alphabet = alphabets[round / 8 % 5];
        // A word, with the tables of its search, for eight texts.
        if (round % 8 == 0) {
            word = RandomText(rng, 1 + rng() % 4, alphabet);
            folds.emplace(Cased(), word);
        }
        const find::CaseFold& fold = *folds;
        const Text text = RandomText(rng, rng() % 100, alphabet);
        const std::size_t at = rng() % (text.size() + 3);
        ASSERT_EQ(find::FindNext(text, at, word, &fold),
                  copysearch::FindNextOnACopy(text, at, word, &Cased()))
            << "round " << round << " from " << at;
        ASSERT_EQ(find::FindNext(text, at, word, nullptr),
                  copysearch::FindNextOnACopy(text, at, word, nullptr))
            << "round " << round << " from " << at;
        ASSERT_EQ(find::FindPrevious(text, at, word, &fold),
                  copysearch::FindPreviousOnACopy(text, at, word, &Cased()))
            << "round " << round << " before " << at;
        ASSERT_EQ(find::FindPrevious(text, at, word, nullptr),
                  copysearch::FindPreviousOnACopy(text, at, word, nullptr))
            << "round " << round << " before " << at;
    }
}

TEST(InPlaceSearch, WordsThatDefeatNaiveScanningBackwardsFinishAndFindTheRightPlace) {
    // About 10000 comparisons at each of 4 million starts, were every candidate compared in full.
    // (Made by assignment: GCC 12 warns falsely, -Wrestrict, on a literal added to a long text.)
    Text text(4'000'000, u'a'), word(10'001, u'a'), upper(10'001, u'A');
    word[0] = u'b';
    upper[0] = u'B';
    EXPECT_EQ(find::FindPrevious(text, text.size(), word, nullptr), -1);
    const find::CaseFold fold(Cased(), word);
    EXPECT_EQ(find::FindPrevious(text, text.size(), upper, &fold), -1);
    text[1000] = u'B';
    EXPECT_EQ(find::FindPrevious(text, text.size(), word, &fold), 1000);
    std::reverse(word.begin(), word.end());
    EXPECT_EQ(find::FindNext(text, 0, word, &fold), -1);
    EXPECT_EQ(find::FindNext(text, 0, word.substr(10'001 - 1000), &fold), 1);
}

TEST(InPlaceSearch, ALocaleThatLowersAUnitIntoTwoLeavesThatUnitAsItIs) {
    // U+1E9E (capital sharp s) as "ss": the table is read unit by unit, and that one stays.
    struct Expanding : copysearch::CasedLocale {
        Text LowerCase(std::u16string_view text) const override {
            Text out;
            for (const char16_t c : text) out += c == 0x1E9E ? Text(u"ss") : Text(1, Lower(c));
            return out;
        }
    } locale;
    const find::CaseFold fold(locale, u"strasse");
    EXPECT_EQ(find::FindNext(u"STRASSE stra\u1E9Ee", 1, u"strasse", &fold), -1);
    EXPECT_EQ(find::FindNext(u"STRASSE stra\u1E9Ee", 0, u"strasse", &fold), 0);
    EXPECT_EQ(find::FindNext(u"STRA\u1E9EE stra\u1E9Ee", 1, u"stra\u1E9Ee", &fold), 7);
    EXPECT_EQ(fold.Unit(0x1E9E), 0x1E9E);
    EXPECT_EQ(fold.Unit(u'K'), u'k');
}
