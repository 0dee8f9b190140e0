// The build results window: the assembler's messages read from its listing
// after the build's script has ended, and a double-click away from their line.
#include <windows.h>

#include <tlhelp32.h>

#include <cstring>

#include "build_steps.h"

namespace e2e {
namespace {

const wchar_t kResultsClass[] = L"KorvelineBuildResults";

std::vector<std::wstring> Rows(HWND list) {
    std::vector<std::wstring> rows;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (DWORD_PTR i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        DWORD_PTR n = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &n);
        rows.emplace_back(text);
    }
    return rows;
}

HWND ListOf(HWND results) {
    return FindWindowExW(results, nullptr, L"ListBox", nullptr);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
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

std::string Numbered(int lines, std::initializer_list<std::pair<int, const char*>> marked) {
    std::string text;
    for (int n = 1; n <= lines; ++n) {
        std::string line = "    nop";
        for (const auto& m : marked)
            line = m.first == n ? m.second : line;
        text += line + "\r\n";
    }
    return text;
}

}  // namespace

E2E_TEST(BuildResults, ErrorsAndAWarningAreListedAndADoubleClickSelectsTheLine) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    const char warningLine[] = "    mov ax, bx ;!warning Argument needs type override";
    WriteBytes(doc, Numbered(200, {{150, warningLine}, {170, "    jmp foo ;!error Undefined symbol: FOO"}}));
    Program app = Program::Start(doc);
    app.TypeInEditor(
        L"; \x0442\x0435\x0441\x0442 ;!error \x041C\x0435\x0442\x043A\x0430 \x043D\x0435\x0442\r\n");

    Build(app, Command::Make16Exe, WorkFolder() + L"\\hello.exe");
    HWND results = app.WaitForWindow(kResultsClass);
    HWND list = ListOf(results);
    CHECK_EQ(Rows(list), (std::vector<std::wstring>{
                             L"Error\t1\t\x041C\x0435\x0442\x043A\x0430 \x043D\x0435\x0442",
                             L"Warning\t151\tArgument needs type override",
                             L"Error\t171\tUndefined symbol: FOO",
                             L"Output\t\tNo output: hello.exe was not written.",
                         }));
    CHECK(!RunEnabled(app));

    // A double-click on the second row, as the mouse gives it.
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
    RECT client{};
    GetClientRect(editor, &client);
    CHECK(static_cast<short>(HIWORD(at)) >= 0 && static_cast<short>(HIWORD(at)) < client.bottom);

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

E2E_TEST(BuildResults, ACleanBuildShowsNoWindowAndRunAsBefore) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    WriteBytes(doc, Numbered(3, {}));
    Program app = Program::Start(doc);
    Build(app, Command::Make16Com, WorkFolder() + L"\\hello.com");
    CHECK(RunEnabled(app));
    // The script's end has been handled once a command posted after it has.
    REQUIRE(WaitUntil([&] { return !ChildRunning(app.ProcessId()); }, kStartTimeout));
    app.Click(Command::About);
    HWND about = app.WaitForWindow(L"KorvelineAbout");
    CHECK(!app.FindWindowOfClass(kResultsClass));
    PostMessageW(about, WM_CLOSE, 0, 0);
    CHECK_EVENTUALLY(!IsWindow(about));
    app.Click(Command::RunCompiled);
    CHECK_EVENTUALLY(FileExists(WorkFolder() + L"\\hello.com.ran"));
}

E2E_TEST(BuildResults, AMissingListingIsSaidInPlainWords) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    WriteBytes(doc, Numbered(3, {{2, "    nop ;!nolisting"}}));
    Program app = Program::Start(doc);
    const std::wstring text = app.EditorText();
    Build(app, Command::Make16Exe, WorkFolder() + L"\\hello.exe");
    CHECK(RunEnabled(app));
    const std::vector<std::wstring> rows = Rows(ListOf(app.WaitForWindow(kResultsClass)));
    REQUIRE_EQ(rows.size(), std::size_t{2});
    CHECK_EQ(rows[0],
             L"Listing\t\tThe assembler wrote no listing (hello.LST), so its messages cannot be shown here.");
    CHECK(rows[1].rfind(L"Output\t\thello.exe written, ", 0) == 0);
    CHECK_EQ(app.EditorText(), text);
    app.Click(Command::RunCompiled);
    CHECK_EVENTUALLY(FileExists(WorkFolder() + L"\\hello.exe.ran"));
}

}  // namespace e2e
