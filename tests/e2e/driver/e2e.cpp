// The driver's runner: the selected tests one after another in the run's Wine
// prefix, each from a clean machine; writes e2e.log and results.txt, whose last
// line scripts/e2e.sh waits for.
//   korveline_e2e.exe --program Z:\...\korveline.exe --out /unix/folder [--list | pattern ...]
// A pattern selects tests by "Suite.Name" with * and ? wildcards; ':' separates several.
#include "driver/e2e.h"

namespace e2e {
namespace {

FILE* g_log = nullptr;

bool Matches(const char* pattern, const char* text) {
    if (*pattern == '*')
        return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
    return *pattern ? *text && (*pattern == '?' || *pattern == *text) && Matches(pattern + 1, text + 1)
                    : !*text;
}

}  // namespace

void Log(const std::string& line) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::fprintf(g_log, "%02d:%02d:%02d.%03d %s\n", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                 line.c_str());
    std::fflush(g_log);
}

}  // namespace e2e

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace e2e;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring program, out;
    std::vector<std::string> patterns;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if ((arg == L"--program" || arg == L"--out") && i + 1 < argc)
            (arg == L"--out" ? out : program) = argv[++i];
        else  // patterns (or --list), ':' between them
            for (std::size_t start = 0, end = 0; end != std::wstring::npos; start = end + 1)
                patterns.push_back(Utf8(arg.substr(start, (end = arg.find(L':', start)) - start)));
    }
    const bool list = patterns.size() == 1 && patterns[0] == "--list";
    for (wchar_t& c : out = L"Z:" + out)
        c = c == L'/' ? L'\\' : c;
    g_log = _wfopen((out + L"\\e2e.log").c_str(), L"wb");
    FILE* results = _wfopen((out + L"\\results.txt").c_str(), L"wb");
    MakeFolders(L"C:\\Program Files\\Korveline");
    builtTools = program.substr(0, program.rfind(L'\\')) + L"\\tests\\tools";
    if (!g_log || !results || !CopyFileW(program.c_str(), kProgram.c_str(), FALSE))
        return 2;  // no summary: e2e.sh says so
    SetEnvironmentVariableW(L"SDL_VIDEODRIVER",
                            L"dummy");  // DOSBox, which the program starts, without a screen
    SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
    int passed = 0, failed = 0;
    for (const auto& [name, body] : tests) {
        bool selected = patterns.empty();
        for (const std::string& p : patterns)
            selected = selected || Matches(p.c_str(), name.c_str());
        if (list)
            std::fprintf(results, "%s\n", name.c_str());
        if (list || !selected)
            continue;
        Log("RUN  " + name);
        const auto start = std::chrono::steady_clock::now();
        failures.clear();
        workFolder = L"C:\\e2e work\\" + std::to_wstring(passed + failed);
        dosFolder = L"C:\\DOS" + std::to_wstring(passed + failed);
        MakeFolders(workFolder);
        MakeFolders(dosFolder);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\asm");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korveline");
        for (const wchar_t* key : {L".asm", L"Korveline.Qorvath"})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
        try {
            body();
        } catch (const AbortTest& abort) {
            Log("  test ended: " + abort.reason);
            failures += failures.empty() ? "  FAILED " + abort.reason + "\n" : "";
        } catch (const PlatformError& error) {
            failures +=
                "  FAILED " + Utf8(error.Operation()) + ", error " + std::to_string(error.Code()) + "\n";
        }
        const auto ms = std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start).count();
        const std::string line =
            (failures.empty() ? "PASS " : "FAIL ") + name + " (" + std::to_string(ms) + " ms)";
        Log(line);
        std::fprintf(results, "%s\n%s", line.c_str(), failures.c_str());
        std::fflush(results);
        (failures.empty() ? passed : failed)++;
    }
    if (!list)
        std::fprintf(results, "%d passed, %d failed\n", passed, failed + (passed + failed == 0));
    std::fclose(results);
    return failed == 0 ? 0 : 1;
}
