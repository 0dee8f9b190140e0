// The driver's entry: runs the registered tests one after another in the one
// Wine prefix of this run and writes the log and the results.
//   korveline_e2e.exe --program Z:\...\korveline.exe --out /unix/output/folder [--list] [--repeat N] [pattern
//   ...]
// A pattern selects tests by "Suite.Name" with * and ? wildcards; ':' separates several.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>

#include "driver/e2e.h"
#include "driver/environment.h"

namespace {

bool Matches(const char* pattern, const char* text) {
    if (*pattern == '*')
        return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
    return *pattern == '\0'
               ? *text == '\0'
               : *text && (*pattern == '?' || *pattern == *text) && Matches(pattern + 1, text + 1);
}

bool Selected(const std::vector<std::string>& patterns, const std::string& name) {
    for (const std::string& list : patterns)
        for (std::size_t start = 0, end; start <= list.size(); start = end + 1) {
            end = std::min(list.find(':', start), list.size());
            if (Matches(list.substr(start, end - start).c_str(), name.c_str()))
                return true;
        }
    return patterns.empty();
}

// Runs one test from a clean machine; true when it passed.
bool RunOne(const e2e::TestCase& test) {
    using namespace e2e;
    detail::ResetFailures();
    ResetMachineState();
    try {
        test.body();
    } catch (const TestAbort& abort) {
        if (detail::FailuresOfRunningTest() == 0)
            Fail(abort.reason, nullptr, 0);  // a helper could not go on
        else
            Log("  test ended: " + abort.reason);
    } catch (const std::exception& error) {
        Fail(std::string("exception: ") + error.what(), nullptr, 0);
    }
    return detail::FailuresOfRunningTest() == 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace e2e;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring program, output;
    std::vector<std::string> patterns;
    bool list = false;
    int repeat = 1;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--program" && i + 1 < argc)
            program = argv[++i];
        else if (arg == L"--out" && i + 1 < argc)
            output = argv[++i];
        else if (arg == L"--repeat" && i + 1 < argc)
            repeat = std::max(1, _wtoi(argv[++i]));
        else if (arg == L"--list")
            list = true;
        else
            patterns.push_back(Utf8(arg));
    }
    if (output.empty())
        return 2;
    detail::SetUp(program, output);
    detail::OpenLog(OutputFolder() + L"\\e2e.log");
    FILE* results = _wfopen((OutputFolder() + L"\\results.txt").c_str(), L"wb");
    if (!results)
        return 2;
    int passed = 0, failed = 0;
    if (!list && (program.empty() || !FileExists(ProgramPath()))) {
        Log("the program " + Utf8(program) + " could not be installed");
        failed = 1;
    }
    for (int round = 0; round < repeat && !failed && !list; ++round)
        for (const TestCase& test : AllTests()) {
            const std::string name = test.FullName();
            if (!Selected(patterns, name))
                continue;
            Log("RUN  " + name);
            const auto start = std::chrono::steady_clock::now();
            const bool ok = RunOne(test);
            const long long ms =
                std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start).count();
            if (!ok)
                Screenshot(L"FAILED-" + std::wstring(name.begin(), name.end()));
            Log((ok ? "PASS " : "FAIL ") + name + " (" + std::to_string(ms) + " ms)");
            std::fprintf(results, "%s %s (%lld ms)\n", ok ? "PASS" : "FAIL", name.c_str(), ms);
            std::fflush(results);
            (ok ? passed : failed)++;
        }
    for (const TestCase& test : AllTests())
        if (list)
            std::fprintf(results, "%s\n", test.FullName().c_str());
    if (!list && passed + failed == 0) {
        Log("no test matches the patterns");
        failed = 1;
    }
    if (!list)
        std::fprintf(results, "%d passed, %d failed\n", passed, failed);
    std::fclose(results);
    Log(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed");
    return failed == 0 ? 0 : 1;
}
