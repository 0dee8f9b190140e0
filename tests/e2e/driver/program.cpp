#include "driver/program.h"

#include <cwchar>
#include <functional>

#include "probe/probe_protocol.h"

namespace e2e {
namespace {

bool IsShown(HWND w) {
    return IsWindowVisible(w);
}
bool IsMessageBox(HWND w) {  // the file dialogs are of the same class
    return IsWindowVisible(w) && GetDlgItem(w, kMessageTextId);
}
bool IsFileDialog(HWND w) {
    return IsWindowVisible(w) && GetDlgItem(w, kFileNameBoxId);
}

HWND WaitFor(const std::function<HWND()>& find, Ms timeout, const std::string& what) {
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = find()) != nullptr; }, timeout))
        Abort("no " + what + " within " + std::to_string(timeout.count()) + " ms");
    return found;
}

}  // namespace

const MenuItem& MenuBar::Item(Command command) const {
    for (const MenuPopup& popup : popups)
        for (const MenuItem& item : popup.items)
            if (!item.separator && item.id == CommandIdOf(command))
                return item;
    Abort("the menu bar has no item with id " + std::to_string(CommandIdOf(command)));
}

HWND Program::FindTopWindow(const wchar_t* className, bool (*accept)(HWND)) const {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid_ && (!accept || accept(w)))
            return w;
    }
    return nullptr;
}

Program Program::Start(const std::wstring& arguments, const std::wstring& exe) {
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    Log(L"  start: " + commandLine);
    // In a job, so that what it starts (scripts, their consoles, the built program) ends with it.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process))
        Abort("could not start " + Utf8(exe) + ", error " + std::to_string(GetLastError()));
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    return Program(process.hProcess, process.dwProcessId, job);
}

Program Program::AttachToStarted(const wchar_t* className, Ms timeout) {
    HWND window = WaitFor(
        [&] {
            HWND w = FindWindowW(className, nullptr);
            return w && IsWindowVisible(w) ? w : nullptr;
        },
        timeout, "program with a window of class " + Utf8(className));
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process)
        Abort("could not open the started program's process");
    return Program(process, pid, nullptr);
}

Program::~Program() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (answer_)
        UnmapViewOfFile(answer_);
    if (memory_)
        CloseHandle(memory_);
    if (job_) {
        TerminateJobObject(job_, 1);
        CloseHandle(job_);
    }
    TerminateProcess(process_, 1);  // fails harmlessly on an ended process
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
}

bool Program::WaitForExit(Ms timeout) const {
    return WaitForSingleObject(process_, DWORD(timeout.count())) == WAIT_OBJECT_0;
}

HWND Program::WaitForWindow(const wchar_t* className, Ms timeout) const {
    return WaitFor([&] { return FindTopWindow(className, IsShown); }, timeout,
                   "shown window of class " + Utf8(className));
}

HWND Program::Editor() const {
    HWND editor = FindWindowExW(MainWindow(), nullptr, kEditorClass, nullptr);
    if (!editor)
        Abort("the main window has no editor");
    return editor;
}

void Program::TypeInEditor(const std::wstring& text) const {
    SendTimed(Editor(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// The probe DLL is hooked into the program's window thread on the first
// question: the hook writes the menu bar into the shared memory before the
// window sees the probe message.
MenuBar Program::Menu() const {
    HWND main = MainWindow();
    if (!hook_) {
        wchar_t name[64];
        std::swprintf(name, 64, KORVELINE_PROBE_MEMORY_FORMAT, static_cast<unsigned long>(ProcessId()));
        memory_ =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ProbeHeader), name);
        answer_ = memory_ ? MapViewOfFile(memory_, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
        HMODULE dll = LoadLibraryW(L"korveline_e2e_probe.dll");
        // Through void*: the export's type is known to match HOOKPROC.
        auto proc = reinterpret_cast<HOOKPROC>(
            reinterpret_cast<void*>(GetProcAddress(dll, KORVELINE_PROBE_HOOK_EXPORT)));
        hook_ = proc && answer_
                    ? SetWindowsHookExW(WH_CALLWNDPROC, proc, dll, GetWindowThreadProcessId(main, nullptr))
                    : nullptr;
        if (!hook_)
            Abort("could not hook the menu probe into the program");
    }
    static DWORD request = 0;
    static const UINT probeMessage = RegisterWindowMessageW(KORVELINE_PROBE_MESSAGE);
    SendTimed(main, probeMessage, ++request);
    const auto* answer = static_cast<const ProbeHeader*>(answer_);
    if (answer->request != request)
        Abort("the menu probe did not answer");
    MenuBar bar;
    for (DWORD i = 0; i < answer->count; ++i) {
        const ProbeRecord& r = answer->records[i];
        if (r.id == kProbePopup)
            bar.popups.push_back({r.text, {}});
        else if (!bar.popups.empty())
            bar.popups.back().items.push_back({int(r.id), r.text, (r.type & MFT_SEPARATOR) != 0,
                                               (r.state & MFS_GRAYED) != 0, (r.state & MFS_CHECKED) != 0});
    }
    return bar;
}

void Program::Click(Command command) const {
    Log("  click menu item " + std::to_string(CommandIdOf(command)));
    PostMessageW(MainWindow(), WM_COMMAND, MAKEWPARAM(CommandIdOf(command), 0), 0);
}

HWND Program::FindMessageBox() const {
    return FindTopWindow(kDialogClass, IsMessageBox);
}

HWND Program::WaitForMessageBox(Ms timeout) const {
    return WaitFor([&] { return FindMessageBox(); }, timeout, "message box");
}

HWND Program::WaitForFileDialog(Ms timeout) const {
    return WaitFor([&] { return FindTopWindow(kDialogClass, IsFileDialog); }, timeout, "Open/Save dialog");
}

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

LRESULT SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result))
        Abort("a window did not answer message " + std::to_string(message));
    return LRESULT(result);
}

std::wstring WindowText(HWND window) {
    std::wstring text(std::size_t(SendTimed(window, WM_GETTEXTLENGTH)) + 1, L'\0');
    text.resize(
        std::size_t(SendTimed(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::wstring ControlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        Abort("the dialog has no control " + std::to_string(controlId));
    return WindowText(control);
}

// Posted as the button's own click: the dialog may run a modal loop (or close) in answer.
void PressButton(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button)
        Abort("the dialog has no button " + std::to_string(buttonId));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void ChooseFile(HWND dialog, const std::wstring& path) {
    HWND box = GetDlgItem(dialog, kFileNameBoxId);
    HWND edit = box ? FindWindowExW(box, nullptr, L"Edit", nullptr) : nullptr;  // a combo box's edit
    edit = edit ? edit : box;
    if (!edit)
        Abort("the file dialog has no file-name box");
    SendTimed(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    if (!WaitUntil([&] { return WindowText(edit) == path; }))
        Abort("the file-name box did not take " + Utf8(path));
    PressButton(dialog, IDOK);
}

}  // namespace e2e
