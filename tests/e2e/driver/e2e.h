#pragma once
// The end-to-end driver (see docs/TESTING.md): the machine the tests run on, and the
// real program started under Wine and worked as a user would. The tests are
// GoogleTest's; a helper that cannot go on throws, which ends the test as failed.
// Never sleep: wait for what the user would see (the *_EVENTUALLY_* checks poll).
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "platform/win32/clipboard_win.h"
#include "platform/win32/win32_platform.h"
#include "probe/probe.h"

namespace e2e {

using Ms = std::chrono::milliseconds;
constexpr Ms kStartTimeout{20000};  // a start under Wine takes a second, several on a loaded machine
constexpr Ms kStateTimeout{10000};

inline std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 4, '\0');
    out.resize(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), int(out.size()), 0, 0));
    return out;
}
inline void Log(const std::string& line) {  // to e2e.log, among GoogleTest's own lines
    std::printf("%s\n", line.c_str());
}
[[noreturn]] inline void Fail(const std::string& reason) {  // ends the running test
    throw std::runtime_error(reason);
}
// Polls the condition until it holds (true) or the timeout passes (false).
template <class Condition>
bool WaitUntil(Condition&& condition, Ms timeout = kStateTimeout) {
    for (auto end = std::chrono::steady_clock::now() + timeout; !condition(); Sleep(20))
        if (std::chrono::steady_clock::now() >= end)
            return false;
    return true;
}
template <class Get, class Expected>
auto Eventually(Get&& get, const Expected& expected) {  // the value that was expected, or the last one seen
    auto last = get();
    WaitUntil([&] { return (last = get()) == expected; });
    return last;
}

// The machine: one Wine prefix for the run with the program installed once; every
// test starts with new work folders and none of the program's keys (the runner's part).
const std::wstring kProgram = L"C:\\Program Files\\Korveline\\korveline.exe";
inline std::wstring workFolder;  // C:\e2e work\<test number>: a name with a blank
inline std::wstring dosFolder;   // C:\DOS<test number>: DOSBox has short names of its own, not Wine's
inline std::wstring builtTools;  // tests\tools of the build: the stand-ins
inline void MakeFolders(const std::wstring& folder) {
    if (folder.size() > 3 && GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        MakeFolders(folder.substr(0, folder.rfind(L'\\'))), CreateDirectoryW(folder.c_str(), nullptr);
}
inline void PutFile(const std::wstring& path, const std::string& bytes) {
    MakeFolders(path.substr(0, path.rfind(L'\\')));
    Win32FileSystem().WriteAll(path, bytes);
}
inline std::string FileText(const std::wstring& path) {  // its bytes, or "(missing)"
    try {
        return Win32FileSystem().ReadAll(path);
    } catch (const PlatformError&) {
        return "(missing)";
    }
}
inline bool FileExists(const std::wstring& path) {
    return Win32FileSystem().FileExists(path);
}

inline Win32Registry registry;
const std::wstring kStore = L"Software\\asm", kUserKey = L"Software\\Korveline";
inline std::wstring Reg(RegRoot root,
                        const std::wstring& key,
                        const std::wstring& name) {  // REG_SZ x, (missing)
    try {
        const RegValue v = registry.ReadValue(root, key, name);
        return v.type == RegType::String ? L"REG_SZ " + v.text : L"REG_DWORD " + std::to_wstring(v.number);
    } catch (const PlatformError&) {
        return L"(missing)";
    }
}
// The first start's switches; the store as a later start finds it, with these tools.
inline const std::pair<const wchar_t*, const wchar_t*> kSwitches[] = {
    {L"16btasmCOM", L"/z /zi /n /m2"}, {L"16btasmEXE", L"/z /zi /n /m2"}, {L"16btlinkCOM", L"/x /v /t"},
    {L"16btlinkEXE", L"/x /v"},        {L"32btasmCOM", L"/z /zi /n /m2"}, {L"32btasmEXE", L"/z /zi /n /m2"},
    {L"32btlinkCOM", L"/x /v /t /3"},  {L"32btlinkEXE", L"/x /v /3"}};
inline void PutStore(const std::wstring& tasm, const std::wstring& tlink) {
    for (const auto& [name, value] : kSwitches)
        registry.WriteString(RegRoot::LocalMachine, kStore, name, value);
    registry.WriteString(RegRoot::LocalMachine, kStore, L"tasm", tasm);
    registry.WriteString(RegRoot::LocalMachine, kStore, L"tlink", tlink);
    registry.WriteDword(RegRoot::LocalMachine, kStore, L"asmfiles", 0);
    registry.WriteDword(RegRoot::LocalMachine, kStore, L"", 1);
}
inline void StandInsConfigured() {  // the Windows stand-ins of tests/tools in a folder without blanks
    CreateDirectoryW(L"C:\\standin", nullptr);
    for (const wchar_t* name : {L"\\standin_tasm.exe", L"\\standin_tlink.exe"})
        CopyFileW((builtTools + name).c_str(), (L"C:\\standin" + std::wstring(name)).c_str(), FALSE);
    PutStore(L"C:\\standin\\standin_tasm.exe", L"C:\\standin\\standin_tlink.exe");
}

// Windows and their controls.
inline const wchar_t kMainClass[] = L"KorvelineMain", kDialogClass[] = L"#32770";
constexpr int kMessageTextId = 0xFFFF,
              kFileNameBoxId = 0x47c;  // a message box's text, the Open/Save name box
inline int Px(int twips) {             // at the screen's DPI, rounded as the program does
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return (twips * dpi + 720) / 1440;
}
inline std::string XY(long x, long y) {
    return std::to_string(x) + "," + std::to_string(y);
}
inline RECT Of(HWND window, bool client = false) {
    RECT r{};
    client ? GetClientRect(window, &r) : GetWindowRect(window, &r);
    return r;
}
inline std::string Pos(HWND window) {
    return XY(Of(window).left, Of(window).top);
}
inline std::string Size(HWND window, bool client = false) {
    return XY(Of(window, client).right - Of(window, client).left,
              Of(window, client).bottom - Of(window, client).top);
}
// A message to a window of another process; ends the test when it is not answered within 20 s.
inline LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result))
        Fail("a window did not answer message " + std::to_string(message));
    return LRESULT(result);
}
inline std::wstring Text(HWND window, int controlId = 0) {  // of the window or of its control
    window = controlId ? GetDlgItem(window, controlId) : window;
    std::wstring text(std::size_t(Send(window, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(std::size_t(Send(window, WM_GETTEXT, text.size(), LPARAM(text.data()))));
    return text;
}
inline void Press(HWND dialog, int buttonId) {  // posted as its click: the dialog may run a modal loop
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), LPARAM(GetDlgItem(dialog, buttonId)));
}
inline void ChooseFile(HWND dialog, const std::wstring& path) {  // typed into the name box, then OK
    HWND box = GetDlgItem(dialog, kFileNameBoxId), edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    Send(edit ? edit : box, WM_SETTEXT, 0, LPARAM(path.c_str()));
    if (!WaitUntil([&] { return Text(edit ? edit : box) == path; }))
        Fail("the file-name box did not take " + Utf8(path));
    Press(dialog, IDOK);
}
// Real key presses to the window brought to the front, held in order and released in reverse (Shift,
// Ctrl, the key): they pass the program's accelerators as a user's would.
inline void PressKeys(HWND window, std::initializer_list<WORD> keys) {
    SetForegroundWindow(window);
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }))
        Fail("the window did not come to the front");
    std::vector<INPUT> inputs(keys.size() * 2);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys.begin()[i < keys.size() ? i : inputs.size() - 1 - i];
        inputs[i].ki.dwFlags =
            (inputs[i].ki.wVk >= VK_END && inputs[i].ki.wVk <= VK_DOWN ? KEYEVENTF_EXTENDEDKEY : 0) |
            (i < keys.size() ? 0 : KEYEVENTF_KEYUP);
    }
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}
inline std::wstring Clipboard() {  // as another program sees it
    return ReadClipboardText(nullptr).value_or(L"(no text)");
}

class Program {
  public:
    // Starts the installed program in a job (all it starts ends with it); `arguments` follow its quoted path.
    explicit Program(const std::wstring& arguments = L"") {
        std::wstring line = L"\"" + kProgram + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        Log("  start: " + Utf8(line));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION p{};
        if (!CreateProcessW(kProgram.c_str(), line.data(), 0, 0, FALSE, CREATE_SUSPENDED, 0, 0, &startup, &p))
            Fail("could not start the program, error " + std::to_string(GetLastError()));
        AssignProcessToJobObject(job_, p.hProcess);
        ResumeThread(p.hThread);
        CloseHandle(p.hThread);
        process_ = p.hProcess, pid_ = p.dwProcessId;
    }
    explicit Program(HWND started) {  // the one whose window it is, started by someone else (the shell)
        GetWindowThreadProcessId(started, &pid_);
        process_ = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid_);
    }
    Program(const Program&) = delete;
    ~Program() {
        UnhookWindowsHookEx(hook_);
        UnmapViewOfFile(answer_);
        CloseHandle(memory_);
        TerminateJobObject(job_, 1);
        CloseHandle(job_);
        TerminateProcess(process_, 1);  // fails harmlessly on an ended process
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }

    DWORD Pid() const { return pid_; }  // for the long run's samples
    bool WaitForExit(Ms timeout = kStateTimeout) const {
        return !WaitForSingleObject(process_, DWORD(timeout.count()));
    }
    // A shown top-level window of the program of the class (holding the control); nullptr if none.
    HWND Find(const wchar_t* className, int controlId = 0) const {
        DWORD owner = 0;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;)
            if (GetWindowThreadProcessId(w, &owner) && owner == pid_ && IsWindowVisible(w) &&
                (!controlId || GetDlgItem(w, controlId)))
                return w;
        return nullptr;
    }
    // Waits for such a window, or ends the test.
    HWND Wait(const wchar_t* className, int controlId = 0, Ms timeout = kStartTimeout) const {
        HWND found = nullptr;
        if (!WaitUntil([&] { return (found = Find(className, controlId)) != nullptr; }, timeout))
            Fail("no window " + Utf8(className) + " with control " + std::to_string(controlId));
        return found;
    }
    HWND Open(Command command, const wchar_t* className) const { return Click(command), Wait(className); }
    HWND Box() const { return Wait(kDialogClass, kMessageTextId, kStateTimeout); }
    HWND FileDialog() const { return Wait(kDialogClass, kFileNameBoxId); }  // the first is slow to come
    HWND Main() const { return Wait(kMainClass); }
    HWND Editor() const { return FindWindowExW(Main(), nullptr, L"KorvelineTextView", nullptr); }
    std::wstring Caption() const { return e2e::Text(Main()); }
    std::wstring Text() const { return e2e::Text(Editor()); }
    void Type(const std::wstring& text) const { Send(Editor(), EM_REPLACESEL, TRUE, LPARAM(text.c_str())); }
    void Select(std::size_t start, std::size_t end) const { Send(Editor(), EM_SETSEL, start, LPARAM(end)); }
    std::string Selection() const {
        const auto packed = DWORD(Send(Editor(), EM_GETSEL));
        return std::to_string(LOWORD(packed)) + "-" + std::to_string(HIWORD(packed));
    }
    // The menu bar, from the probe DLL hooked into the program's window thread at the first question.
    std::wstring Menu() const {
        if (!hook_) {
            wchar_t name[64];
            std::swprintf(name, 64, KORVELINE_PROBE_MEMORY, static_cast<unsigned long>(pid_));
            memory_ =
                CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProbeChars * 2, name);
            answer_ = static_cast<wchar_t*>(MapViewOfFile(memory_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
            HMODULE dll = LoadLibraryW(L"korveline_e2e_probe.dll");
            auto proc =
                reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "ProbeCallWndProc")));
            hook_ = SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(Main(), nullptr));
        }
        static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
        if (!answer_ || (answer_[0] = L'\0', Send(Main(), probeMessage), !answer_[0]))
            Fail("the menu probe did not answer");
        return answer_;
    }
    // Posted as the menu does: returns at once, also when a modal window opens.
    void Click(Command command) const { PostMessageW(Main(), WM_COMMAND, CommandIdOf(command), 0); }
    // Sent as the menu does: returns once handled (a command that opens no window).
    void Run(Command command) const { Send(Main(), WM_COMMAND, CommandIdOf(command)); }
    // Names a build's output in the save dialog and returns once the command has (the probe is answered
    // after it: script started, its one-second wait done); a test ended before could leave a console.
    void Build(Command command, const std::wstring& output) const {
        Click(command);
        HWND dialog = FileDialog();
        ChooseFile(dialog, output);
        WaitUntil([&] { return !IsWindow(dialog); });
        Menu();
    }
    void Close() const { PostMessageW(Main(), WM_CLOSE, 0, 0); }  // as the close box does

  private:
    HANDLE process_ = nullptr, job_ = CreateJobObjectW(nullptr, nullptr);
    DWORD pid_ = 0;
    mutable HHOOK hook_ = nullptr;  // the menu probe, and the memory it answers in
    mutable HANDLE memory_ = nullptr;
    mutable wchar_t* answer_ = nullptr;
};

}  // namespace e2e

#define EXPECT_EVENTUALLY_EQ(actual, expected) \
    EXPECT_EQ(e2e::Eventually([&] { return actual; }, expected), expected)
#define ASSERT_EVENTUALLY_EQ(actual, expected) \
    ASSERT_EQ(e2e::Eventually([&] { return actual; }, expected), expected)
#define EXPECT_EVENTUALLY(cond) EXPECT_TRUE(e2e::WaitUntil([&] { return static_cast<bool>(cond); })) << #cond
#define ASSERT_EVENTUALLY(cond) ASSERT_TRUE(e2e::WaitUntil([&] { return static_cast<bool>(cond); })) << #cond
