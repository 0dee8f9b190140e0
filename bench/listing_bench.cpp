// Reading the assembler's messages from a 4 MB listing, against counting the
// listing's lines with memchr (the least any reader of its lines does), native.
// Prints milliseconds and the ratio; passes or fails nothing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "compile/build_listing.h"

namespace {

// A listing of about 4 MB: source lines with Cyrillic comments (CP866), and
// one message every 200 lines.
const std::string& Listing() {
    static const std::string listing = [] {
        std::string text;
        for (int n = 1; text.size() < (4u << 20); ++n) {
            text += "    " + std::to_string(n) +
                    "  0000  B8 4C00      mov ax, 4c00h  ; \xAA\xAE\xAC\xAC\xA5\xAD\r\n";
            if (n % 200 == 0)
                text += "**Error** C:\\MY WORK\\HELLO.ASM(" + std::to_string(n) +
                        ") \x8E\xE8\xA8\xA1\xAA\xA0\r\n";
        }
        return text;
    }();
    return listing;
}

void CountLines(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t lines = 0;
        const char* p = Listing().data();
        const char* end = p + Listing().size();
        while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) {
            ++lines;
            ++p;
        }
        benchmark::DoNotOptimize(lines);
    }
}

void ParseListingBench(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseListing(Listing()).messages.data());
}

BENCHMARK(CountLines)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseListingBench)->Unit(benchmark::kMillisecond);

class TimeReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            ms[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> ms;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double count = reporter.ms["CountLines"], parse = reporter.ms["ParseListingBench"];
    if (count > 0) {
        std::printf(
            "\nListing of %zu bytes, %zu messages: parsing %.2f ms, counting its lines %.2f ms, ratio %.1f\n",
            Listing().size(), ParseListing(Listing()).messages.size(), parse, count, parse / count);
    }
    return 0;
}
