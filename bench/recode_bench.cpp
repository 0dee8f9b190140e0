// Throughput of the code-page conversion against a plain copy of the same
// text, native. Prints MB/s for each and the ratios; passes or fails nothing.
// Each runs five times, interleaved with the others, and the ratios are of
// the medians (the machine is shared, so single runs vary).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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
            if (it != run.counters.end() && run.run_type == Run::RT_Iteration)
                all[run.run_name.function_name].push_back(it->second.value);
        }
    }
    double Median(const std::string& name) {
        std::vector<double>& v = all[name];
        if (v.empty())
            return 0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    std::map<std::string, std::vector<double>> all;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=5";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(args.begin(), args.end(), [](const char* a) { return std::strstr(a, "repetitions"); })) {
        args.push_back(repetitions);
        args.push_back(interleave);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double copy = reporter.Median("Copy");
    if (copy <= 0)
        return 0;
    std::printf(
        "\nMedians against a plain copy of the same text of 4 Mi characters (1.00 = as fast as copying):\n");
    for (const char* name : {"WinToDosBench", "DosToWinBench", "SaveBytesBench"}) {
        const double rate = reporter.Median(name);
        std::printf("  %-15s %8.1f M characters/s   ratio %.2f\n", name, rate / 1e6, rate / copy);
    }
    return 0;
}
