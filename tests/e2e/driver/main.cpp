// The driver's entry: runs the registered tests one after another in the one
// Wine prefix of this run and writes the log and the results.
//
//   korveline_e2e.exe --program Z:\...\korveline.exe --out /unix/output/folder [pattern ...]
//   korveline_e2e.exe --list --out /unix/output/folder
//   korveline_e2e.exe --repeat 10 ... 'Startup.*'   (each selected test ten times, to find a flaky one)
//
// A pattern selects tests by "Suite.Name" with * and ? wildcards; several
// patterns (or one with ':' between them) select every test that any matches.
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
    if (*pattern == '\0')
        return *text == '\0';
    if (*pattern == '*')
        return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
    if (*text == '\0')
        return false;
    return (*pattern == '?' || *pattern == *text) && Matches(pattern + 1, text + 1);
}

bool Selected(const std::vector<std::string>& patterns, const std::string& name) {
    if (patterns.empty())
        return true;
    for (const std::string& list : patterns) {
        std::size_t start = 0;
        while (start <= list.size()) {
            auto end = list.find(':', start);
            if (end == std::string::npos)
                end = list.size();
            if (Matches(list.substr(start, end - start).c_str(), name.c_str()))
                return true;
            start = end + 1;
        }
    }
    return false;
}

// Runs one test; true when it passed.
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
        else if (arg == L"--list")
            list = true;
        else if (arg == L"--repeat" && i + 1 < argc)
            repeat = std::max(1, _wtoi(argv[++i]));
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
    if (list) {
        for (const TestCase& test : AllTests())
            std::fprintf(results, "%s\n", test.FullName().c_str());
        std::fclose(results);
        return 0;
    }
    if (program.empty() || !FileExists(ProgramPath())) {
        Log("the program " + Utf8(program) + " could not be installed");
        std::fprintf(results, "0 passed, 1 failed\n");
        std::fclose(results);
        return 1;
    }

    std::vector<const TestCase*> selected;
    for (const TestCase& test : AllTests())
        if (Selected(patterns, test.FullName()))
            selected.push_back(&test);
    int passed = 0, failed = 0;
    for (int round = 0; round < repeat; ++round)
        for (const TestCase* test : selected) {
            const std::string name = test->FullName();
            Log("RUN  " + name);
            const auto start = std::chrono::steady_clock::now();
            const bool ok = RunOne(*test);
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
            if (!ok)
                Screenshot(L"FAILED-" + std::wstring(name.begin(), name.end()));
            Log((ok ? "PASS " : "FAIL ") + name + " (" + std::to_string(ms) + " ms)");
            std::fprintf(results, "%s %s (%lld ms)\n", ok ? "PASS" : "FAIL", name.c_str(),
                         static_cast<long long>(ms));
            std::fflush(results);
            (ok ? passed : failed)++;
        }
    if (passed + failed == 0) {
        Log("no test matches the patterns");
        failed = 1;
    }
    std::fprintf(results, "%d passed, %d failed\n", passed, failed);
    std::fclose(results);
    Log(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed");
    return failed == 0 ? 0 : 1;
}
