// Throughput of the code-page conversion against a plain copy of the same
// text, native. Prints MB/s for each and the ratios; passes or fails nothing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "codepage/recode.h"
#include "editor/source_file.h"

namespace {

// An assembly-like text: mostly ASCII, with Cyrillic comments.
std::wstring SampleText(std::size_t chars) {
    std::mt19937 random(42);
    std::wstring text;
    text.reserve(chars);
    const std::wstring code = L"    mov ax, word ptr [bx+si+4]\t; ";
    while (text.size() < chars) {
        text += code;
        for (int i = 0; i < 12; ++i)
            text.push_back(static_cast<wchar_t>(0x0410 + random() % 64));
        text += L"\r\n";
    }
    text.resize(chars);
    return text;
}

const std::wstring& Text() {
    static const std::wstring text = SampleText(4 << 20);
    return text;
}

void Copy(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring copy(Text());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}

void WinToDosBench(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(WinToDos(Text()).data());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}

void DosToWinBench(benchmark::State& state) {
    const std::wstring dos = WinToDos(Text());
    for (auto _ : state)
        benchmark::DoNotOptimize(DosToWin(dos).data());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}

void SaveBytesBench(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(SourceFileBytes(Text()).data());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}

BENCHMARK(Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(WinToDosBench)->Unit(benchmark::kMillisecond);
BENCHMARK(DosToWinBench)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveBytesBench)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's throughput so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end())
                rates[run.benchmark_name()] = it->second.value;
        }
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double copy = reporter.rates["Copy"];
    if (copy <= 0)
        return 0;
    std::printf("\nAgainst a plain copy of the same text of 4 Mi characters (1.00 = as fast as copying):\n");
    for (const char* name : {"WinToDosBench", "DosToWinBench", "SaveBytesBench"}) {
        std::printf("  %-15s %8.1f M characters/s   ratio %.2f\n", name, reporter.rates[name] / 1e6,
                    reporter.rates[name] / copy);
    }
    return 0;
}
