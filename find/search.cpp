// Text-level pieces of find and replace: word characters, the word around an offset, searching, replace all.
// Pure functions on UTF-16 text, so the window-free operations and the benchmarks share them.
#include "find/search.h"

#include <algorithm>

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

// ---- case folding ------------------------------------------------------------------------------

namespace {

constexpr std::size_t kUnits = 0x10000;
constexpr char16_t kFirstHigh = 0xD800, kFirstLow = 0xDC00;
constexpr std::size_t kHalves = 0x400;  // high halves, and low halves after each

constexpr bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
constexpr bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

CaseFold::CaseFold() : m_Table(kUnits), m_Lows(kHalves) {
    for (std::size_t c = 0; c < kUnits; ++c)
        m_Table[c] = static_cast<char16_t>(c >= u'A' && c <= u'Z' ? c + 32 : c);
    Index();
}

void CaseFold::Index() {
    m_Others.clear();
    for (std::size_t c = 0; c < kUnits; ++c)
        if (m_Table[c] != c) m_Others.emplace_back(m_Table[c], static_cast<char16_t>(c));
    std::sort(m_Others.begin(), m_Others.end());
}

CaseFold::CaseFold(const Locale& locale, std::u16string_view word) : m_Table(kUnits), m_Lows(kHalves) {
    for (std::size_t c = 0; c < kUnits; ++c) m_Table[c] = static_cast<char16_t>(c);
    // Every unit but NUL (which no box holds) and the surrogates, in one call.
    Text units;
    units.reserve(kUnits);
    for (std::size_t c = 1; c < kUnits; ++c)
        if (!IsSurrogate(static_cast<char16_t>(c))) units += static_cast<char16_t>(c);
    const Text lower = locale.LowerCase(units);
    // A unit the locale lowers to a surrogate, or to more than one unit, stays as it is.
    auto take = [&](char16_t unit, char16_t lowered) {
        if (!IsSurrogate(lowered)) m_Table[unit] = lowered;
    };
    if (lower.size() == units.size()) {
        for (std::size_t i = 0; i < units.size(); ++i) take(units[i], lower[i]);
    } else {
        for (const char16_t unit : units)
            if (const Text one = locale.LowerCase({&unit, 1}); one.size() == 1) take(unit, one[0]);
    }
    Index();
    // The pairs after each high half the word holds; every high half's when the word begins with a low half,
    // which may be the second half of a pair in the text.
    std::vector<char16_t> highs;
    for (std::size_t i = 0; i + 1 < word.size(); ++i)
        if (IsHigh(word[i]) && IsLow(word[i + 1])) highs.push_back(word[i]);
    if (!word.empty() && IsLow(word.front()))
        for (std::size_t h = 0; h < kHalves; ++h) highs.push_back(static_cast<char16_t>(kFirstHigh + h));
    std::sort(highs.begin(), highs.end());
    highs.erase(std::unique(highs.begin(), highs.end()), highs.end());
    if (highs.empty()) return;
    Text pairs;
    pairs.reserve(highs.size() * kHalves * 2);
    for (const char16_t high : highs) {
        for (std::size_t l = 0; l < kHalves; ++l) {
            pairs += high;
            pairs += static_cast<char16_t>(kFirstLow + l);
        }
    }
    const Text lowered = locale.LowerCase(pairs);
    for (std::size_t h = 0; h < highs.size(); ++h) {
        std::vector<char16_t>& lows = m_Lows[highs[h] - kFirstHigh];
        lows.resize(kHalves);
        for (std::size_t l = 0; l < kHalves; ++l) {
            const std::size_t at = (h * kHalves + l) * 2;
            const bool kept =
                lowered.size() == pairs.size() && lowered[at] == highs[h] && IsLow(lowered[at + 1]);
            lows[l] = kept ? lowered[at + 1] : static_cast<char16_t>(kFirstLow + l);
        }
    }
}

char16_t CaseFold::At(std::u16string_view text, std::size_t i) const {
    const char16_t c = text[i];
    if (IsLow(c) && i > 0 && IsHigh(text[i - 1])) {
        const std::vector<char16_t>& lows = m_Lows[text[i - 1] - kFirstHigh];
        return lows.empty() ? c : lows[c - kFirstLow];
    }
    return m_Table[c];
}

Text CaseFold::Fold(std::u16string_view word) const {
    Text out(word.size(), u'\0');
    for (std::size_t i = 0; i < word.size(); ++i) out[i] = At(word, i);
    return out;
}

std::size_t CaseFold::Spellings(char16_t c, char16_t* out, std::size_t most) const {
    std::size_t count = 0;
    auto add = [&](char16_t u) {
        if (count < most) out[count] = u;
        ++count;
    };
    if (m_Table[c] == c) add(c);
    const auto first =
        std::lower_bound(m_Others.begin(), m_Others.end(), std::pair<char16_t, char16_t>(c, 0));
    for (auto it = first; it != m_Others.end() && it->first == c; ++it) add(it->second);
    return count;
}

// ---- searching ---------------------------------------------------------------------------------

namespace {

struct Exact {
    char16_t operator()(char16_t c) const { return c; }
};

struct Folded {
    const CaseFold* fold;
    char16_t operator()(char16_t c) const { return fold->Unit(c); }
};

// What the scans look for: the word's keys, and the text units whose key is its first (last) one, up to four
// each (padded by repeats); width 0 when there are more, and the candidates are found by their keys alone.
template <class K>
struct Probe {
    K key;
    const char16_t* word;
    std::size_t m;
    char16_t first[4], last[4];
    int width;
};

template <class K>
Probe<K> MakeProbe(K key, std::u16string_view keys, const CaseFold* fold) {
    Probe<K> p{key, keys.data(), keys.size(), {keys.front()}, {keys.back()}, 1};
    std::size_t nFirst = 1, nLast = 1;
    if (fold) {
        nFirst = fold->Spellings(keys.front(), p.first, 4);
        nLast = fold->Spellings(keys.back(), p.last, 4);
    }
    const std::size_t n = std::max(nFirst, nLast);
    p.width = nFirst == 0 || nLast == 0 || n > 4 ? 0 : n == 1 ? 1 : n == 2 ? 2 : 4;
    for (std::size_t i = std::max<std::size_t>(nFirst, 1); i < 4; ++i) p.first[i] = p.first[0];
    for (std::size_t i = std::max<std::size_t>(nLast, 1); i < 4; ++i) p.last[i] = p.last[0];
    return p;
}

// Compares the rest of the word at a start whose first and last units fit; work counts the units compared.
template <class K>
bool MatchesAt(const char16_t* q, const Probe<K>& w, std::size_t& work) {
    std::size_t k = 1;
    while (k < w.m && w.key(q[k]) == w.word[k]) ++k;
    work += k;
    return k >= w.m;
}

template <class K>
bool Candidate(const char16_t* q, const Probe<K>& w) {
    return w.key(q[0]) == w.word[0] && w.key(q[w.m - 1]) == w.word[w.m - 1];
}

// The comparisons at candidates may cost 4 units per unit of text passed, plus a little; past that the word
// is one that makes comparing at every candidate quadratic ("aaa...ab" in "aaa..."), and KMP takes over.
inline bool OverBudget(std::size_t work, std::size_t passed) { return work > 4 * passed + 1024; }

// Where a scan stopped: at a match, where its range ended, or where its budget ran out.
struct Stop {
    std::ptrdiff_t at;  // a match's start; the next start to look at; or the start not yet looked at
    enum { kFound, kEnd, kGaveUp } why;
};

#if defined(__SSE2__)

// Candidate starts eight at a time: a start qualifies when both its first and its last unit fit, so in
// ordinary text nearly every stop is a match.
template <int W>
inline unsigned Hits(const char16_t* p, std::size_t back, const __m128i* f, const __m128i* l) {
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + back));
    __m128i a = _mm_cmpeq_epi16(v0, f[0]), b = _mm_cmpeq_epi16(v1, l[0]);
    for (int i = 1; i < W; ++i) {
        a = _mm_or_si128(a, _mm_cmpeq_epi16(v0, f[i]));
        b = _mm_or_si128(b, _mm_cmpeq_epi16(v1, l[i]));
    }
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(a, b)));  // two bits per start
}

template <class K>
struct Lanes {
    __m128i f[4], l[4];
    explicit Lanes(const Probe<K>& w) {
        for (int i = 0; i < 4; ++i) {
            f[i] = _mm_set1_epi16(static_cast<short>(w.first[i]));
            l[i] = _mm_set1_epi16(static_cast<short>(w.last[i]));
        }
    }
};

// Starts in [from, end) of base, upwards, in blocks of eight while eight remain.
template <class K, int W>
Stop ScanUp(const char16_t* base, std::size_t from, std::size_t end, const Probe<K>& w, std::size_t& work) {
    const Lanes<K> lanes(w);
    std::size_t p = from;
    while (end - p >= 8) {
        for (unsigned mask = Hits<W>(base + p, w.m - 1, lanes.f, lanes.l); mask != 0; mask &= mask - 1) {
            const std::size_t q = p + (static_cast<unsigned>(__builtin_ctz(mask)) >> 1);
            mask &= mask - 1;  // two mask bits per unit
            if (MatchesAt(base + q, w, work)) return {static_cast<std::ptrdiff_t>(q), Stop::kFound};
            if (OverBudget(work, q - from)) return {static_cast<std::ptrdiff_t>(q + 1), Stop::kGaveUp};
        }
        p += 8;
    }
    return {static_cast<std::ptrdiff_t>(p), Stop::kEnd};
}

// Starts in [from, end) of base, downwards from end - 1, in blocks of eight while eight remain.
template <class K, int W>
Stop ScanDown(const char16_t* base, std::size_t from, std::size_t end, const Probe<K>& w, std::size_t& work) {
    const Lanes<K> lanes(w);
    std::size_t p = end;
    while (p - from >= 8) {
        const std::size_t block = p - 8;
        for (unsigned mask = Hits<W>(base + block, w.m - 1, lanes.f, lanes.l); mask != 0;) {
            const unsigned unit = (31u - static_cast<unsigned>(__builtin_clz(mask))) >> 1;
            mask &= ~(3u << (2 * unit));
            const std::size_t q = block + unit;
            if (MatchesAt(base + q, w, work)) return {static_cast<std::ptrdiff_t>(q), Stop::kFound};
            if (OverBudget(work, end - q)) return {static_cast<std::ptrdiff_t>(q), Stop::kGaveUp};
        }
        p = block;
    }
    return {static_cast<std::ptrdiff_t>(p), Stop::kEnd};
}

template <class K>
Stop ScanUpWide(const char16_t* base, std::size_t from, std::size_t end, const Probe<K>& w,
                std::size_t& work) {
    switch (w.width) {
        case 1:
            return ScanUp<K, 1>(base, from, end, w, work);
        case 2:
            return ScanUp<K, 2>(base, from, end, w, work);
        case 4:
            return ScanUp<K, 4>(base, from, end, w, work);
        default:
            return {static_cast<std::ptrdiff_t>(from), Stop::kEnd};
    }
}

template <class K>
Stop ScanDownWide(const char16_t* base, std::size_t from, std::size_t end, const Probe<K>& w,
                  std::size_t& work) {
    switch (w.width) {
        case 1:
            return ScanDown<K, 1>(base, from, end, w, work);
        case 2:
            return ScanDown<K, 2>(base, from, end, w, work);
        case 4:
            return ScanDown<K, 4>(base, from, end, w, work);
        default:
            return {static_cast<std::ptrdiff_t>(end), Stop::kEnd};
    }
}
#endif

// Knuth-Morris-Pratt over keys (keyAt(i): the key of the text's unit i): linear in the text scanned,
// whatever the word. The first occurrence starting in [begin, ...) and ending by end.
template <class KeyAt>
std::ptrdiff_t KmpUp(std::size_t begin, std::size_t end, std::u16string_view w, KeyAt keyAt) {
    const std::size_t m = w.size();
    std::vector<std::size_t> border(m, 0);
    for (std::size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && w[i] != w[k]) k = border[k - 1];
        if (w[i] == w[k]) ++k;
        border[i] = k;
    }
    std::size_t k = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char16_t c = keyAt(i);
        while (k > 0 && c != w[k]) k = border[k - 1];
        if (c == w[k] && ++k == m) return static_cast<std::ptrdiff_t>(i + 1 - m);
    }
    return -1;
}

// The last occurrence that ends by end: the word read backwards over the text read backwards.
template <class KeyAt>
std::ptrdiff_t KmpDown(std::size_t end, std::u16string_view w, KeyAt keyAt) {
    const std::size_t m = w.size();
    auto back = [&](std::size_t i) { return w[m - 1 - i]; };
    std::vector<std::size_t> border(m, 0);
    for (std::size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && back(i) != back(k)) k = border[k - 1];
        if (back(i) == back(k)) ++k;
        border[i] = k;
    }
    std::size_t k = 0;
    for (std::size_t i = end; i-- > 0;) {
        const char16_t c = keyAt(i);
        while (k > 0 && c != back(k)) k = border[k - 1];
        if (c == back(k) && ++k == m) return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

// The first occurrence in the view: stops where the first and last units fit and compares the rest there,
// until the work budget says the word is one that would make this quadratic; KMP goes on from there.
template <class K>
std::ptrdiff_t First(std::u16string_view text, const Probe<K>& w) {
    const char16_t* const base = text.data();
    const std::size_t starts = text.size() - w.m + 1;  // one past the last possible start
    auto keyAt = [&](std::size_t i) { return w.key(base[i]); };
    const std::u16string_view word(w.word, w.m);
    std::size_t work = 0, p = 0;
#if defined(__SSE2__)
    const Stop s = ScanUpWide(base, 0, starts, w, work);
    if (s.why == Stop::kFound) return s.at;
    if (s.why == Stop::kGaveUp) return KmpUp(static_cast<std::size_t>(s.at), text.size(), word, keyAt);
    p = static_cast<std::size_t>(s.at);
#endif
    for (; p < starts; ++p) {
        if (!Candidate(base + p, w)) continue;
        if (MatchesAt(base + p, w, work)) return static_cast<std::ptrdiff_t>(p);
        if (OverBudget(work, p)) return KmpUp(p + 1, text.size(), word, keyAt);
    }
    return -1;
}

// The last occurrence in the view, as First but from the end.
template <class K>
std::ptrdiff_t Last(std::u16string_view text, const Probe<K>& w) {
    const char16_t* const base = text.data();
    const std::size_t starts = text.size() - w.m + 1;
    auto keyAt = [&](std::size_t i) { return w.key(base[i]); };
    const std::u16string_view word(w.word, w.m);
    std::size_t work = 0, p = starts;
#if defined(__SSE2__)
    const Stop s = ScanDownWide(base, 0, starts, w, work);
    if (s.why == Stop::kFound) return s.at;
    // Starts from s.at on are done: what is left ends before s.at + m - 1.
    if (s.why == Stop::kGaveUp) return KmpDown(static_cast<std::size_t>(s.at) + w.m - 1, word, keyAt);
    p = static_cast<std::size_t>(s.at);
#endif
    while (p-- > 0) {
        if (!Candidate(base + p, w)) continue;
        if (MatchesAt(base + p, w, work)) return static_cast<std::ptrdiff_t>(p);
        if (OverBudget(work, starts - p)) return KmpDown(p + w.m - 1, word, keyAt);
    }
    return -1;
}

// The view alone is read: its first unit has no unit before it, as if the text began there.
std::ptrdiff_t Search(std::u16string_view text, std::u16string_view word, const CaseFold* fold, bool up) {
    if (!fold) {
        const Probe<Exact> w = MakeProbe(Exact{}, word, nullptr);
        return up ? First(text, w) : Last(text, w);
    }
    const Text keys = fold->Fold(word);
    if (std::none_of(word.begin(), word.end(), IsSurrogate)) {
        const Probe<Folded> w = MakeProbe(Folded{fold}, keys, fold);
        return up ? First(text, w) : Last(text, w);
    }
    // A unit of the word is half of a pair, whose lowering depends on the unit before it.
    auto keyAt = [&](std::size_t i) { return fold->At(text, i); };
    return up ? KmpUp(0, text.size(), keys, keyAt) : KmpDown(text.size(), keys, keyAt);
}

}  // namespace

std::ptrdiff_t FindNext(std::u16string_view text, std::size_t from, std::u16string_view word,
                        const CaseFold* fold) {
    if (word.empty() || from > text.size() || word.size() > text.size() - from) return -1;
    const std::ptrdiff_t hit = Search(text.substr(from), word, fold, true);
    return hit < 0 ? -1 : hit + static_cast<std::ptrdiff_t>(from);
}

std::ptrdiff_t FindPrevious(std::u16string_view text, std::size_t before, std::u16string_view word,
                            const CaseFold* fold) {
    const std::u16string_view head = text.substr(0, std::min(before, text.size()));
    if (word.empty() || word.size() > head.size()) return -1;
    return Search(head, word, fold, false);
}

std::ptrdiff_t FindExact(std::u16string_view text, std::size_t from, std::u16string_view word) {
    return FindNext(text, from, word, nullptr);
}

std::ptrdiff_t FindIgnoreAsciiCase(std::u16string_view text, std::size_t from, std::u16string_view word) {
    static const CaseFold ascii;
    return FindNext(text, from, word, &ascii);
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
