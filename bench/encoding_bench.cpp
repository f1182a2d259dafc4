// Reading and writing a 16 MiB plain document as UTF-8 next to the same size in the code page, in one run:
// the ratio UTF-8 / Windows-874 is the one to watch (goal: 1.1 at most). And F2's work on the text, and the
// UTF-8 of a sealed document's text, next to memcpy of its bytes.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "base/codepage.h"
#include "base/encoding.h"
#include "base/unicode.h"

namespace {

constexpr size_t kFileSize = 16u << 20;

// The same Thai and English lines, in either encoding, repeated to 16 MiB.
Bytes File(bool utf8) {
    const Text line =
        u"\u0e43\u0e1a\u0e44\u0e21\u0e49\u0e2a\u0e35\u0e40\u0e02\u0e35\u0e22\u0e27 leaf 2026, "
        u"\u0e0b\u0e48\u0e2d\u0e19\u0e04\u0e27\u0e32\u0e21\u0e25\u0e31\u0e1a the quick brown fox\r\n";
    const Bytes one = utf8 ? base::ToUtf8(line) : base::ToCodePage(line);
    Bytes file;
    file.reserve(kFileSize);
    while (file.size() + one.size() <= kFileSize) file += one;
    file.resize(kFileSize, '.');
    return file;
}

void Open(benchmark::State& state, bool utf8) {
    const Bytes file = File(utf8);
    Text text;
    if (base::DecodeDocument(file, text).encoding != (utf8 ? base::Encoding::Utf8 : base::Encoding::Ansi))
        state.SkipWithError("detected the wrong encoding");
    for (auto _ : state) {
        const base::TextFormat format = base::DecodeDocument(file, text);
        benchmark::DoNotOptimize(format);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void Save(benchmark::State& state, bool utf8) {
    const Bytes file = File(utf8);
    Text text;
    const base::TextFormat format = base::DecodeDocument(file, text);
    if (base::EncodeDocument(text, format) != file) state.SkipWithError("round trip failed");
    for (auto _ : state) {
        Bytes out = base::EncodeDocument(text, format);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

// F2's own work on the text, from a view of it: the questions' look (characters the code page lacks, unpaired
// surrogates), then the encoding piece by piece into a buffer already touched, as the file's writes take it;
// next to memcpy of the file's bytes into the same buffer, the floor of any write.
void SavePieces(benchmark::State& state, bool utf8) {
    const Bytes file = File(utf8);
    Text text;
    const base::TextFormat format = base::DecodeDocument(file, text);
    Bytes sink(file.size(), '\0');
    for (auto _ : state) {
        size_t at = 0;
        const bool asks = base::FirstUnmappable(text) != std::u16string_view::npos ||
                          base::FirstUnpairedSurrogate(text) != std::u16string_view::npos;
        base::EncodeDocument(text, format, [&](std::string_view piece) {
            std::copy(piece.begin(), piece.end(), sink.begin() + static_cast<std::ptrdiff_t>(at));
            at += piece.size();
            return true;
        });
        benchmark::DoNotOptimize(asks);
        benchmark::DoNotOptimize(sink.data());
    }
    if (sink != file) state.SkipWithError("the pieces differ from the file");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

// A sealed save's conversion of the whole text, the same codec without the document's NULs and breaks.
void BM_ToUtf8_16MiB(benchmark::State& state) {
    const Bytes file = File(true);
    Text text;
    base::DecodeDocument(file, text);
    if (base::ToUtf8(text) != file) state.SkipWithError("round trip failed");
    for (auto _ : state) {
        Bytes out = base::ToUtf8(text);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void BM_Memcpy16MiB(benchmark::State& state) {
    const Bytes file = File(false);
    Bytes sink(file.size(), '\0');
    for (auto _ : state) {
        std::copy(file.begin(), file.end(), sink.begin());
        benchmark::DoNotOptimize(sink.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void BM_OpenAnsi16MiB(benchmark::State& state) { Open(state, false); }
void BM_OpenUtf8_16MiB(benchmark::State& state) { Open(state, true); }
void BM_SaveAnsi16MiB(benchmark::State& state) { Save(state, false); }
void BM_SaveUtf8_16MiB(benchmark::State& state) { Save(state, true); }
void BM_F2Ansi16MiB(benchmark::State& state) { SavePieces(state, false); }
void BM_F2Utf8_16MiB(benchmark::State& state) { SavePieces(state, true); }

BENCHMARK(BM_OpenAnsi16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenUtf8_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveAnsi16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveUtf8_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Memcpy16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_F2Ansi16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_F2Utf8_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToUtf8_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
