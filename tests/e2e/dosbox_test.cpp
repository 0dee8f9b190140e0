// Builds through DOSBox: the DOS stand-ins of tests/tools/dos configured, the
// script run in the host's dosbox (headless), Run starting the built DOS
// program there. Skipped, with a log line, where dosbox or nasm was missing.
// The Windows stand-ins' builds, which must not change, are build_test.cpp's.
#include "build_steps.h"

namespace e2e {
namespace {

constexpr Ms kDosBoxTimeout{60000};  // DOSBox starts in about a second; a loaded machine is slower
const wchar_t kHostDosBox[] = L"Z:\\usr\\bin\\dosbox";
// DOSBox knows long names by short names of its own, not Wine's: DOS work stays in 8.3 folders.
const std::wstring kDosWork = L"C:\\DOSWORK\\";

// Runs a shell script of the host (written to /tmp); does not wait.
void RunShell(const std::string& script) {
    const std::wstring path = L"/tmp/korveline-e2e-" + std::to_wstring(GetTickCount()) + L".sh";
    WriteBytes(L"Z:" + path, script + "rm -f \"$0\"\n");
    std::wstring command = L"/bin/sh " + path;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    REQUIRE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// DOSBox without a screen or sound; its sessions, which wait for a key, are
// found by a mark in their environment and ended.
struct HeadlessDosBox {
    const std::string mark = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    HeadlessDosBox() {
        SetEnvironmentVariableW(L"SDL_VIDEODRIVER", L"dummy");
        SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
        SetEnvironmentVariableA("KORVELINE_E2E_DOSBOX", mark.c_str());
    }
    ~HeadlessDosBox() { EndSessions(); }
    void EndSessions() const {
        RunShell(
            "for p in /proc/[0-9]*; do [ \"$(cat $p/comm 2>/dev/null)\" = dosbox ] && "
            "tr '\\0' '\\n' <$p/environ 2>/dev/null | grep -qx 'KORVELINE_E2E_DOSBOX=" +
            mark + "' && kill ${p#/proc/}; done\n");
    }
};

// The DOS stand-ins in C:\DOSTOOLS, named in the store, and C:\DOSWORK\hello.asm;
// false (with a log line) where the DOSBox tests cannot run.
bool DosStandInsConfigured() {
    wchar_t self[MAX_PATH];
    std::wstring built(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    built = built.substr(0, built.rfind(L"\\e2e\\")) + L"\\tools\\dos\\";
    if (!FileExists(kHostDosBox) || !FileExists(built + L"TASM.EXE")) {
        Log("skipped: needs the host's dosbox and the DOS stand-ins (nasm); scripts/install-deps.sh installs "
            "both");
        return false;
    }
    CreateDirectoryW(L"C:\\DOSTOOLS", nullptr);
    for (const wchar_t* name : {L"TASM.EXE", L"TLINK.EXE"})
        REQUIRE(CopyFileW((built + name).c_str(), (std::wstring(L"C:\\DOSTOOLS\\") + name).c_str(), FALSE));
    PutStore(L"C:\\DOSTOOLS\\TASM.EXE", L"C:\\DOSTOOLS\\TLINK.EXE");
    CreateDirectoryW(kDosWork.c_str(), nullptr);
    for (const wchar_t* output : {L"hello.com", L"hello.exe", L"prog32.com", L"prog32.exe"})
        DeleteFileW((kDosWork + output).c_str());
    WriteBytes(kDosWork + L"hello.asm", "mov ax, 4c00h\r\n");
    return true;
}

std::string Ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

}  // namespace

E2E_TEST(DosBox, EachCompileCommandBuildsInDosBoxAndRunStartsTheProgramThere) {
    if (!DosStandInsConfigured())
        return;
    HeadlessDosBox dosbox;
    Program app = Program::Start(kDosWork + L"hello.asm");
    const std::pair<Command, const char*> cases[] = {{Command::Make16Com, "hello.com|/x /v /t"},
                                                     {Command::Make16Exe, "hello.exe|/x /v"},
                                                     {Command::Make32Com, "prog32.com|/x /v /t /3"},
                                                     {Command::Make32Exe, "prog32.exe|/x /v /3"}};
    for (const auto& [command, outputAndSwitches] : cases) {
        const std::string c = outputAndSwitches, base = Ascii(kDosWork) + c.substr(0, c.find('.'));
        const std::wstring output = kDosWork + std::wstring(c.begin(), c.begin() + c.find('|'));
        const std::wstring log = kDosWork + L"standin.log",
                           ran = output.substr(0, output.size() - 4) + L".RAN";
        DeleteFileW(log.c_str());
        DeleteFileW(ran.c_str());
        Build(app, command, output);
        CHECK(WaitUntil([&] { return RunEnabled(app); }, kDosBoxTimeout));

        const std::string asmArgs = "/z /zi /n /m2 " + Ascii(kDosWork) + "hello.asm, " + base + ", " + base;
        const std::string linkArgs = c.substr(c.find('|') + 1) + " " + base + ", " + base;
        CHECK_EQ(ReadBytes(kDosWork + L"hello.bat"),
                 std::optional<std::string>(" prompt $s\r\nC:\\DOSTOOLS\\TASM.EXE " + asmArgs +
                                            "\r\nC:\\DOSTOOLS\\TLINK.EXE " + linkArgs + "\r\n"));
        CHECK_EQ(ReadBytes(log),
                 std::optional<std::string>("tasm " + asmArgs + "\r\ntlink " + linkArgs + "\r\n"));
        app.Click(Command::RunCompiled);
        CHECK(WaitUntil([&] { return FileExists(ran); }, kDosBoxTimeout));
        dosbox.EndSessions();
    }

    // A source the assembler refuses: once the script has ended, Run stays disabled. The
    // end's marker is removed after the news is posted, so a command posted then comes after it.
    app.TypeInEditor(L"; FAIL\r\n");
    Build(app, Command::Make16Exe, kDosWork + L"failed.exe");
    app.WaitForWindow(L"KorvelineBuildResults", kDosBoxTimeout);
    REQUIRE(WaitUntil([] {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((kDosWork + L"*.END").c_str(), &found);
        return search == INVALID_HANDLE_VALUE || !FindClose(search);
    }));
    app.Click(Command::About);
    PostMessageW(app.WaitForWindow(L"KorvelineAbout"), WM_CLOSE, 0, 0);
    CHECK(!RunEnabled(app));
    CHECK(!FileExists(kDosWork + L"failed.exe"));
}

E2E_TEST(DosBox, WhereNoneIsFoundTheBuildOffersToLocateItAndKeepsTheChoice) {
    if (!DosStandInsConfigured())
        return;
    HeadlessDosBox dosbox;
    const HKEY hkcu = HKEY_CURRENT_USER;
    RegRemoveValue(hkcu, L"Software\\Korveline", L"DOSBox");
    Program app = Program::Start(kDosWork + L"hello.asm");
    app.Menu();  // the menu probe comes from drive Z:, hooked in while it is there
    // Drive Z: (the host's programs) hidden, and a link to the host's dosbox
    // where a user could find it; put back when the test ends, or after two minutes.
    const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
    REQUIRE(prefix && *prefix);
    RunShell("P='" + Utf8(prefix) +
             "'; D=\"$P/drive_c/DBX\"; mv \"$P/dosdevices/z:\" \"$P/dosdevices/z-\"\n"
             "mkdir -p \"$D\" && ln -sf /usr/bin/dosbox \"$D/dosbox.exe\" && touch \"$D/HIDDEN\"\n"
             "i=0; while [ ! -e \"$D/RESTORE\" ] && [ $i -lt 1200 ]; do sleep 0.1; i=$((i+1)); done\n"
             "mv \"$P/dosdevices/z-\" \"$P/dosdevices/z:\"; rm -rf \"$D\"\n");
    struct Restore {
        ~Restore() {
            WriteBytes(L"C:\\DBX\\RESTORE", "");
            WaitUntil([] { return FileExists(kHostDosBox); }, Ms(15000));
        }
    } restore;
    REQUIRE(WaitUntil([] { return FileExists(L"C:\\DBX\\HIDDEN"); }, Ms(15000)));

    const std::wstring output = kDosWork + L"hello.exe";
    for (int answer : {IDNO, IDYES}) {
        app.Click(Command::Make16Exe);
        HWND box = app.WaitForMessageBox();
        CHECK_EQ(MessageBoxText(box),
                 L"The assembler and linker are DOS programs, which this computer cannot start by itself. "
                 L"Korveline runs them in DOSBox, but could not find DOSBox here.\r\n\r\n"
                 L"Do you want to locate DOSBox yourself?");
        PressButton(box, answer);
        if (answer == IDYES) {
            HWND open = app.WaitForFileDialog();
            ChooseFile(open, L"C:\\DBX\\dosbox.exe");
            REQUIRE(WaitUntil([&] { return !IsWindow(open); }));
        }
        // Declined, the build goes on as it always has: the save dialog, the script started directly.
        ChooseFile(app.WaitForFileDialog(), output);
        CHECK_EVENTUALLY_EQ(RegGet(hkcu, L"Software\\Korveline", L"DOSBox"),
                            answer == IDYES ? RegSz(L"C:\\DBX\\dosbox.exe") : RegMissing());
    }
    CHECK(WaitUntil([&] { return RunEnabled(app); }, kDosBoxTimeout));
    // The next build finds it where it was put, without asking.
    DeleteFileW(output.c_str());
    Build(app, Command::Make16Exe, output);
    CHECK(WaitUntil([&] { return FileExists(output); }, kDosBoxTimeout));
    RegRemoveValue(hkcu, L"Software\\Korveline", L"DOSBox");
}

}  // namespace e2e
