// Speed of find next (exact and ignoring case), of a backward search through the whole text, and of replace
// all on texts of 64 and 128 MiB holding about a million (two million) matches, against memchr and memcpy of
// the same bytes in the same run. Counters: x_memchr / x_memcpy = best time over the baseline's best; x_64MiB
// = best at 128 MiB over 64 MiB; x_inplace = the search in place over the same search on a lowered copy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <string>

#include "find/search.h"

namespace {

constexpr std::size_t kMiB = 1u << 20;
constexpr std::u16string_view kLine = u"Lorem ipsum dolor sit amet, sed.\r\n";  // one "sit", three 's'
constexpr std::u16string_view kWord = u"sit";
constexpr std::u16string_view kLast = u"sit!";  // once, at the very end: one press scans everything

// 2 bytes per code unit: bytes / 34 / 2 lines, so about a million matches in 64 MiB.
const Text& Document(std::size_t bytes) {
    static std::map<std::size_t, Text> made;
    Text& text = made[bytes];
    if (text.empty()) {
        const std::size_t units = bytes / 2;
        text.reserve(units);
        while (text.size() + kLine.size() <= units) text += kLine;
        text.resize(units - kLast.size(), u'.');
        text += kLast;
    }
    return text;
}

// The lower case as the host build has it (letters A-Z); Windows uses its locale's.
struct HostLocale : Locale {
    bool SetShortDateFormat(const Text&) override { return false; }
    Text LowerCase(std::u16string_view text) const override {
        Text lower(text);
        for (auto& c : lower)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        return lower;
    }
};

const Locale& Host() {
    static const HostLocale locale;
    return locale;
}

template <class F>
double Seconds(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Best times seen so far, by benchmark and size, over all repetitions.
double& Best(const std::string& name, std::size_t bytes) {
    static std::map<std::pair<std::string, std::size_t>, double> best;
    return best.try_emplace({name, bytes}, std::numeric_limits<double>::infinity()).first->second;
}

double BaselineMemchr(std::size_t bytes) {
    double& best = Best("memchr", bytes);
    const Text& text = Document(bytes);
    const char* data = reinterpret_cast<const char*>(text.data());
    for (int i = 0; i < 5; ++i)
        best = std::min(best, Seconds([&] { benchmark::DoNotOptimize(std::memchr(data, 0x01, bytes)); }));
    return best;
}

double BaselineMemcpy(std::size_t bytes) {
    double& best = Best("memcpy", bytes);
    static std::string to;
    to.resize(bytes);
    const char* from = reinterpret_cast<const char*>(Document(bytes).data());
    for (int i = 0; i < 5; ++i)
        best = std::min(best, Seconds([&] {
                            std::memcpy(to.data(), from, bytes);
                            benchmark::ClobberMemory();
                        }));
    return best;
}

// memcpy into a buffer allocated for the copy, as a new string's storage is.
double BaselineMemcpyFresh(std::size_t bytes) {
    double& best = Best("memcpyfresh", bytes);
    const char* from = reinterpret_cast<const char*>(Document(bytes).data());
    for (int i = 0; i < 3; ++i)
        best = std::min(best, Seconds([&] {
                            std::string to(bytes, '\0');
                            std::memcpy(to.data(), from, bytes);
                            benchmark::DoNotOptimize(to.data());
                        }));
    return best;
}

// Runs one timed piece of work per iteration and reports its best time against the baseline.
template <class F>
void Measure(benchmark::State& state, const std::string& name, const char* baselineName, double baseline,
             F&& work) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    double& best = Best(name, bytes);
    work();  // warm-up: first touch of the pages and buffers this size needs
    for (auto _ : state) {
        const double s = Seconds(work);
        state.SetIterationTime(s);
        best = std::min(best, s);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters[baselineName] = best / baseline;
    if (bytes != 64 * kMiB) state.counters["x_64MiB"] = best / Best(name, 64 * kMiB);
}

// One find-next press from the top whose only match is the last word of the text: the longest single search.
template <class Find>
void FindToTheEnd(benchmark::State& state, const std::string& name, std::u16string_view word, Find find) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    const Text& text = Document(bytes);
    std::ptrdiff_t hit = -1;
    Measure(state, name, "x_memchr", BaselineMemchr(bytes), [&] {
        hit = find(text, 0, word);
        benchmark::DoNotOptimize(hit);
    });
    if (hit != static_cast<std::ptrdiff_t>(text.size() - word.size())) state.SkipWithError("wrong match");
}

// Find next from the top through every match, as repeated F3 presses would (each starts after the match).
template <class Find>
void FindEvery(benchmark::State& state, const std::string& name, std::u16string_view word, Find find) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    const Text& text = Document(bytes);
    std::size_t matches = 0;
    Measure(state, name, "x_memchr", BaselineMemchr(bytes), [&] {
        matches = 0;
        std::size_t from = 0;
        for (std::ptrdiff_t hit; (hit = find(text, from, word)) >= 0; ++matches)
            from = static_cast<std::size_t>(hit) + word.size();
        benchmark::DoNotOptimize(matches);
    });
    state.counters["matches"] = static_cast<double>(matches);
}

std::ptrdiff_t Exact(std::u16string_view t, std::size_t from, std::u16string_view w) {
    return find::FindExact(t, from, w);
}

// As a press of F3 that ignores case: the locale's lower case read through the port, then the text searched
// where it lies.
std::ptrdiff_t IgnoreCase(std::u16string_view t, std::size_t from, std::u16string_view w) {
    const find::CaseFold fold(Host(), w);
    return find::FindNext(t, from, w, &fold);
}

// The same press as it went before the text was searched in place: the text from `from` copied and lowered
// through the port, then searched exactly.
std::ptrdiff_t IgnoreCaseOnACopy(std::u16string_view t, std::size_t from, std::u16string_view w) {
    const Text rest = Host().LowerCase(t.substr(std::min(from, t.size())));
    const std::ptrdiff_t hit = find::FindExact(rest, 0, Host().LowerCase(w));
    return hit < 0 ? -1 : hit + static_cast<std::ptrdiff_t>(from);
}

// Backwards from the end, case ignored: a word that is not there makes one press read the whole text.
std::ptrdiff_t IgnoreCaseBackwards(std::u16string_view t, std::size_t, std::u16string_view w) {
    const find::CaseFold fold(Host(), w);
    return find::FindPrevious(t, t.size(), w, &fold);
}

void BM_FindBaselineMemchr(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    const char* data = reinterpret_cast<const char*>(Document(bytes).data());
    for (auto _ : state)
        state.SetIterationTime(Seconds([&] { benchmark::DoNotOptimize(std::memchr(data, 0x01, bytes)); }));
    state.counters["best_ms"] = BaselineMemchr(bytes) * 1e3;
    if (bytes != 64 * kMiB) state.counters["x_64MiB"] = BaselineMemchr(bytes) / BaselineMemchr(64 * kMiB);
}

void BM_FindBaselineMemcpy(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    for (auto _ : state) state.SetIterationTime(BaselineMemcpy(bytes));
    state.counters["best_ms"] = BaselineMemcpy(bytes) * 1e3;
    if (bytes != 64 * kMiB) state.counters["x_64MiB"] = BaselineMemcpy(bytes) / BaselineMemcpy(64 * kMiB);
}

void BM_FindNextExact(benchmark::State& state) { FindToTheEnd(state, "exact", kLast, Exact); }
void BM_FindNextIgnoreCase(benchmark::State& state) {
    FindToTheEnd(state, "ignorecase", u"SIT!", IgnoreCase);
}
void BM_FindNextIgnoreCaseOnACopy(benchmark::State& state) {
    FindToTheEnd(state, "ignorecasecopy", u"SIT!", IgnoreCaseOnACopy);
    state.counters["x_inplace"] = Best("ignorecase", static_cast<std::size_t>(state.range(0)) * kMiB) /
                                  Best("ignorecasecopy", static_cast<std::size_t>(state.range(0)) * kMiB);
}
void BM_FindPreviousNoneIgnoreCase(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    const Text& text = Document(bytes);
    std::ptrdiff_t hit = 0;
    Measure(state, "previousnone", "x_memchr", BaselineMemchr(bytes), [&] {
        hit = IgnoreCaseBackwards(text, 0, u"SAT");
        benchmark::DoNotOptimize(hit);
    });
    if (hit != -1) state.SkipWithError("found what is not there");
}
void BM_FindEveryMatchExact(benchmark::State& state) { FindEvery(state, "everyexact", kWord, Exact); }
// One table of the lower case for all the presses, so that the count is of the searching.
void BM_FindEveryMatchIgnoreCase(benchmark::State& state) {
    static const find::CaseFold fold(Host(), u"SIT");
    FindEvery(state, "everyignorecase", u"SIT",
              [](std::u16string_view t, std::size_t from, std::u16string_view w) {
                  return find::FindNext(t, from, w, &fold);
              });
}

// Into a buffer kept between runs, as memcpy's target is.
void BM_ReplaceAll(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    const Text& text = Document(bytes);
    static Text out;
    Measure(state, "replaceall", "x_memcpy", BaselineMemcpy(bytes), [&] {
        find::ReplaceAllExact(text, kWord, u"stand", out);
        benchmark::DoNotOptimize(out.data());
    });
    state.counters["grown_units"] = static_cast<double>(out.size() - text.size());
}

// A new string every time, as Replace All in the editor makes one: includes the fresh pages' first touch.
void BM_ReplaceAllFreshString(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * kMiB;
    const Text& text = Document(bytes);
    Measure(state, "replaceallfresh", "x_memcpy", BaselineMemcpy(bytes), [&] {
        const Text out = find::ReplaceAllExact(text, kWord, u"stand");
        benchmark::DoNotOptimize(out.data());
    });
    state.counters["x_memcpy_fresh"] = Best("replaceallfresh", bytes) / BaselineMemcpyFresh(bytes);
}

#define FIND_BENCH(fn) BENCHMARK(fn)->Arg(64)->Arg(128)->UseManualTime()->Unit(benchmark::kMillisecond)
FIND_BENCH(BM_FindBaselineMemchr);
FIND_BENCH(BM_FindBaselineMemcpy);
FIND_BENCH(BM_FindNextExact);
FIND_BENCH(BM_FindNextIgnoreCase);
FIND_BENCH(BM_FindNextIgnoreCaseOnACopy);
FIND_BENCH(BM_FindPreviousNoneIgnoreCase);
FIND_BENCH(BM_FindEveryMatchExact);
FIND_BENCH(BM_FindEveryMatchIgnoreCase);
FIND_BENCH(BM_ReplaceAll);
FIND_BENCH(BM_ReplaceAllFreshString);

}  // namespace
