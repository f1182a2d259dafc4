// Text-level pieces of find and replace: word characters, the word around an offset, searching, replace all.
// Pure functions on UTF-16 text, so the window-free operations and the benchmarks share them.
#include "find/search.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace find {

bool IsWordChar(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'+' ||
           c == u'-';
}

int64_t Qspace(std::u16string_view t) {
    for (std::size_t i = 0; i < t.size(); ++i)
        if (!IsWordChar(t[i])) return static_cast<int64_t>(i) + 1;
    return 0;
}

void FLText(std::u16string_view text, int64_t p, int64_t& start, int64_t& end) {
    const auto size = static_cast<int64_t>(text.size());
    if (p == 0) p = 1;
    p = std::clamp<int64_t>(p, 0, size);
    const int64_t q = Qspace(text.substr(static_cast<std::size_t>(p)));
    end = q > 0 ? p + q - 1 : size;
    // The nearest non-word character before p, as Qspace would find it in the reversed prefix,
    // without copying a prefix that may be the whole document.
    start = 0;
    for (int64_t i = p - 1; i >= 0; --i) {
        if (!IsWordChar(text[static_cast<std::size_t>(i)])) {
            start = i + 1;
            break;
        }
    }
}

namespace {

struct Exact {
    static constexpr bool kFolds = false;
    static char16_t Key(char16_t c) { return c; }
};

struct AsciiFold {
    static constexpr bool kFolds = true;
    static char16_t Key(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
};

// What the scan looks for: the first and the last unit of the word, each in one or two spellings.
struct Probe {
    const char16_t* word;
    std::size_t m;
    char16_t firstA, firstB, lastA, lastB;
};

template <class K>
Probe MakeProbe(std::u16string_view word) {
    auto other = [](char16_t c) {
        return K::kFolds && c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    };
    const char16_t f = K::Key(word.front()), l = K::Key(word.back());
    return {word.data(), word.size(), f, other(f), l, other(l)};
}

template <class K>
bool MatchesAt(const char16_t* q, const Probe& w, std::size_t& work) {
    std::size_t k = 1;
    while (k < w.m && K::Key(q[k]) == K::Key(w.word[k])) ++k;
    work += k;
    return k >= w.m;
}

// Where a block scan stopped: at a match, at the end of its range, or where its work budget ran out.
struct Stop {
    const char16_t* at;
    bool found;
};

// Budget: the comparisons at candidates may cost 4 units per unit of text passed, plus a little.
inline bool OverBudget(std::size_t work, const char16_t* q, const char16_t* begin) {
    return work > 4 * static_cast<std::size_t>(q - begin) + 1024;
}

#if defined(__SSE2__)

// Candidate starts eight at a time: a start qualifies when both its first and its last unit fit, so in
// ordinary text nearly every stop is a match. Covers starts in [p, stop) with stop - p a multiple of 8.
template <class K>
inline __m128i Hits(const char16_t* p, std::size_t back, __m128i fa, __m128i fb, __m128i la, __m128i lb) {
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + back));
    if constexpr (K::kFolds)
        return _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi16(v0, fa), _mm_cmpeq_epi16(v0, fb)),
                             _mm_or_si128(_mm_cmpeq_epi16(v1, la), _mm_cmpeq_epi16(v1, lb)));
    else
        return _mm_and_si128(_mm_cmpeq_epi16(v0, fa), _mm_cmpeq_epi16(v1, la));
}

template <class K>
Stop ScanSse2(const char16_t* p, const char16_t* stop, const Probe& w, const char16_t* begin,
              std::size_t& work) {
    const __m128i fa = _mm_set1_epi16(static_cast<short>(w.firstA)),
                  fb = _mm_set1_epi16(static_cast<short>(w.firstB));
    const __m128i la = _mm_set1_epi16(static_cast<short>(w.lastA)),
                  lb = _mm_set1_epi16(static_cast<short>(w.lastB));
    const std::size_t back = w.m - 1;
    while (p < stop) {
        // Two blocks per test while the range allows, for fewer branches on the long runs without a stop.
        const bool two = stop - p >= 16;
        const __m128i h0 = Hits<K>(p, back, fa, fb, la, lb);
        const __m128i h1 = two ? Hits<K>(p + 8, back, fa, fb, la, lb) : _mm_setzero_si128();
        const auto pair =
            static_cast<unsigned>(_mm_movemask_epi8(h0)) | static_cast<unsigned>(_mm_movemask_epi8(h1)) << 16;
        for (unsigned mask = pair; mask != 0; mask &= mask - 1) {
            const char16_t* q = p + (__builtin_ctz(mask) >> 1);
            mask &= mask - 1;  // two mask bits per unit
            if (MatchesAt<K>(q, w, work)) return {q, true};
            if (OverBudget(work, q, begin)) return {q + 1, false};
        }
        p += two ? 16 : 8;
    }
    return {p, false};
}
#endif

// Knuth-Morris-Pratt from `from`: linear in the text scanned, whatever the word.
template <class K>
std::ptrdiff_t KmpSearch(std::u16string_view text, std::size_t from, std::u16string_view word) {
    const std::size_t m = word.size();
    Text w(m, u'\0');
    for (std::size_t i = 0; i < m; ++i) w[i] = K::Key(word[i]);
    std::vector<std::size_t> border(m, 0);
    for (std::size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && w[i] != w[k]) k = border[k - 1];
        if (w[i] == w[k]) ++k;
        border[i] = k;
    }
    std::size_t k = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char16_t c = K::Key(text[i]);
        while (k > 0 && c != w[k]) k = border[k - 1];
        if (c == w[k] && ++k == m) return static_cast<std::ptrdiff_t>(i + 1 - m);
    }
    return -1;
}

// Stops where the first and last units fit and compares the rest there. Words that would make this
// quadratic ("aaa...ab" in "aaa...") use up a work budget proportional to the distance covered, and the
// search goes on from there with KMP.
template <class K>
std::ptrdiff_t Search(std::u16string_view text, std::size_t from, std::u16string_view word) {
    const std::size_t n = text.size(), m = word.size();
    if (m == 0 || from > n || m > n - from) return -1;
    const char16_t* const base = text.data();
    const char16_t* const begin = base + from;
    const char16_t* const last = base + (n - m) + 1;  // one past the last possible start
    const Probe w = MakeProbe<K>(word);
    std::size_t work = 0;
    const char16_t* p = begin;
    auto giveUp = [&](const char16_t* at) {
        return KmpSearch<K>(text, static_cast<std::size_t>(at - base), word);
    };
#if defined(__SSE2__)
    if (last - p >= 8) {
        const Stop s = ScanSse2<K>(p, p + ((last - p) & ~std::ptrdiff_t{7}), w, begin, work);
        if (s.found) return s.at - base;
        if (OverBudget(work, s.at - 1, begin)) return giveUp(s.at);
        p = s.at;
    }
#endif
    for (; p < last; ++p) {
        const char16_t c = K::Key(*p), e = K::Key(p[m - 1]);
        if (c != w.firstA || e != w.lastA) continue;
        if (MatchesAt<K>(p, w, work)) return p - base;
        if (OverBudget(work, p, begin)) return giveUp(p + 1);
    }
    return -1;
}

}  // namespace

std::ptrdiff_t FindExact(std::u16string_view text, std::size_t from, std::u16string_view word) {
    return Search<Exact>(text, from, word);
}

std::ptrdiff_t FindIgnoreAsciiCase(std::u16string_view text, std::size_t from, std::u16string_view word) {
    return Search<AsciiFold>(text, from, word);
}

void ReplaceAllExact(std::u16string_view text, std::u16string_view find, std::u16string_view replacement,
                     Text& out) {
    out.clear();
    std::ptrdiff_t hit = FindExact(text, 0, find);
    if (hit < 0) {
        out.assign(text);
        return;
    }
    // Exactly the result's size: a grown buffer would give back a copy of the text unwiped.
    std::size_t size = text.size();
    if (replacement.size() > find.size()) {
        for (std::ptrdiff_t at = hit; at >= 0;
             at = FindExact(text, static_cast<std::size_t>(at) + find.size(), find))
            size += replacement.size() - find.size();
    }
    out.reserve(size);
    std::size_t from = 0;
    while (hit >= 0) {
        const auto at = static_cast<std::size_t>(hit);
        out.append(text.substr(from, at - from));
        out.append(replacement);
        from = at + find.size();
        hit = FindExact(text, from, find);
    }
    out.append(text.substr(from));
}

Text ReplaceAllExact(std::u16string_view text, std::u16string_view find, std::u16string_view replacement) {
    Text out;
    ReplaceAllExact(text, find, replacement, out);
    return out;
}

}  // namespace find
