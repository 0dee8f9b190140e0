// The build results window: the assembler's messages read from its listing
// after the build's script has ended, and a double-click away from their line.
#include <windows.h>

#include <tlhelp32.h>

#include <cstring>

#include "build_steps.h"

namespace e2e {
namespace {

const wchar_t kResultsClass[] = L"KorvelineBuildResults";

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

HWND ListOf(HWND results) {
    return FindWindowExW(results, nullptr, L"ListBox", nullptr);
}

std::vector<std::wstring> Rows(HWND results) {
    std::vector<std::wstring> rows;
    for (LRESULT i = 0, n = Send(ListOf(results), LB_GETCOUNT); i < n; ++i) {
        wchar_t text[512] = {};
        Send(ListOf(results), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.emplace_back(text);
    }
    return rows;
}

// Whether a process that the program started (the build's script) still runs.
bool ChildRunning(DWORD parent) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry))
        found = entry.th32ParentProcessID == parent;
    CloseHandle(snapshot);
    return found;
}

}  // namespace

E2E_TEST(BuildResults, ErrorsAndAWarningAreListedAndADoubleClickSelectsTheLine) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    const char warningLine[] = "    mov ax, bx ;!warning Argument needs type override";
    std::string source;
    for (int n = 1; n <= 200; ++n)
        source += (n == 150   ? warningLine
                   : n == 170 ? "    jmp foo ;!error Undefined symbol: FOO"
                              : "    nop") +
                  std::string("\r\n");
    WriteBytes(doc, source);
    Program app = Program::Start(doc);
    app.TypeInEditor(
        L"; \x0442\x0435\x0441\x0442 ;!error \x041C\x0435\x0442\x043A\x0430 \x043D\x0435\x0442\r\n");

    Build(app, Command::Make16Exe, WorkFolder() + L"\\hello.exe");
    HWND results = app.WaitForWindow(kResultsClass);
    CHECK_EQ(Rows(results), (std::vector<std::wstring>{
                                L"Error\t1\t\x041C\x0435\x0442\x043A\x0430 \x043D\x0435\x0442",
                                L"Warning\t151\tArgument needs type override",
                                L"Error\t171\tUndefined symbol: FOO",
                                L"Output\t\tNo output: hello.exe was not written.",
                            }));
    CHECK(!RunEnabled(app));

    // A double-click on the second row, as the mouse gives it.
    HWND list = ListOf(results);
    const LPARAM point = MAKELPARAM(8, Send(list, LB_GETITEMHEIGHT) * 3 / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    HWND editor = app.Editor();
    const auto start = static_cast<DWORD>(Send(editor, EM_LINEINDEX, 150));
    const DWORD end = start + static_cast<DWORD>(std::strlen(warningLine));
    CHECK_EVENTUALLY_EQ(Send(editor, EM_GETSEL), static_cast<LRESULT>(MAKELRESULT(start, end)));
    CHECK_EVENTUALLY(GetForegroundWindow() == app.MainWindow());
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    CHECK_EVENTUALLY(GetGUIThreadInfo(GetWindowThreadProcessId(editor, nullptr), &gui) &&
                     gui.hwndCaret == editor);
    const LRESULT at = Send(editor, EM_POSFROMCHAR, start);
    CHECK_EQ(gui.rcCaret.left, static_cast<LONG>(static_cast<short>(LOWORD(at))));  // the caret at its start
    RECT client{};                                                                  // and the line in view
    CHECK(GetClientRect(editor, &client) && static_cast<short>(HIWORD(at)) >= 0 &&
          HIWORD(at) < client.bottom);

    // Esc closes it; the next build opens it where the user left it.
    SetWindowPos(results, nullptr, 100, 120, 500, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK_EVENTUALLY(!IsWindow(results));
    CHECK_EQ(RegGet(HKEY_CURRENT_USER, L"Software\\Korveline\\Build results", L"Width"), RegDword(500));
    Build(app, Command::Make16Exe, WorkFolder() + L"\\hello.exe");
    RECT place{};
    GetWindowRect(app.WaitForWindow(kResultsClass), &place);
    CHECK_EQ(std::vector<LONG>({place.left, place.top, place.right, place.bottom}),
             std::vector<LONG>({100, 120, 600, 320}));
}

E2E_TEST(BuildResults, ACleanBuildShowsNoWindowAndAMissingListingIsSaidInPlainWords) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    WriteBytes(doc, "    nop\r\n");
    Program app = Program::Start(doc);
    Build(app, Command::Make16Com, WorkFolder() + L"\\hello.com");
    CHECK(RunEnabled(app));
    // Run, posted after the script's end has been, comes after its handling.
    REQUIRE(WaitUntil([&] { return !ChildRunning(app.ProcessId()); }, kStartTimeout));
    app.Click(Command::RunCompiled);
    CHECK_EVENTUALLY(FileExists(WorkFolder() + L"\\hello.com.ran"));
    CHECK(!app.FindWindowOfClass(kResultsClass));

    app.TypeInEditor(L";!nolisting\r\n");  // built under a name of its own: no listing of the last build
    Build(app, Command::Make16Exe, WorkFolder() + L"\\nolist.exe");
    CHECK(RunEnabled(app));
    std::wstring size = std::to_wstring(ReadBytes(WorkFolder() + L"\\nolist.exe").value_or("").size());
    CHECK_EQ(Rows(app.WaitForWindow(kResultsClass)),
             (std::vector<std::wstring>{
                 L"Listing\t\tThe assembler wrote no listing (nolist.LST), so its messages "
                 L"cannot be shown here.",
                 L"Output\t\tnolist.exe written, " + size.insert(size.size() - 3, L",") + L" bytes"}));
}

}  // namespace e2e
