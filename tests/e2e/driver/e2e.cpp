// The driver: GoogleTest runs the tests one after another in the run's Wine
// prefix, each on a clean machine, and writes its output to e2e.log.
//   korveline_e2e.exe --program Z:\...\korveline.exe --out Z:\...\folder [GoogleTest's options]
#include "driver/e2e.h"

namespace {

// Before each test: new work folders, none of the program's keys.
struct CleanMachine : testing::EmptyTestEventListener {
    int number = 0;
    void OnTestStart(const testing::TestInfo&) override {
        using namespace e2e;
        workFolder = L"C:\\e2e work\\" + std::to_wstring(++number);
        dosFolder = L"C:\\DOS" + std::to_wstring(number);
        MakeFolders(workFolder);
        MakeFolders(dosFolder);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\asm");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korveline");
        for (const wchar_t* key : {L".asm", L"Korveline.Qorvath"})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 5 || !_wfreopen((std::wstring(argv[4]) + L"\\e2e.log").c_str(), L"w", stdout))
        return 2;
    std::setvbuf(stdout, nullptr, _IONBF, 0);                // all of it there, should the driver crash
    const std::wstring program = argv[2], driver = argv[0];  // the driver: in tests\e2e of its build
    argv[4] = argv[0];
    argc -= 4;
    testing::InitGoogleTest(&argc, argv + 4);  // what follows --program and --out
    e2e::MakeFolders(L"C:\\Program Files\\Korveline");
    e2e::builtTools = driver.substr(0, driver.rfind(L"\\e2e\\")) + L"\\tools";
    if (!CopyFileW(program.c_str(), e2e::kProgram.c_str(), FALSE))
        return std::printf("could not install %s\n", e2e::Utf8(program).c_str()), 2;
    SetEnvironmentVariableW(L"SDL_VIDEODRIVER",
                            L"dummy");  // DOSBox, which the program starts, without a screen
    SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
    testing::UnitTest::GetInstance()->listeners().Append(new CleanMachine);
    return RUN_ALL_TESTS();
}
