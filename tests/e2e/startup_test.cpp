// Starting the program: the splash, the main window with the default
// document, and the menu bar a user sees.
#include "driver/program.h"
#include "driver/registry.h"

namespace e2e {
namespace {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Px(int twips) {
    return MulDiv(twips, ScreenDpi(), 1440);
}

struct Size {
    long width, height;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};
std::string Describe(const Size& s) {
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

Size SizeOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

Size ClientSizeOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

std::wstring Windir() {
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(L"windir", value, MAX_PATH);
    return value;
}

}  // namespace

E2E_TEST(Startup, SplashThenMainWindowWithTheDefaultDocument) {
    Program app = Program::Start();
    HWND splash = app.WaitForWindow(kSplashClass);
    CHECK(!IsWindowVisible(app.FindWindowOfClass(kMainClass)));
    // A bare picture: no caption bar, no task-bar button, the picture's size.
    const LONG style = GetWindowLongW(splash, GWL_STYLE);
    CHECK_EQ(style & WS_CAPTION, 0);
    CHECK(GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT r{};
    GetWindowRect(splash, &r);
    CHECK_EQ(r.right - r.left, Px(5880));
    CHECK_EQ(r.bottom - r.top, Px(2265));

    HWND main = app.MainWindow();
    CHECK_EVENTUALLY(!app.FindWindowOfClass(kSplashClass));
    CHECK_EQ(app.Caption(), ProgramFolder() + L"\\asm1.asm");
    CHECK_EQ(app.EditorText(), L"");
    GetWindowRect(main, &r);
    CHECK_EQ(r.left, Px(1400));
    CHECK_EQ(r.top, Px(1000));
    CHECK_EQ(SizeOf(app.Editor()), ClientSizeOf(main));  // the editor fills the window
    Screenshot(L"main-window-first-start");
}

E2E_TEST(Startup, MenuBarAsTheUserSeesIt) {
    struct Row {
        Command command;  // None for a separator
        const wchar_t* caption;
        const wchar_t* shortcut;
    };
    struct Popup {
        const wchar_t* caption;
        std::vector<Row> rows;
    };
    const Popup expected[] = {
        {L"&File",
         {{Command::New, L"&New Project", L"Ctrl+N"},
          {Command::Open, L"&Open Project...", L"Ctrl+O"},
          {Command::None, nullptr, nullptr},
          {Command::Save, L"&Save Project", L"Ctrl+S"},
          {Command::SaveAs, L"Sav&e Project As...", L"Ctrl+E"},
          {Command::None, nullptr, nullptr},
          {Command::Exit, L"E&xit", L"Ctrl+Q"}}},
        {L"&Edit",
         {{Command::Cut, L"Cut", L"Ctrl+X"},
          {Command::Copy, L"&Copy", L"Ctrl+C"},
          {Command::Paste, L"&Paste", L"Ctrl+V"},
          {Command::Undo, L"&Undo", L"Ctrl+Z"},
          {Command::Delete, L"&Delete", L"Ctrl+D"},
          {Command::SelectAll, L"Select &All      ", L"Ctrl+A"}}},
        {L"Com&pile",
         {{Command::Make16Exe, L"Make 16&b EXE file", L"Ctrl+B"},
          {Command::Make32Exe, L"Make 32b EXE fi&le", L"Ctrl+L"},
          {Command::None, nullptr, nullptr},
          {Command::Make16Com, L"Make 16b CO&M file", L"Ctrl+M"},
          {Command::Make32Com, L"Make 32b COM &file", L"Ctrl+F"}}},
        {L"&Run", {{Command::RunCompiled, L"Run Compile file", L"Shift+F5"}}},
        {L"&Options",
         {{Command::CommandLines, L"Command Lines...", L"Ctrl+F9"},
          {Command::AsmFiles, L"Open &with *.asm", L"Ctrl+W"},
          {Command::Tasm, L"&Tasm", L"Ctrl+T"},
          {Command::Tlink, L"Tlin&k", L"Ctrl+K"}}},
        {L"Hel&p", {{Command::About, L"Abo&ut Korveline...", L"Ctrl+U"}}},
    };

    Program app = Program::Start();
    const MenuBar menu = app.Menu();
    REQUIRE_EQ(menu.popups.size(), std::size(expected));
    for (std::size_t p = 0; p < menu.popups.size(); ++p) {
        const MenuPopup& popup = menu.popups[p];
        Log(L"  menu " + popup.caption);
        CHECK_EQ(popup.caption, expected[p].caption);
        if (!CHECK_EQ(popup.items.size(), expected[p].rows.size()))
            continue;
        for (std::size_t i = 0; i < popup.items.size(); ++i) {
            const MenuItem& item = popup.items[i];
            const Row& row = expected[p].rows[i];
            if (!row.caption) {
                CHECK(item.separator);
                continue;
            }
            CHECK_EQ(item.Caption(), row.caption);
            CHECK_EQ(item.Shortcut(), row.shortcut);
            CHECK_EQ(item.id, CommandIdOf(row.command));
            // Everything is enabled at start but "Run Compile file"; only
            // "Open with *.asm" is checked (the first start registers the association).
            CHECK_EQ(item.grayed, row.command == Command::RunCompiled);
            CHECK_EQ(item.checked, row.command == Command::AsmFiles);
        }
    }
}

E2E_TEST(Startup, ProgramInADriveRoot) {
    const auto root = SpareDriveRoot();
    if (!root)
        Abort("the runner made no spare drive R:");
    const std::wstring exe = InstallCopyAt(*root + L"korveline.exe");
    Program app = Program::Start(L"", exe);
    // The default document goes to the root of the drive that holds Windows.
    CHECK_EQ(app.Caption(), Windir().substr(0, 3) + L"asm1.asm");
    // The association names the program with no doubled backslash.
    CHECK_EQ(RegGet(HKEY_CLASSES_ROOT, L"Korveline.Qorvath\\Shell\\Open\\command", L""),
             RegSz(L"R:\\korveline.exe %1"));
    CHECK_EQ(RegGet(HKEY_CLASSES_ROOT, L"Korveline.Qorvath\\DefaultIcon", L""),
             RegSz(L"R:\\korveline.exe,0"));
}

E2E_TEST(Startup, EditorFollowsTheWindowSize) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    HWND editor = app.Editor();
    SetWindowPos(main, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHECK_EVENTUALLY_EQ(SizeOf(main).width, 700);
    CHECK_EVENTUALLY_EQ(SizeOf(editor), ClientSizeOf(main));
    const Size before = SizeOf(editor);

    // Minimised, the editor keeps its size; restored, it fills the window again.
    ShowWindow(main, SW_MINIMIZE);
    CHECK_EVENTUALLY(IsIconic(main));
    CHECK_EQ(SizeOf(editor), before);
    ShowWindow(main, SW_RESTORE);
    CHECK_EVENTUALLY(!IsIconic(main));
    CHECK_EVENTUALLY_EQ(SizeOf(editor), ClientSizeOf(main));
    CHECK_EQ(SizeOf(editor), before);
}

E2E_TEST(Startup, ClosingAnUnchangedDocumentEndsTheProgramWithoutAQuestion) {
    Program app = Program::Start();
    app.MainWindow();
    app.Close();
    CHECK(app.WaitForExit());
    CHECK(!app.FindMessageBox());
}

}  // namespace e2e
