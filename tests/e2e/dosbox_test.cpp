// Builds through DOSBox: the DOS stand-ins of tests/tools/dos configured, the
// script run in the host's dosbox (headless), Run starting the built DOS
// program there. Skipped, with a log line, where dosbox or nasm was missing.
#include "build_steps.h"

namespace e2e {
namespace {

constexpr Ms kDosBoxTimeout{60000};  // DOSBox starts in about a second; a loaded machine is slower
const wchar_t kHostDosBox[] = L"Z:\\usr\\bin\\dosbox";
// DOSBox knows long names by short names of its own, not Wine's: DOS work stays in 8.3 folders.
const wchar_t kDosWork[] = L"C:\\DOSWORK";
const wchar_t kAboutClass[] = L"KorvelineAbout";

std::wstring BuiltFolder() {
    wchar_t self[MAX_PATH];
    const std::wstring driver(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    const std::wstring e2eFolder = driver.substr(0, driver.find_last_of(L'\\'));
    return e2eFolder.substr(0, e2eFolder.find_last_of(L'\\')) + L"\\tools\\";
}

// DOSBox without a screen or sound, marked so that this run's DOSBox
// processes, which wait for a key, can be counted and ended.
class HeadlessDosBox {
  public:
    HeadlessDosBox()
        : mark_(std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount())) {
        SetEnvironmentVariableW(L"SDL_VIDEODRIVER", L"dummy");
        SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
        SetEnvironmentVariableW(L"KORVELINE_E2E_DOSBOX", mark_.c_str());
    }
    ~HeadlessDosBox() {
        Count(true);
        for (const wchar_t* name : {L"SDL_VIDEODRIVER", L"SDL_AUDIODRIVER", L"KORVELINE_E2E_DOSBOX"})
            SetEnvironmentVariableW(name, nullptr);
    }
    HeadlessDosBox(const HeadlessDosBox&) = delete;
    HeadlessDosBox& operator=(const HeadlessDosBox&) = delete;

    // This run's DOSBox processes still running (-1: not known); they are
    // ended when `end`.
    int Count(bool end) const {
        const std::wstring script = OutputFolder() + L"\\dosbox-count.sh";
        const std::wstring result = OutputFolder() + L"\\dosbox-count.txt";
        DeleteFileW(result.c_str());
        const std::string unixResult = Unix(result);
        WriteBytes(script,
                   "n=0\nfor p in /proc/[0-9]*; do\n"
                   "  [ \"$(cat $p/comm 2>/dev/null)\" = dosbox ] || continue\n"
                   "  tr '\\0' '\\n' <$p/environ 2>/dev/null | grep -qx 'KORVELINE_E2E_DOSBOX=" +
                       Utf8(mark_) + "' || continue\n  n=$((n+1))\n" + (end ? "  kill ${p#/proc/}\n" : "") +
                       "done\necho $n >'" + unixResult + ".part' && mv '" + unixResult + ".part' '" +
                       unixResult + "'\n");
        const std::string unixScript = Unix(script);
        std::wstring command = L"/bin/sh \"" + std::wstring(unixScript.begin(), unixScript.end()) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return -1;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (!WaitUntil([&] { return FileExists(result); }, Ms(15000)))
            return -1;
        return std::atoi(ReadBytes(result).value_or("-1").c_str());
    }

  private:
    static std::string Unix(const std::wstring& zPath) {
        std::string path = Utf8(zPath.substr(2));
        for (char& c : path)
            c = c == '\\' ? '/' : c;
        return path;
    }
    std::wstring mark_;
};

// The names a folder loses, as Windows reports them, from construction on.
class Removals {
  public:
    explicit Removals(const std::wstring& folder)
        : folder_(CreateFileW(folder.c_str(),
                              FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                              nullptr)) {
        overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Arm();
    }
    ~Removals() {
        CancelIo(folder_);
        CloseHandle(folder_);
        CloseHandle(overlapped_.hEvent);
    }
    // Waits until a file whose name ends in `suffix` has gone.
    bool WaitFor(const std::wstring& suffix) {
        return WaitUntil(
            [&] {
                DWORD n = 0;
                if (!GetOverlappedResult(folder_, &overlapped_, &n, FALSE))
                    return false;
                bool gone = false;
                for (DWORD at = 0; n > 0;) {
                    const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
                    const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
                    gone =
                        gone || (info->Action == FILE_ACTION_REMOVED && name.size() >= suffix.size() &&
                                 _wcsicmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0);
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

// The DOS stand-ins in C:\DOSTOOLS and named in the store; false (and a log
// line) when this machine cannot run the DOSBox tests.
bool DosStandInsConfigured() {
    if (!FileExists(kHostDosBox) || !FileExists(BuiltFolder() + L"dos\\TASM.EXE")) {
        Log("skipped: needs the host's dosbox and the DOS stand-ins (nasm); scripts/install-deps.sh installs "
            "both");
        return false;
    }
    CreateDirectoryW(L"C:\\DOSTOOLS", nullptr);
    for (const wchar_t* name : {L"TASM.EXE", L"TLINK.EXE"})
        REQUIRE(CopyFileW((BuiltFolder() + L"dos\\" + name).c_str(),
                          (std::wstring(L"C:\\DOSTOOLS\\") + name).c_str(), FALSE));
    PutStore(L"C:\\DOSTOOLS\\TASM.EXE", L"C:\\DOSTOOLS\\TLINK.EXE");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(kDosWork) + L"\\*.*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        DeleteFileW((std::wstring(kDosWork) + L"\\" + found.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    CreateDirectoryW(kDosWork, nullptr);
    return true;
}

std::string Ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Hides the host's programs from Wine (drive Z: gone) while it lives, and
// puts a link to the host's dosbox at C:\DBX\dosbox.exe for a user to find.
// A shell keeps the state and puts Z: back when told, or after two minutes.
class HostHidden {
  public:
    HostHidden() {
        const std::string prefix = Utf8(Environment(L"WINEPREFIX"));
        REQUIRE(!prefix.empty());
        const std::string script = "/tmp/korveline-hide-" + std::to_string(GetCurrentProcessId()) + ".sh";
        WriteBytes(
            L"Z:" + std::wstring(script.begin(), script.end()),
            "P='" + prefix +
                "'\nmv \"$P/dosdevices/z:\" \"$P/dosdevices/z-hidden\"\n"
                "mkdir -p \"$P/drive_c/DBX\" && ln -sf /usr/bin/dosbox \"$P/drive_c/DBX/dosbox.exe\"\n"
                "touch \"$P/drive_c/DBX/HIDDEN\"\ni=0\n"
                "while [ ! -e \"$P/drive_c/DBX/RESTORE\" ] && [ $i -lt 1200 ]; do sleep 0.1; i=$((i+1)); "
                "done\n"
                "mv \"$P/dosdevices/z-hidden\" \"$P/dosdevices/z:\"\nrm -rf \"$P/drive_c/DBX\" \"$0\"\n");
        std::wstring command = L"/bin/sh \"" + std::wstring(script.begin(), script.end()) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        REQUIRE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        REQUIRE(WaitUntil([] { return FileExists(L"C:\\DBX\\HIDDEN"); }, Ms(15000)));
    }
    ~HostHidden() {
        WriteBytes(L"C:\\DBX\\RESTORE", "");
        if (!WaitUntil([] { return FileExists(kHostDosBox); }, Ms(15000)))
            Log("drive Z: did not come back");
    }
    HostHidden(const HostHidden&) = delete;
    HostHidden& operator=(const HostHidden&) = delete;

  private:
    static std::wstring Environment(const wchar_t* name) {
        wchar_t value[MAX_PATH];
        const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
        return n && n < MAX_PATH ? std::wstring(value, n) : std::wstring();
    }
};

}  // namespace

E2E_TEST(DosBox, EachCompileCommandBuildsInDosBoxAndRunStartsTheProgramThere) {
    if (!DosStandInsConfigured())
        return;
    HeadlessDosBox dosbox;
    const std::wstring doc = std::wstring(kDosWork) + L"\\hello.asm";
    WriteBytes(doc, "mov ax, 4c00h\r\n");
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
        dosbox.Count(true);  // the sessions wait for a key
    }

    // A source the assembler refuses: once the script has ended, Run stays disabled.
    Removals removals(kDosWork);
    app.TypeInEditor(L"; FAIL\r\n");
    Build(app, Command::Make16Exe, std::wstring(kDosWork) + L"\\failed.exe");
    REQUIRE(removals.WaitFor(L".END"));  // the script's end, seen by the program
    app.Click(Command::About);           // handled after the end's news
    HWND about = app.WaitForWindow(kAboutClass);
    CHECK(!RunEnabled(app));
    CHECK(!FileExists(std::wstring(kDosWork) + L"\\failed.exe"));
    PostMessageW(about, WM_CLOSE, 0, 0);
}

E2E_TEST(DosBox, WindowsToolsBuildWithoutDosBox) {
    if (!DosStandInsConfigured())
        return;
    HeadlessDosBox dosbox;
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    WriteBytes(doc, "mov ax, 1\r\n");
    Program app = Program::Start(doc);
    Build(app, Command::Make16Com, WorkFolder() + L"\\hello.com");
    CHECK_EVENTUALLY(FileExists(WorkFolder() + L"\\hello.com"));
    CHECK_EQ(dosbox.Count(false), 0);
}

E2E_TEST(DosBox, WhereNoneIsFoundTheBuildOffersToLocateItAndKeepsTheChoice) {
    if (!DosStandInsConfigured())
        return;
    HeadlessDosBox dosbox;
    const HKEY hkcu = HKEY_CURRENT_USER;
    RegRemoveValue(hkcu, L"Software\\Korveline", L"DOSBox");
    const std::wstring doc = std::wstring(kDosWork) + L"\\hello.asm";
    WriteBytes(doc, "mov ax, 1\r\n");
    Program app = Program::Start(doc);
    app.Menu();  // the menu probe comes from Z:, hooked in while it is there
    HostHidden hidden;
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
    CHECK(!app.FindMessageBox());
    RegRemoveValue(hkcu, L"Software\\Korveline", L"DOSBox");
}

}  // namespace e2e
