// The driver's runner: GoogleTest runs the selected tests one after another in
// the run's Wine prefix, each from a clean machine. Its output goes to e2e.log;
// results.txt gets a line per test with its failures, then the summary that
// scripts/e2e.sh waits for.
//   korveline_e2e.exe --program Z:\...\korveline.exe --out /unix/folder [--list | pattern ...]
// A pattern selects tests by "Suite.Name" with * and ? wildcards; ':' separates several.
#include "driver/e2e.h"

namespace {

class Runner : public testing::EmptyTestEventListener {
  public:
    explicit Runner(FILE* results) : results_(results) {}
    void OnTestStart(const testing::TestInfo&) override {
        using namespace e2e;
        workFolder = L"C:\\e2e work\\" + std::to_wstring(++number_);
        dosFolder = L"C:\\DOS" + std::to_wstring(number_);
        MakeFolders(workFolder);
        MakeFolders(dosFolder);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\asm");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korveline");
        for (const wchar_t* key : {L".asm", L"Korveline.Qorvath"})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    }
    void OnTestPartResult(const testing::TestPartResult& part) override {
        if (part.failed())
            failures_ += "  FAILED line " + std::to_string(part.line_number()) + ": " + part.message() + "\n";
    }
    void OnTestEnd(const testing::TestInfo& test) override {
        std::fprintf(results_, "%s %s.%s (%lld ms)\n%s", test.result()->Failed() ? "FAIL" : "PASS",
                     test.test_suite_name(), test.name(),
                     static_cast<long long>(test.result()->elapsed_time()), failures_.c_str());
        std::fflush(results_);
        failures_.clear();
    }
    void OnTestProgramEnd(const testing::UnitTest& run) override {
        std::fprintf(results_, "%d passed, %d failed\n",
                     run.successful_test_count() + run.skipped_test_count(),
                     run.failed_test_count() + (run.test_to_run_count() == 0));
    }

  private:
    FILE* results_;
    std::string failures_;
    int number_ = 0;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring program, out;
    std::string filter;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if ((arg == L"--program" || arg == L"--out") && i + 1 < argc)
            (arg == L"--out" ? out : program) = argv[++i];
        else
            filter += (filter.empty() ? "" : ":") + e2e::Utf8(arg);
    }
    for (wchar_t& c : out = L"Z:" + out)
        c = c == L'/' ? L'\\' : c;
    FILE* results = _wfopen((out + L"\\results.txt").c_str(), L"wb");
    if (!results || !_wfreopen((out + L"\\e2e.log").c_str(), L"w", stdout))
        return 2;  // no summary: e2e.sh says so
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int one = 1;
    char name[] = "korveline_e2e";
    char* names[] = {name, nullptr};
    testing::InitGoogleTest(&one, names);
    if (filter == "--list") {
        const testing::UnitTest& all = *testing::UnitTest::GetInstance();
        for (int i = 0; i < all.total_test_suite_count(); ++i)
            for (int j = 0; j < all.GetTestSuite(i)->total_test_count(); ++j)
                std::fprintf(results, "%s.%s\n", all.GetTestSuite(i)->name(),
                             all.GetTestSuite(i)->GetTestInfo(j)->name());
        return 0;
    }
    e2e::MakeFolders(L"C:\\Program Files\\Korveline");
    e2e::builtTools = program.substr(0, program.rfind(L'\\')) + L"\\tests\\tools";
    if (!CopyFileW(program.c_str(), e2e::kProgram.c_str(), FALSE))
        return 2;
    SetEnvironmentVariableW(L"SDL_VIDEODRIVER",
                            L"dummy");  // DOSBox, which the program starts, without a screen
    SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
    testing::GTEST_FLAG(filter) = filter.empty() ? "*" : filter;
    testing::UnitTest::GetInstance()->listeners().Append(new Runner(results));
    return RUN_ALL_TESTS();
}
