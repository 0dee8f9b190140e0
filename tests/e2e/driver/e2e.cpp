// The driver: runs the selected tests one after another in the run's Wine
// prefix and writes e2e.log and results.txt (scripts/e2e.sh prints its summary).
//   korveline_e2e.exe --program Z:\...\korveline.exe --out /unix/folder [--list] [pattern ...]
// A pattern selects tests by "Suite.Name" with * and ? wildcards; ':' separates several.
#include "driver/e2e.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/win32/clipboard_win.h"
#include "probe/probe.h"

namespace e2e {
namespace {

FILE* g_log = nullptr;
std::string g_failures;  // of the running test
std::wstring g_outUnix, g_out;
int g_test = 0;
Win32FileSystem g_files;

struct AbortTest {
    std::string reason;
};

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

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

void MakeFolders(const std::wstring& folder) {
    if (folder.size() > 3 && GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        MakeFolders(FolderOf(folder)), CreateDirectoryW(folder.c_str(), nullptr);
}

void StartTest() {
    g_failures.clear();
    ++g_test;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\asm");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korveline");
    for (const wchar_t* key : {L".asm", L"Korveline.Qorvath"})
        RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    MakeFolders(WorkFolder());
    MakeFolders(DosFolder());
}

}  // namespace

std::vector<TestCase>& AllTests() {
    static std::vector<TestCase> tests;
    return tests;
}

void Log(const std::string& line) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    if (g_log)
        std::fprintf(g_log, "%02d:%02d:%02d.%03d %s\n", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds,
                     line.c_str()),
            std::fflush(g_log);
}

bool CheckEq(const std::string& actual,
             const std::string& expected,
             const char* what,
             const char* file,
             int line) {
    if (actual == expected)
        return true;
    const char* base = std::strrchr(file, '/');
    const std::string message = "  FAILED " + std::string(base ? base + 1 : file) + ":" +
                                std::to_string(line) + ": " + what + "\n      actual:   " + actual +
                                "\n      expected: " + expected;
    g_failures += message + "\n";
    Log(message);
    return false;
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

std::string Show(const std::wstring& text) {
    return Quote(text, false);
}

std::string Show(const std::string& bytes) {
    return Quote(std::wstring(bytes.begin(), bytes.end()), true);  // each byte a character
}

std::wstring ProgramPath() {
    return L"C:\\Program Files\\Korveline\\korveline.exe";
}
std::wstring WorkFolder() {
    return L"C:\\e2e work\\" + std::to_wstring(g_test);
}
std::wstring DosFolder() {
    return L"C:\\DOS" + std::to_wstring(g_test);
}
std::wstring BuiltTools() {
    wchar_t self[MAX_PATH];
    const std::wstring driver(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    return FolderOf(FolderOf(driver)) + L"\\tools\\";
}

void PutFile(const std::wstring& path,
             const std::string& bytes) {  // not WriteAll: Wine's temp names stop at 260
    MakeFolders(FolderOf(path));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (!ok)
        Abort("could not write " + Utf8(path));
}

std::string FileText(const std::wstring& path) {
    try {
        return g_files.ReadAll(path);
    } catch (const PlatformError&) {
        return "(missing)";
    }
}

bool FileExists(const std::wstring& path) {
    return g_files.FileExists(path);
}

std::string Reg(RegRoot root, const std::wstring& key, const std::wstring& name) {
    try {
        const RegValue v = registry.ReadValue(root, key, name);
        return v.type == RegType::String  ? "REG_SZ " + Show(v.text)
               : v.type == RegType::Dword ? "REG_DWORD " + std::to_string(v.number)
                                          : "type " + std::to_string(int(v.type));
    } catch (const PlatformError&) {
        return "(missing)";
    }
}

const std::vector<std::pair<std::wstring, std::wstring>> kSwitches = {
    {L"16btasmCOM", L"/z /zi /n /m2"}, {L"16btasmEXE", L"/z /zi /n /m2"}, {L"16btlinkCOM", L"/x /v /t"},
    {L"16btlinkEXE", L"/x /v"},        {L"32btasmCOM", L"/z /zi /n /m2"}, {L"32btasmEXE", L"/z /zi /n /m2"},
    {L"32btlinkCOM", L"/x /v /t /3"},  {L"32btlinkEXE", L"/x /v /3"},
};

void PutStore(const std::wstring& tasm, const std::wstring& tlink) {
    registry.WriteDword(RegRoot::LocalMachine, kStore, L"", 1);
    registry.WriteDword(RegRoot::LocalMachine, kStore, L"asmfiles", 0);
    registry.WriteString(RegRoot::LocalMachine, kStore, L"tasm", tasm);
    registry.WriteString(RegRoot::LocalMachine, kStore, L"tlink", tlink);
    for (const auto& [name, value] : kSwitches)
        registry.WriteString(RegRoot::LocalMachine, kStore, name, value);
}

void StandInsConfigured() {
    CreateDirectoryW(L"C:\\standin", nullptr);
    for (const wchar_t* name : {L"standin_tasm.exe", L"standin_tlink.exe", L"marker_program.exe"})
        if (!CopyFileW((BuiltTools() + name).c_str(), (std::wstring(L"C:\\standin\\") + name).c_str(), FALSE))
            Abort("could not copy the stand-in " + Utf8(name));
    PutStore(L"C:\\standin\\standin_tasm.exe", L"C:\\standin\\standin_tlink.exe");
}

bool Shell(const std::string& script) {
    static int count = 0;
    const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
    const std::wstring path = L"/tmp/korveline-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++count) + L".sh";
    std::wstring command = L"/bin/sh " + path;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    try {
        g_files.WriteAll(L"Z:" + path,
                         "WINEPREFIX='" + Utf8(prefix ? prefix : L"") + "'\n" + script + "\nrm -f \"$0\"\n");
    } catch (const PlatformError&) {
        return false;
    }
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Wine gives no handle to wait on for a Linux program: ImageMagick writes a
// scratch name that the shell renames once complete.
bool Screenshot(const std::wstring& name) {
    const std::string unixPath = Utf8(g_outUnix + L"/" + name + L".png");
    DeleteFileW((g_out + L"\\" + name + L".png").c_str());
    Shell("import -window root 'png:" + unixPath + ".part' && mv '" + unixPath + ".part' '" + unixPath + "'");
    return WaitUntil([&] { return FileExists(g_out + L"\\" + name + L".png"); }, Ms(15000));
}

int Px(int twips) {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return (twips * dpi + 720) / 1440;
}

std::string XY(long x, long y) {
    return std::to_string(x) + "," + std::to_string(y);
}
std::string Pos(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return XY(r.left, r.top);
}
std::string Size(HWND window, bool client) {
    RECT r{};
    client ? GetClientRect(window, &r) : GetWindowRect(window, &r);
    return XY(r.right - r.left, r.bottom - r.top);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result))
        Abort("a window did not answer message " + std::to_string(message));
    return LRESULT(result);
}

std::wstring Text(HWND window) {
    std::wstring text(std::size_t(Send(window, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(std::size_t(Send(window, WM_GETTEXT, text.size(), LPARAM(text.data()))));
    return text;
}

std::wstring Text(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        Abort("the dialog has no control " + std::to_string(controlId));
    return Text(control);
}

void Press(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), LPARAM(GetDlgItem(dialog, buttonId)));
}

void ChooseFile(HWND dialog, const std::wstring& path) {
    HWND box = GetDlgItem(dialog, kFileNameBoxId);
    HWND edit = box ? FindWindowExW(box, nullptr, L"Edit", nullptr) : nullptr;  // a combo box's edit
    edit = edit ? edit : box;
    if (!edit)
        Abort("the file dialog has no file-name box");
    Send(edit, WM_SETTEXT, 0, LPARAM(path.c_str()));
    if (!WaitUntil([&] { return Text(edit) == path; }))
        Abort("the file-name box did not take " + Utf8(path));
    Press(dialog, IDOK);
}

std::wstring Clipboard() {
    return ReadClipboardText(nullptr).value_or(L"(no text)");
}

void SetClipboard(const std::wstring& text) {
    WriteClipboardText(nullptr, text);
}

Program::Program(const std::wstring& arguments) : process_(nullptr), pid_(0), job_(nullptr) {
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    Log("  start: " + Utf8(commandLine));
    // In a job, so that what it starts (scripts, their consoles, the built program) ends with it.
    job_ = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(ProgramPath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process))
        Abort("could not start the program, error " + std::to_string(GetLastError()));
    AssignProcessToJobObject(job_, process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    pid_ = process.dwProcessId;
}

Program Program::Attach() {
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = FindWindowW(kMainClass, nullptr)) && IsWindowVisible(window); },
                   kStartTimeout))
        Abort("the shell started no program");
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return Program(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid), pid, nullptr);
}

Program::~Program() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (answer_)
        UnmapViewOfFile(answer_);
    if (memory_)
        CloseHandle(memory_);
    if (job_)
        TerminateJobObject(job_, 1), CloseHandle(job_);
    TerminateProcess(process_, 1);  // fails harmlessly on an ended process
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
}

bool Program::WaitForExit(Ms timeout) const {
    return WaitForSingleObject(process_, DWORD(timeout.count())) == WAIT_OBJECT_0;
}

HWND Program::Find(const wchar_t* className, int controlId) const {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid_ && IsWindowVisible(w) && (!controlId || GetDlgItem(w, controlId)))
            return w;
    }
    return nullptr;
}

HWND Program::Wait(const wchar_t* className, int controlId, Ms timeout) const {
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = Find(className, controlId)) != nullptr; }, timeout))
        Abort("no shown window of class " + Utf8(className) + " with control " + std::to_string(controlId));
    return found;
}

HWND Program::Editor() const {
    HWND editor = FindWindowExW(Main(), nullptr, L"KorvelineTextView", nullptr);
    if (!editor)
        Abort("the main window has no editor");
    return editor;
}

void Program::Type(const std::wstring& text) const {
    Send(Editor(), EM_REPLACESEL, TRUE, LPARAM(text.c_str()));
}

void Program::Select(std::size_t start, std::size_t end) const {
    Send(Editor(), EM_SETSEL, start, LPARAM(end));
}

std::string Program::Selection() const {
    const auto packed = DWORD(Send(Editor(), EM_GETSEL));
    return std::to_string(LOWORD(packed)) + "-" + std::to_string(HIWORD(packed));
}

// The probe DLL is hooked into the program's window thread on the first question.
std::wstring Program::Menu() const {
    HWND main = Main();
    if (!hook_) {
        wchar_t name[64];
        std::swprintf(name, 64, KORVELINE_PROBE_MEMORY, static_cast<unsigned long>(pid_));
        memory_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProbeChars * 2, name);
        answer_ =
            memory_ ? static_cast<wchar_t*>(MapViewOfFile(memory_, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
        HMODULE dll = LoadLibraryW(L"korveline_e2e_probe.dll");
        auto proc =
            reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "ProbeCallWndProc")));
        hook_ = proc && answer_
                    ? SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(main, nullptr))
                    : nullptr;
        if (!hook_)
            Abort("could not hook the menu probe into the program");
    }
    static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
    answer_[0] = L'\0';
    Send(main, probeMessage);
    if (!answer_[0])
        Abort("the menu probe did not answer");
    return answer_;
}

void Program::Click(Command command) const {
    Log("  click menu item " + std::to_string(CommandIdOf(command)));
    PostMessageW(Main(), WM_COMMAND, MAKEWPARAM(CommandIdOf(command), 0), 0);
}

void Program::Run(Command command) const {
    Send(Main(), WM_COMMAND, CommandIdOf(command));
}

// The program answers the probe only once the command has returned (script
// started, its one-second wait done); a test that ended earlier could kill
// the script half way and leave its console hanging.
void Program::Build(Command command, const std::wstring& output) const {
    Click(command);
    HWND dialog = FileDialog();
    ChooseFile(dialog, output);
    REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }));
    Menu();
}

}  // namespace e2e

// Writes results.txt: a line for each test run (with its failures) or, with
// --list, each test's name; then the summary that scripts/e2e.sh waits for.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace e2e;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring program;
    std::vector<std::string> patterns;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if ((arg == L"--program" || arg == L"--out") && i + 1 < argc)
            (arg == L"--out" ? g_outUnix : program) = argv[++i];
        else if (arg == L"--list")
            list = true;
        else  // patterns, ':' between them
            for (std::size_t start = 0, end = 0; end != std::wstring::npos; start = end + 1)
                patterns.push_back(Utf8(arg.substr(start, (end = arg.find(L':', start)) - start)));
    }
    g_out = L"Z:" + g_outUnix;
    for (wchar_t& c : g_out)
        c = c == L'/' ? L'\\' : c;
    g_log = _wfopen((g_out + L"\\e2e.log").c_str(), L"wb");
    FILE* results = _wfopen((g_out + L"\\results.txt").c_str(), L"wb");
    MakeFolders(FolderOf(ProgramPath()));
    const bool installed = CopyFileW(program.c_str(), ProgramPath().c_str(), FALSE);
    // DOSBox, started by the program, runs without a screen or sound.
    SetEnvironmentVariableW(L"SDL_VIDEODRIVER", L"dummy");
    SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
    if (!results)
        return 2;
    int passed = 0, failed = installed ? 0 : 1;
    for (const TestCase& test : AllTests()) {
        const std::string name = std::string(test.suite) + "." + test.name;
        bool selected = patterns.empty();
        for (const std::string& p : patterns)
            selected = selected || Matches(p.c_str(), name.c_str());
        if (list)
            std::fprintf(results, "%s\n", name.c_str());
        if (list || !installed || !selected)
            continue;
        Log("RUN  " + name);
        const auto start = std::chrono::steady_clock::now();
        StartTest();
        try {
            test.body();
        } catch (const AbortTest& abort) {
            if (g_failures.empty())
                g_failures = "  FAILED " + abort.reason + "\n";
            Log("  test ended: " + abort.reason);
        } catch (const std::exception& error) {
            g_failures += std::string("  FAILED exception: ") + error.what() + "\n";
        }
        const bool ok = g_failures.empty();
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
