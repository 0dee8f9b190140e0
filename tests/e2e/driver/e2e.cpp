// The driver's runner: runs the selected tests one after another in the one
// Wine prefix of this run, each from a clean machine, and writes the log and
// results.txt (scripts/e2e.sh prints its summary).
//   korveline_e2e.exe --program Z:\...\korveline.exe --out /unix/folder [--list] [pattern ...]
// A pattern selects tests by "Suite.Name" with * and ? wildcards; ':' separates several.
#include "driver/e2e.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "driver/environment.h"

namespace e2e {
namespace {

FILE* g_log = nullptr;
std::string g_failures;  // of the running test

struct AbortTest {
    std::string reason;
};

// Quoted as a failure message shows it: control characters (of bytes, also those above 0x7F) as \xNN.
std::string Quote(const std::wstring& text, bool bytes) {
    std::string out = "\"";
    for (wchar_t c : text) {
        const auto at = std::wstring(L"\r\n\t\"\\").find(c);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(c));
        out += at != std::wstring::npos                         ? std::string("\\") + "rnt\"\\"[at]
               : c < 0x20 || (c >= 0x7f && (bytes || c < 0xa0)) ? hex
                                                                : Utf8(std::wstring(1, c));
    }
    return out + "\"";
}

bool Matches(const char* pattern, const char* text) {
    if (*pattern == '*')
        return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
    return *pattern ? *text && (*pattern == '?' || *pattern == *text) && Matches(pattern + 1, text + 1)
                    : !*text;
}

bool RunOne(const TestCase& test) {
    g_failures.clear();
    ResetMachineState();
    try {
        test.body();
    } catch (const AbortTest& abort) {
        g_failures.empty() ? Fail(abort.reason) : Log("  test ended: " + abort.reason);
    } catch (const std::exception& error) {
        Fail(std::string("exception: ") + error.what());
    }
    return g_failures.empty();
}

}  // namespace

std::vector<TestCase>& AllTests() {
    static std::vector<TestCase> tests;
    return tests;
}

void Log(const std::string& line) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    if (!g_log)
        return;
    std::fprintf(g_log, "%02d:%02d:%02d.%03d %s\n", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                 line.c_str());
    std::fflush(g_log);
}

void Log(const std::wstring& line) {
    Log(Utf8(line));
}

void Fail(const std::string& message, const char* file, int line) {
    const char* base = file ? std::strrchr(file, '/') : nullptr;
    const std::string at =
        file ? std::string(base ? base + 1 : file) + ":" + std::to_string(line) + ": " : "";
    g_failures += "  FAILED " + at + message + "\n";
    Log("  FAILED " + at + message);
}

void Abort(const std::string& reason) {
    throw AbortTest{reason};
}

std::string Utf8(const std::wstring& text) {
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Describe(const std::wstring& text) {
    return Quote(text, false);
}

std::string Describe(const std::string& bytes) {
    std::wstring wide;
    for (unsigned char b : bytes)
        wide += wchar_t(b);
    return Quote(wide, true);
}

void PollPause() {
    Sleep(20);
}

}  // namespace e2e

// Writes results.txt: a line for each test run (with its failures) or, with
// --list, each test's name; then the summary that scripts/e2e.sh waits for.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace e2e;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring program, output;
    std::vector<std::string> patterns;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if ((arg == L"--program" || arg == L"--out") && i + 1 < argc)
            (arg == L"--out" ? output : program) = argv[++i];
        else if (arg == L"--list")
            list = true;
        else  // patterns, ':' between them
            for (std::size_t start = 0, end = 0; end != std::wstring::npos; start = end + 1)
                patterns.push_back(Utf8(arg.substr(start, (end = arg.find(L':', start)) - start)));
    }
    detail::SetUp(program, output);
    g_log = _wfopen((OutputFolder() + L"\\e2e.log").c_str(), L"wb");
    FILE* results = _wfopen((OutputFolder() + L"\\results.txt").c_str(), L"wb");
    if (!results)
        return 2;
    const bool installed = FileExists(ProgramPath());
    int passed = 0, failed = installed ? 0 : 1;
    for (const TestCase& test : AllTests()) {
        const std::string name = std::string(test.suite) + "." + test.name;
        if (list)
            std::fprintf(results, "%s\n", name.c_str());
        const auto matches = [&](const std::string& p) { return Matches(p.c_str(), name.c_str()); };
        if (list || !installed ||
            !(patterns.empty() || std::any_of(patterns.begin(), patterns.end(), matches)))
            continue;
        Log("RUN  " + name);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = RunOne(test);
        const auto ms = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start).count();
        if (!ok)
            Screenshot(L"FAILED-" + std::wstring(name.begin(), name.end()));
        const std::string line = (ok ? "PASS " : "FAIL ") + name + " (" + std::to_string(ms) + " ms)";
        Log(line);
        std::fprintf(results, "%s\n%s", line.c_str(), g_failures.c_str());
        std::fflush(results);
        (ok ? passed : failed)++;
    }
    if (!installed)
        Log("the program " + Utf8(program) + " could not be installed");
    else if (!list && passed + failed == 0)
        Log("no test matches the patterns"), failed = 1;
    if (!list)
        std::fprintf(results, "%d passed, %d failed\n", passed, failed);
    std::fclose(results);
    return failed == 0 ? 0 : 1;
}
