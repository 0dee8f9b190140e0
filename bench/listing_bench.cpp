// Reading the assembler's messages from a 4 MB listing, against counting the
// listing's lines with memchr (the least any reader of its lines does), native;
// then a 100 MB listing that is nearly all messages, read from disk as a build
// reads it, with the time and the memory it takes.
// Prints milliseconds and ratios; passes or fails nothing.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "compile/build_listing.h"
#include "compile/build_results.h"

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

std::size_t ReadListing(std::size_t keep) {
    ListingReader reader(keep);
    for (std::size_t at = 0; at < Listing().size(); at += 1 << 20)
        reader.Take(std::string_view(Listing()).substr(at, 1 << 20));
    reader.Finish();
    return reader.Kept().size() + reader.NotKept();
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

void ReadListingBench(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadListing(5000));
}

BENCHMARK(CountLines)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadListingBench)->Unit(benchmark::kMillisecond);

class TimeReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            ms[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> ms;
};

std::string Narrow(const std::wstring& path) {
    return std::string(path.begin(), path.end());  // the bench's own ASCII paths
}

// The files of this machine, as far as reading the build's results needs them.
class DiskFiles : public FileSystem {
  public:
    bool FileExists(const std::wstring& path) override {
        struct stat s {};
        return stat(Narrow(path).c_str(), &s) == 0 && S_ISREG(s.st_mode);
    }
    std::uint32_t GetAttributes(const std::wstring&) override { return 0; }
    void CreateEmptyFile(const std::wstring& path) override { throw PlatformError(path, 5); }
    FileStamp Stamp(const std::wstring& path) override {
        struct stat s {};
        if (stat(Narrow(path).c_str(), &s) != 0)
            throw PlatformError(path, 2);
        return {static_cast<std::uint64_t>(s.st_size), ~0ull};  // always this build's
    }
    std::string ReadAll(const std::wstring& path) override { throw PlatformError(path, 5); }
    void ReadPieces(const std::wstring& path, std::size_t size, const TakePiece& take) override {
        std::FILE* file = std::fopen(Narrow(path).c_str(), "rb");
        if (!file)
            throw PlatformError(path, 2);
        std::string piece(size, '\0');
        for (std::size_t got; (got = std::fread(piece.data(), 1, size, file)) > 0;)
            take(std::string_view(piece.data(), got));
        std::fclose(file);
    }
    void WriteAll(const std::wstring& path, const std::string&) override { throw PlatformError(path, 5); }
};

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// 100 MB written a line at a time, nearly every line a message: the build
// reads it from disk, keeps 5,000 rows and counts the rest.
void HundredMegabytes() {
    const std::string base = "/tmp/kv-listing-bench-" + std::to_string(getpid());
    std::FILE* file = std::fopen((base + ".LST").c_str(), "wb");
    if (!file)
        return;
    std::size_t bytes = 0, messages = 0;
    for (int n = 1; bytes < 100u << 20; ++n) {
        const std::string line = n % 20 == 0
                                     ? "    " + std::to_string(n) + "  0000  B8 4C00  mov ax, 4c00h\r\n"
                                     : "**Error** HELLO.ASM(" + std::to_string(n) + ") Undefined symbol\r\n";
        messages += n % 20 != 0;
        bytes += std::fwrite(line.data(), 1, line.size(), file);
    }
    std::fclose(file);
    const std::wstring wideBase(base.begin(), base.end());
    const ScriptOutputs outputs{L"hello.asm", L"HELLO.ASM", wideBase, wideBase + L".exe"};
    DiskFiles files;
    const long before = PeakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    const BuildResults results = CollectBuildResults(outputs, 0, files);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long after = PeakKilobytes();
    // The reference: the file read whole, as the build once read it before parsing.
    const auto wholeStart = std::chrono::steady_clock::now();
    std::string whole;
    files.ReadPieces(wideBase + L".LST", 1 << 20, [&](std::string_view piece) { whole += piece; });
    const double wholeSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wholeStart).count();
    const long wholePeak = PeakKilobytes();
    std::remove((base + ".LST").c_str());
    std::printf("Listing of %zu bytes on disk, %zu messages: %zu rows in %.2f s, peak memory %+.1f MB\n",
                bytes, messages, results.rows.size(), seconds, (after - before) / 1024.0);
    std::printf("  reading it whole (no parsing): %.2f s, peak memory %+.1f MB; ratio %.1f\n", wholeSeconds,
                (wholePeak - after) / 1024.0, seconds / wholeSeconds);
    std::printf("  its last rows: %ls | %ls\n", results.rows[results.rows.size() - 2].text.c_str(),
                results.rows.back().text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double count = reporter.ms["CountLines"], read = reporter.ms["ReadListingBench"];
    if (count > 0) {
        std::printf(
            "\nListing of %zu bytes, %zu messages: reading %.2f ms, counting its lines %.2f ms, ratio %.1f\n",
            Listing().size(), ReadListing(5000), read, count, read / count);
    }
    HundredMegabytes();
    return 0;
}
