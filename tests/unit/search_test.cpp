// The search primitives behind find next and replace all, checked against plain reference loops on many
// small random texts (alignment and block edges of the skip loop), plus words that defeat naive scanning.
#include "find/search.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

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
