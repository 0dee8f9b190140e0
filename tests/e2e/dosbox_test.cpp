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
const wchar_t kDosWork[] = L"C:\\DOSWORK";
const wchar_t kLocated[] = L"C:\\DBX\\dosbox.exe";

// Runs a shell script of the host (written to /tmp); does not wait.
void RunShell(const std::string& name, const std::string& script) {
    const std::wstring path = L"/tmp/korveline-" + std::wstring(name.begin(), name.end()) +
                              std::to_wstring(GetCurrentProcessId()) + L".sh";
    WriteBytes(L"Z:" + path, script + "rm -f \"$0\"\n");
    std::wstring command = L"/bin/sh \"" + path + L"\"";
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
        RunShell("end",
                 "for p in /proc/[0-9]*; do [ \"$(cat $p/comm 2>/dev/null)\" = dosbox ] && "
                 "tr '\\0' '\\n' <$p/environ 2>/dev/null | grep -qx 'KORVELINE_E2E_DOSBOX=" +
                     mark + "' && kill ${p#/proc/}; done\n");
    }
};

// Waits until a file whose name ends in `suffix` has gone from the folder, as
// Windows reports it, counting from construction.
class Removal {
  public:
    explicit Removal(const wchar_t* folder)
        : folder_(CreateFileW(folder,
                              FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                              nullptr)) {
        overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Arm();
    }
    ~Removal() {
        CancelIo(folder_);
        CloseHandle(folder_);
        CloseHandle(overlapped_.hEvent);
    }
    bool WaitFor(const std::wstring& suffix) {
        return WaitUntil(
            [&] {
                DWORD n = 0;
                if (!GetOverlappedResult(folder_, &overlapped_, &n, FALSE))
                    return false;
                bool gone = false;
                for (const BYTE* at = buffer_; n > 0;) {
                    const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
                    const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
                    gone |= info->Action == FILE_ACTION_REMOVED && name.size() >= suffix.size() &&
                            _wcsicmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0;
                    if (!info->NextEntryOffset)
                        break;
                    at += info->NextEntryOffset;
                }
                Arm();
                return gone;
            },
            kDosBoxTimeout);
    }

  private:
    void Arm() {
        ResetEvent(overlapped_.hEvent);
        ReadDirectoryChangesW(folder_, buffer_, sizeof buffer_, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                              &overlapped_, nullptr);
    }
    HANDLE folder_;
    OVERLAPPED overlapped_{};
    alignas(DWORD) BYTE buffer_[16384];
};

// The DOS stand-ins in C:\DOSTOOLS, named in the store, and an empty
// C:\DOSWORK; false (with a log line) where the DOSBox tests cannot run.
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
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"C:\\DOSWORK\\*.*", &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        DeleteFileW((std::wstring(kDosWork) + L"\\" + found.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    CreateDirectoryW(kDosWork, nullptr);
    WriteBytes(std::wstring(kDosWork) + L"\\hello.asm", "mov ax, 4c00h\r\n");
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
    const std::wstring doc = std::wstring(kDosWork) + L"\\hello.asm";
    Program app = Program::Start(doc);
    struct Case {
        Command command;
        const wchar_t* output;
        const char* linkSwitches;
    } cases[] = {
        {Command::Make16Com, L"hello.com", "/x /v /t"},
        {Command::Make16Exe, L"hello.exe", "/x /v"},
        {Command::Make32Com, L"prog32.com", "/x /v /t /3"},
        {Command::Make32Exe, L"prog32.exe", "/x /v /3"},
    };
    const std::wstring log = std::wstring(kDosWork) + L"\\standin.log";
    for (const Case& c : cases) {
        const std::wstring output = std::wstring(kDosWork) + L"\\" + c.output;
        Log(L"build " + output);
        DeleteFileW(log.c_str());
        Build(app, c.command, output);
        CHECK(WaitUntil([&] { return RunEnabled(app); }, kDosBoxTimeout));

        const std::string base = Ascii(output.substr(0, output.size() - 4));
        const std::string asmArgs = "/z /zi /n /m2 " + Ascii(doc) + ", " + base + ", " + base;
        const std::string linkArgs = std::string(c.linkSwitches) + " " + base + ", " + base;
        CHECK_EQ(ReadBytes(std::wstring(kDosWork) + L"\\hello.bat"),
                 std::optional<std::string>(" prompt $s\r\nC:\\DOSTOOLS\\TASM.EXE " + asmArgs +
                                            "\r\nC:\\DOSTOOLS\\TLINK.EXE " + linkArgs + "\r\n"));
        CHECK_EQ(ReadBytes(log),
                 std::optional<std::string>("tasm " + asmArgs + "\r\ntlink " + linkArgs + "\r\n"));

        const std::wstring ran = output.substr(0, output.size() - 4) + L".RAN";
        DeleteFileW(ran.c_str());
        app.Click(Command::RunCompiled);
        CHECK(WaitUntil([&] { return FileExists(ran); }, kDosBoxTimeout));
        dosbox.EndSessions();
    }

    // A source the assembler refuses: once the script has ended, Run stays disabled.
    Removal marker(kDosWork);
    app.TypeInEditor(L"; FAIL\r\n");
    Build(app, Command::Make16Exe, std::wstring(kDosWork) + L"\\failed.exe");
    REQUIRE(marker.WaitFor(L".END"));  // the end, seen by the program and posted to its window
    app.Click(Command::About);         // so handled after the end
    PostMessageW(app.WaitForWindow(L"KorvelineAbout"), WM_CLOSE, 0, 0);
    CHECK(!RunEnabled(app));
    CHECK(!FileExists(std::wstring(kDosWork) + L"\\failed.exe"));
}

E2E_TEST(DosBox, WhereNoneIsFoundTheBuildOffersToLocateItAndKeepsTheChoice) {
    if (!DosStandInsConfigured())
        return;
    HeadlessDosBox dosbox;
    const HKEY hkcu = HKEY_CURRENT_USER;
    RegRemoveValue(hkcu, L"Software\\Korveline", L"DOSBox");
    Program app = Program::Start(std::wstring(kDosWork) + L"\\hello.asm");
    app.Menu();  // the menu probe comes from drive Z:, hooked in while it is there
    // Drive Z: (the host's programs) hidden, and a link to the host's dosbox
    // where a user could find it; put back when the test ends, or after two minutes.
    const std::string prefix = Utf8(_wgetenv(L"WINEPREFIX") ? _wgetenv(L"WINEPREFIX") : L"");
    REQUIRE(!prefix.empty());
    RunShell("hide",
             "P='" + prefix +
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

    const std::wstring output = std::wstring(kDosWork) + L"\\hello.exe";
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
            ChooseFile(open, kLocated);
            REQUIRE(WaitUntil([&] { return !IsWindow(open); }));
        }
        // Declined, the build goes on as it always has: the save dialog, the script started directly.
        ChooseFile(app.WaitForFileDialog(), output);
        CHECK_EVENTUALLY_EQ(RegGet(hkcu, L"Software\\Korveline", L"DOSBox"),
                            answer == IDYES ? RegSz(kLocated) : RegMissing());
    }
    CHECK(WaitUntil([&] { return RunEnabled(app); }, kDosBoxTimeout));
    // The next build finds it where it was put, without asking.
    DeleteFileW(output.c_str());
    Build(app, Command::Make16Exe, output);
    CHECK(WaitUntil([&] { return FileExists(output); }, kDosBoxTimeout));
    RegRemoveValue(hkcu, L"Software\\Korveline", L"DOSBox");
}

}  // namespace e2e
