// Speed of the protected-document pipelines against a plain memcpy of the same size, in one run.
// Prints each pipeline's time as a multiple of the memcpy time at the end (target: 3x at most).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "base/codepage.h"
#include "protect/cipher.h"

namespace {

constexpr size_t kSize = 64u << 20;
const Text kPassword = u"bench pw";

// Text as a document holds it: lines of words with CR LF; optionally Thai.
Text Document(bool thai) {
    const Text line = thai ? Text(u"ใบไม้สีเขียวซ่อนความลับไว้ในกล่องไม้เก่า 2013\r\n")
                           : Text(u"The quick brown fox jumps over the lazy dog, 2013.\r\n");
    Text text;
    text.reserve(kSize);
    while (text.size() + line.size() <= kSize) text += line;
    text.resize(kSize, u'.');
    return text;
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<char> from(kSize, 'a'), to(kSize, 'b');
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kSize);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void Save(benchmark::State& state, bool thai) {
    const Text text = Document(thai);
    Bytes file;
    protect::MaskDocument(kPassword, text, file);  // the output buffer exists, as memcpy's does
    for (auto _ : state) {
        protect::MaskDocument(kPassword, text, file);
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void Open(benchmark::State& state, bool thai) {
    Bytes file;
    protect::MaskDocument(kPassword, Document(thai), file);
    Text text;
    if (!protect::UnmaskDocument(file, kPassword, text)) state.SkipWithError("round trip failed");
    for (auto _ : state) {
        const bool ok = protect::UnmaskDocument(file, kPassword, text);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_SavePipeline(benchmark::State& state) { Save(state, false); }
void BM_OpenPipeline(benchmark::State& state) { Open(state, false); }
void BM_SavePipelineThai(benchmark::State& state) { Save(state, true); }
void BM_OpenPipelineThai(benchmark::State& state) { Open(state, true); }

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SavePipeline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenPipeline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SavePipelineThai)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenPipelineThai)->Unit(benchmark::kMillisecond)->UseRealTime();

// Remembers each run's time so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds_[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        const auto base = seconds_.find("BM_Memcpy/real_time");
        if (base == seconds_.end()) return;
        std::printf("\nBest time as a multiple of memcpy of 64 MiB (%.2f ms; target <= 3.0):\n",
                    base->second * 1e3);
        for (const auto& [name, s] : seconds_)
            if (name != base->first)
                std::printf("  %-32s %6.2f ms %5.2fx\n", name.c_str(), s * 1e3, s / base->second);
        // A UTF-8 pipeline against the code page's of the same size (goal <= 1.1).
        const auto open = seconds_.find("BM_OpenAnsi16MiB/real_time"),
                   save = seconds_.find("BM_SaveAnsi16MiB/real_time");
        const auto openUtf8 = seconds_.find("BM_OpenUtf8_16MiB/real_time");
        const auto saveUtf8 = seconds_.find("BM_SaveUtf8_16MiB/real_time");
        if (open != seconds_.end() && openUtf8 != seconds_.end())
            std::printf("16 MiB open, UTF-8 / Windows-874: %.2fx (goal <= 1.1)\n",
                        openUtf8->second / open->second);
        if (save != seconds_.end() && saveUtf8 != seconds_.end())
            std::printf("16 MiB save, UTF-8 / Windows-874: %.2fx (goal <= 1.1)\n",
                        saveUtf8->second / save->second);
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    // Several repetitions by default, so that the ratios compare best times.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=5";
    args.insert(args.begin() + 1, repetitions);
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
