#include "driver/program.h"

#include <cwchar>
#include <functional>

#include "probe/probe_protocol.h"

namespace e2e {
namespace {

// The first top-level window of the process with the class that passes the test.
HWND FindTopWindow(DWORD pid, const wchar_t* className, bool (*accept)(HWND) = nullptr) {
    struct Search {
        DWORD pid;
        const wchar_t* className;
        bool (*accept)(HWND);
        HWND found;
    } search{pid, className, accept, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->pid || ClassOf(window) != s->className || (s->accept && !s->accept(window)))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsShown(HWND window) {
    return IsWindowVisible(window) != FALSE;
}
bool IsMessageBox(HWND window) {
    return IsWindowVisible(window) && GetDlgItem(window, kMessageTextId);
}
bool IsFileDialog(HWND window) {
    return IsWindowVisible(window) && GetDlgItem(window, kFileNameBoxId);
}

HWND WaitFor(const std::function<HWND()>& find, Ms timeout, const std::string& what) {
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = find()) != nullptr; }, timeout))
        Abort("no " + what + " within " + std::to_string(timeout.count()) + " ms");
    return found;
}

// Cross-process messages time out rather than hang the driver on a program that stopped answering.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        Abort("a window did not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

}  // namespace

std::wstring MenuItem::Caption() const {
    return text.substr(0, text.find(L'\t'));
}

std::wstring MenuItem::Shortcut() const {
    const auto tab = text.find(L'\t');
    return tab == std::wstring::npos ? std::wstring() : text.substr(tab + 1);
}

const MenuItem& MenuBar::Item(Command command) const {
    for (const MenuPopup& popup : popups)
        for (const MenuItem& item : popup.items)
            if (!item.separator && item.id == CommandIdOf(command))
                return item;
    Abort("the menu bar has no item with id " + std::to_string(CommandIdOf(command)));
}

// The probe DLL hooked into the program's window thread, and the shared memory it answers in.
struct Program::Probe {
    HHOOK hook = nullptr;
    HANDLE memory = nullptr;
    ProbeHeader* view = nullptr;
    DWORD request = 0;
    ~Probe() {
        if (hook)
            UnhookWindowsHookEx(hook);
        if (view)
            UnmapViewOfFile(view);
        if (memory)
            CloseHandle(memory);
    }
};

Program Program::Start(const std::wstring& arguments, const std::wstring& exe) {
    Program program;
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    Log(L"  start: " + commandLine);
    // In a job, so that what it starts (scripts, their consoles, the built program) ends with it.
    program.job_ = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(program.job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &program.process_))
        Abort("could not start " + Utf8(exe) + ", error " + std::to_string(GetLastError()));
    AssignProcessToJobObject(program.job_, program.process_.hProcess);
    ResumeThread(program.process_.hThread);
    return program;
}

Program Program::AttachToStarted(const wchar_t* className, Ms timeout) {
    HWND window = WaitFor(
        [&] {
            HWND w = FindWindowW(className, nullptr);
            return w && IsWindowVisible(w) ? w : nullptr;
        },
        timeout, "program with a window of class " + Utf8(className));
    Program program;
    GetWindowThreadProcessId(window, &program.process_.dwProcessId);
    program.process_.hProcess =
        OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                    program.process_.dwProcessId);
    if (!program.process_.hProcess)
        Abort("could not open the started program's process");
    return program;
}

Program::Program(Program&& other) noexcept
    : process_(other.process_), job_(other.job_), probe_(std::move(other.probe_)) {
    other.process_ = PROCESS_INFORMATION{};
    other.job_ = nullptr;
}

Program::~Program() {
    probe_.reset();
    if (job_) {
        TerminateJobObject(job_, 1);
        CloseHandle(job_);
    }
    if (!process_.hProcess)
        return;
    if (Running())
        TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess);
    if (process_.hThread)
        CloseHandle(process_.hThread);
}

DWORD Program::ProcessId() const {
    return process_.dwProcessId;
}

bool Program::Running() const {
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(Ms timeout) const {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

HWND Program::FindWindowOfClass(const wchar_t* className) const {
    return FindTopWindow(ProcessId(), className);
}

// A window is shown after its load step has run, so a shown window is a loaded one.
HWND Program::WaitForWindow(const wchar_t* className, Ms timeout) const {
    return WaitFor([&] { return FindTopWindow(ProcessId(), className, IsShown); }, timeout,
                   "shown window of class " + Utf8(className));
}

HWND Program::MainWindow() const {
    return WaitForWindow(kMainClass);
}

std::wstring Program::Caption() const {
    return WindowText(MainWindow());
}

HWND Program::Editor() const {
    HWND editor = FindWindowExW(MainWindow(), nullptr, kEditorClass, nullptr);
    if (!editor)
        Abort("the main window has no editor");
    return editor;
}

std::wstring Program::EditorText() const {
    return WindowText(Editor());
}

void Program::TypeInEditor(const std::wstring& text) const {
    Send(Editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

MenuBar Program::Menu() const {
    HWND main = MainWindow();
    if (!probe_) {
        probe_ = std::make_unique<Probe>();
        wchar_t name[64];
        std::swprintf(name, 64, KORVELINE_PROBE_MEMORY_FORMAT, static_cast<unsigned long>(ProcessId()));
        probe_->memory =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ProbeHeader), name);
        if (probe_->memory)
            probe_->view =
                static_cast<ProbeHeader*>(MapViewOfFile(probe_->memory, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        HMODULE dll = LoadLibraryW(L"korveline_e2e_probe.dll");
        // Through void*: the export's type is known to match HOOKPROC.
        auto proc = dll ? reinterpret_cast<HOOKPROC>(
                              reinterpret_cast<void*>(GetProcAddress(dll, KORVELINE_PROBE_HOOK_EXPORT)))
                        : nullptr;
        if (proc)
            probe_->hook =
                SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(main, nullptr));
        if (!probe_->view || !probe_->hook)
            Abort("could not hook the menu probe into the program");
    }
    static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
    const DWORD request = ++probe_->request;
    Send(main, probeMessage, request, 0);
    const ProbeHeader& answer = *probe_->view;
    if (answer.request != request)
        Abort("the menu probe did not answer");
    MenuBar bar;
    for (DWORD i = 0; i < answer.count; ++i) {
        const ProbeRecord& r = answer.records[i];
        if (r.id == kProbePopup)
            bar.popups.push_back({r.text, {}});
        else if (!bar.popups.empty())
            bar.popups.back().items.push_back({static_cast<int>(r.id), r.text, (r.type & MFT_SEPARATOR) != 0,
                                               (r.state & MFS_GRAYED) != 0, (r.state & MFS_CHECKED) != 0});
    }
    return bar;
}

void Program::Click(Command command) const {
    Log("  click menu item " + std::to_string(CommandIdOf(command)));
    PostMessageW(MainWindow(), WM_COMMAND, MAKEWPARAM(CommandIdOf(command), 0), 0);
}

HWND Program::FindMessageBox() const {
    return FindTopWindow(ProcessId(), kDialogClass, IsMessageBox);
}

HWND Program::WaitForMessageBox(Ms timeout) const {
    return WaitFor([&] { return FindMessageBox(); }, timeout, "message box");
}

HWND Program::WaitForFileDialog(Ms timeout) const {
    return WaitFor([&] { return FindTopWindow(ProcessId(), kDialogClass, IsFileDialog); }, timeout,
                   "Open/Save dialog");
}

void Program::Close() const {
    PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, kMessageTextId);
    return text ? WindowText(text) : std::wstring();
}

std::wstring ControlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        Abort("the dialog has no control " + std::to_string(controlId));
    return WindowText(control);
}

// Posted as the button's own click notification: the dialog may run a modal
// loop (or close) in answer, which must not block the driver.
void PressButton(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button)
        Abort("the dialog has no button " + std::to_string(buttonId));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void ChooseFile(HWND dialog, const std::wstring& path) {
    HWND box = GetDlgItem(dialog, kFileNameBoxId);
    if (!box)
        Abort("the file dialog has no file-name box");
    HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);  // the combo box's edit takes the path
    edit = edit ? edit : box;
    Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    if (!WaitUntil([&] { return WindowText(edit) == path; }))
        Abort("the file-name box did not take " + Utf8(path));
    PressButton(dialog, IDOK);
}

}  // namespace e2e
