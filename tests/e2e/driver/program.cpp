#include "driver/program.h"

#include <cwchar>

#include "probe/probe_protocol.h"

namespace e2e {

namespace {

struct Search {
    DWORD pid;
    const wchar_t* className;
    bool (*accept)(HWND);
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || ClassOf(window) != search->className)
        return TRUE;
    if (search->accept && !search->accept(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindTopWindow(DWORD pid, const wchar_t* className, bool (*accept)(HWND) = nullptr) {
    Search search{pid, className, accept, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsShown(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

bool IsMessageBox(HWND window) {
    return IsWindowVisible(window) && GetDlgItem(window, kMessageTextId) != nullptr;
}

bool IsFileDialog(HWND window) {
    return IsWindowVisible(window) && GetDlgItem(window, kFileNameBoxId) != nullptr;
}

std::wstring Field(const std::wstring& line, std::size_t& from) {
    const auto tab = line.find(L'\t', from);
    std::wstring field = line.substr(from, tab == std::wstring::npos ? std::wstring::npos : tab - from);
    from = tab == std::wstring::npos ? line.size() : tab + 1;
    return field;
}

// Parses the probe's text (see probe_protocol.h).
MenuBar ParseMenuBar(const std::wstring& text) {
    MenuBar bar;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + 1;
        std::size_t at = 0;
        const std::wstring kind = Field(line, at);
        const std::wstring state = Field(line, at);
        if (kind == L"P") {
            bar.popups.push_back(MenuPopup{line.substr(at), {}});
        } else if (kind == L"I" && !bar.popups.empty()) {
            MenuItem item;
            item.id = std::wcstol(Field(line, at).c_str(), nullptr, 10);
            item.text = line.substr(at);
            item.separator = state.find(L'S') != std::wstring::npos;
            item.grayed = state.find(L'G') != std::wstring::npos;
            item.checked = state.find(L'C') != std::wstring::npos;
            bar.popups.back().items.push_back(item);
        }
    }
    return bar;
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
    const int id = CommandIdOf(command);
    for (const MenuPopup& popup : popups)
        for (const MenuItem& item : popup.items)
            if (!item.separator && item.id == id)
                return item;
    Abort("the menu bar has no item with id " + std::to_string(id));
}

// The probe DLL, hooked into the program's window thread, and the shared
// memory through which it answers.
struct Program::Probe {
    HHOOK hook = nullptr;
    HANDLE memory = nullptr;
    void* view = nullptr;
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
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    Log(L"  start: " + commandLine);
    // The program runs in a job, so that what it starts (build scripts, their
    // consoles, the built program) ends with it when the test is over.
    program.job_ = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (program.job_)
        SetInformationJobObject(program.job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &program.process_))
        Abort("could not start " + Utf8(exe) + ", error " + std::to_string(GetLastError()));
    if (program.job_ && !AssignProcessToJobObject(program.job_, program.process_.hProcess))
        Log("  (the program could not be put in a job, error " + std::to_string(GetLastError()) + ")");
    ResumeThread(program.process_.hThread);
    return program;
}

Program Program::AttachToStarted(const wchar_t* className, Ms timeout) {
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = FindWindowW(className, nullptr)) && IsWindowVisible(window); },
                   timeout))
        Abort("no program with a window of class " + Utf8(className) + " started within " +
              std::to_string(timeout.count()) + " ms");
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

HWND Program::WaitForWindow(const wchar_t* className, Ms timeout) const {
    // A window exists before its load step has run (placed, sized, filled);
    // it is shown after, so a shown window is a loaded one.
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = FindTopWindow(ProcessId(), className, IsShown)) != nullptr; },
                   timeout))
        Abort("no window of class " + Utf8(className) + " was shown within " +
              std::to_string(timeout.count()) + " ms");
    return found;
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
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(Editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, 5000, &ignored))
        Abort("the editor did not take the typed text");
}

MenuBar Program::Menu() const {
    HWND main = MainWindow();
    if (!probe_) {
        probe_ = std::make_unique<Probe>();
        Probe* probe = probe_.get();
        wchar_t name[64];
        std::swprintf(name, 64, KORVELINE_PROBE_MEMORY_FORMAT, static_cast<unsigned long>(ProcessId()));
        probe->memory =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProbeMemoryBytes, name);
        probe->view = probe->memory
                          ? MapViewOfFile(probe->memory, FILE_MAP_ALL_ACCESS, 0, 0, kProbeMemoryBytes)
                          : nullptr;
        HMODULE dll = GetModuleHandleW(L"korveline_e2e_probe.dll");
        if (!dll)
            dll = LoadLibraryW(L"korveline_e2e_probe.dll");
        // Through void*: the export's type is known to match HOOKPROC.
        auto proc = dll ? reinterpret_cast<HOOKPROC>(
                              reinterpret_cast<void*>(GetProcAddress(dll, KORVELINE_PROBE_HOOK_EXPORT)))
                        : nullptr;
        const DWORD thread = GetWindowThreadProcessId(main, nullptr);
        probe->hook = proc ? SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, thread) : nullptr;
        if (!probe->view || !probe->hook)
            Abort("could not hook the menu probe into the program");
    }
    auto* header = static_cast<ProbeHeader*>(probe_->view);
    const DWORD request = ++probe_->request;
    static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, probeMessage, request, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    if (header->request != request)
        Abort("the menu probe did not answer");
    return ParseMenuBar(std::wstring(reinterpret_cast<const wchar_t*>(header + 1), header->length));
}

void Program::Click(Command command) const {
    Log("  click menu item " + std::to_string(CommandIdOf(command)));
    PostMessageW(MainWindow(), WM_COMMAND, MAKEWPARAM(CommandIdOf(command), 0), 0);
}

HWND Program::FindMessageBox() const {
    return FindTopWindow(ProcessId(), kDialogClass, IsMessageBox);
}

HWND Program::WaitForMessageBox(Ms timeout) const {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, timeout))
        Abort("no message box appeared within " + std::to_string(timeout.count()) + " ms");
    return box;
}

HWND Program::WaitForFileDialog(Ms timeout) const {
    HWND dialog = nullptr;
    if (!WaitUntil(
            [&] { return (dialog = FindTopWindow(ProcessId(), kDialogClass, IsFileDialog)) != nullptr; },
            timeout))
        Abort("no Open/Save dialog appeared within " + std::to_string(timeout.count()) + " ms");
    return dialog;
}

void Program::Close() const {
    PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
}

}  // namespace e2e
