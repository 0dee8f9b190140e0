// Starting the program: the splash, the main window with the default
// document and the menu bar a user sees, the store and the association a
// first start leaves in the real registry.
#include <windows.h>

#include <shellapi.h>

#include "driver/program.h"
#include "driver/registry.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

const HKEY kHklm = HKEY_LOCAL_MACHINE, kHkcr = HKEY_CLASSES_ROOT;
const wchar_t kStore[] = L"Software\\asm";
const wchar_t kCommandKey[] = L"Korveline.Qorvath\\Shell\\Open\\command";

int Px(int twips) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

// A window's place and size, or (client) the size of its client area.
std::vector<long> Rect(HWND window, bool client = false) {
    RECT r{};
    client ? GetClientRect(window, &r) : GetWindowRect(window, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
std::vector<long> Size(HWND window, bool client = false) {
    const std::vector<long> r = Rect(window, client);
    return {r[2], r[3]};
}

void CheckRegisteredFor(const std::wstring& exe, bool registered = true) {
    CHECK_EQ(RegGet(kHkcr, L".asm", L""), registered ? RegSz(L"Korveline.Qorvath") : RegMissing());
    CHECK_EQ(RegGet(kHkcr, L".asm", L"Content Type"), registered ? RegSz(L"Korveline") : RegMissing());
    CHECK_EQ(RegGet(kHkcr, kCommandKey, L""),
             registered ? RegSz(exe + L" %1") : RegMissing());  // nothing quoted
    CHECK_EQ(RegGet(kHkcr, L"Korveline.Qorvath\\DefaultIcon", L""),
             registered ? RegSz(exe + L",0") : RegMissing());
    CHECK_EQ(RegKeyExists(kHkcr, L"Korveline.Qorvath"), registered);
    CHECK_EQ(RegGet(kHklm, kStore, L"asmfiles"), RegDword(registered ? 1 : 0));
}

bool Checked(const Program& app) {
    return app.Menu().Item(Command::AsmFiles).checked;
}

}  // namespace

E2E_TEST(Startup, SplashThenMainWindowWithTheDefaultDocumentAndTheMenuBar) {
    Program app = Program::Start();
    HWND splash = app.WaitForWindow(kSplashClass);
    CHECK(!IsWindowVisible(app.FindWindowOfClass(kMainClass)));
    CHECK_EQ(GetWindowLongW(splash, GWL_STYLE) & WS_CAPTION, 0);  // a bare picture, no task-bar button
    CHECK(GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    CHECK_EQ(Rect(splash)[2], Px(5880));
    CHECK_EQ(Rect(splash)[3], Px(2265));

    HWND main = app.MainWindow();
    CHECK_EVENTUALLY(!app.FindWindowOfClass(kSplashClass));
    CHECK_EQ(app.Caption(), ProgramFolder() + L"\\asm1.asm");
    CHECK_EQ(app.EditorText(), L"");
    CHECK_EQ(Rect(main)[0], Px(1400));
    CHECK_EQ(Rect(main)[1], Px(1000));
    CHECK_EQ(Size(app.Editor()), Size(main, true));  // the editor fills the window, resized too
    SetWindowPos(main, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHECK_EVENTUALLY_EQ(Size(app.Editor()), Size(main, true));
    ShowWindow(main, SW_MINIMIZE);  // minimised, the editor keeps its size
    CHECK_EVENTUALLY(IsIconic(main));
    ShowWindow(main, SW_RESTORE);
    CHECK_EVENTUALLY_EQ(Size(app.Editor()), Size(main, true));
    CHECK_EQ(Rect(main)[2], 700);
    Screenshot(L"main-window-first-start");

    // Every item enabled but "Run Compile file"; only "Open with *.asm" checked.
    const std::vector<std::wstring> expected = {
        L"&File: &New Project\tCtrl+N|&Open Project...\tCtrl+O|-|&Save Project\tCtrl+S|Sav&e Project "
        L"As...\tCtrl+E|-|"
        L"E&xit\tCtrl+Q",
        L"&Edit: Cut\tCtrl+X|&Copy\tCtrl+C|&Paste\tCtrl+V|&Undo\tCtrl+Z|&Delete\tCtrl+D|Select &All      "
        L"\tCtrl+A",
        L"Com&pile: Make 16&b EXE file\tCtrl+B|Make 32b EXE fi&le\tCtrl+L|-|Make 16b CO&M file\tCtrl+M|Make "
        L"32b COM "
        L"&file\tCtrl+F",
        L"&Run: (grayed) Run Compile file\tShift+F5",
        L"&Options: Command Lines...\tCtrl+F9|(checked) Open &with "
        L"*.asm\tCtrl+W|&Tasm\tCtrl+T|Tlin&k\tCtrl+K",
        L"Hel&p: Abo&ut Korveline...\tCtrl+U",
    };
    std::vector<std::wstring> shown;
    for (const MenuPopup& popup : app.Menu().popups) {
        std::wstring line = popup.caption + L": ";
        for (const MenuItem& item : popup.items)
            line += item.separator ? L"-|"
                                   : std::wstring(item.grayed ? L"(grayed) " : L"") +
                                         (item.checked ? L"(checked) " : L"") + item.text + L"|";
        shown.push_back(line.substr(0, line.size() - 1));
    }
    CHECK_EQ(shown, expected);
    const Command commands[] = {Command::New, Command::Make32Com, Command::RunCompiled, Command::About};
    for (Command c : commands)
        CHECK_EQ(app.Menu().Item(c).id, CommandIdOf(c));

    app.Close();  // unchanged: no question
    CHECK(app.WaitForExit());
    CHECK(!app.FindMessageBox());
}

E2E_TEST(Startup, FirstStartWritesTheStoreAndTheAssociationAndALaterStartLoadsTheStore) {
    {
        Program app = Program::Start();
        app.MainWindow();
        const std::vector<std::pair<const wchar_t*, RegData>> store = {
            {L"", RegDword(1)},
            {L"16btasmCOM", RegSz(L"/z /zi /n /m2")},
            {L"16btasmEXE", RegSz(L"/z /zi /n /m2")},
            {L"16btlinkCOM", RegSz(L"/x /v /t")},
            {L"16btlinkEXE", RegSz(L"/x /v")},
            {L"32btasmCOM", RegSz(L"/z /zi /n /m2")},
            {L"32btasmEXE", RegSz(L"/z /zi /n /m2")},
            {L"32btlinkCOM", RegSz(L"/x /v /t /3")},
            {L"32btlinkEXE", RegSz(L"/x /v /3")},
            {L"asmfiles", RegDword(1)},
            {L"tasm", RegSz(L"")},
            {L"tlink", RegSz(L"")},
        };
        std::vector<std::wstring> names;
        for (const auto& [name, data] : store) {
            CHECK_EQ(RegGet(kHklm, kStore, name), data);
            names.push_back(name);
        }
        CHECK_EQ(RegValueNames(kHklm, kStore), SortedNoCase(names));
        CheckRegisteredFor(ProgramPath());
        CHECK_EQ(RegSubKeys(kHkcr, L"Korveline.Qorvath"), SortedNoCase({L"Shell", L"DefaultIcon"}));
        CHECK(Checked(app));
        app.Close();
        REQUIRE(app.WaitForExit());
    }
    RegPut(kHklm, kStore, L"tasm", RegSz(L"C:\\TASM\\BIN\\TASM.EXE"));
    RegPut(kHklm, kStore, L"32btlinkEXE", RegSz(L"/x"));
    Program app = Program::Start();
    app.Click(Command::Tasm);
    HWND tasm = app.WaitForWindow(L"KorvelineTasm", kStateTimeout);
    CHECK_EQ(ControlText(tasm, kIdToolText), L"C:\\TASM\\BIN\\TASM.EXE");
    PressButton(tasm, kIdToolCancel);
    REQUIRE_EVENTUALLY(!IsWindow(tasm));
    app.Click(Command::CommandLines);
    HWND exe = app.WaitForWindow(L"KorvelineCommand", kStateTimeout);
    CHECK_EQ(ControlText(exe, kIdOptionsTlink[1]), L"/x");
    CHECK_EQ(ControlText(exe, kIdOptionsTlink[0]), L"/x /v");
    PressButton(exe, kIdOptionsCancel);
    REQUIRE_EVENTUALLY(!IsWindow(exe));
    CHECK_EQ(RegGet(kHklm, kStore, L"tasm"), RegSz(L"C:\\TASM\\BIN\\TASM.EXE"));
    CHECK_EQ(RegGet(kHkcr, kCommandKey, L""), RegSz(ProgramPath() + L" %1"));
}

// The association's switch, a moved program registered again, and a file
// opened from the shell.
E2E_TEST(Startup, OpenWithAsmSwitchesTheAssociationAndTheShellOpensFilesInTheProgram) {
    {
        Program first = Program::Start();
        first.MainWindow();
        first.Close();
        REQUIRE(first.WaitForExit());
    }
    const std::wstring moved = InstallCopyAt(WorkFolder() + L"\\Moved\\korveline.exe");
    {
        Program app = Program::Start(L"", moved);
        REQUIRE(Checked(app));
        CheckRegisteredFor(ProgramPath());  // a later start leaves the keys naming the old place
        app.Click(Command::AsmFiles);
        CHECK_EVENTUALLY_EQ(Checked(app), false);
        CheckRegisteredFor(moved, false);
        app.Click(Command::AsmFiles);
        CHECK_EVENTUALLY_EQ(Checked(app), true);
        CheckRegisteredFor(moved);
        CHECK(!app.FindMessageBox());
    }
    const std::wstring file = WorkFolder() + L"\\my sources\\shell opened.asm";
    WriteBytes(file, "nop\r\n");
    REQUIRE(reinterpret_cast<INT_PTR>(
                ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32);
    Program app = Program::AttachToStarted();
    CHECK_EQ(app.Caption(), file);  // the whole path, blanks included, is the command line
    CHECK_EQ(app.EditorText(), L"nop\r\n");
}

E2E_TEST(Startup, ProgramInADriveRoot) {
    const auto root = SpareDriveRoot();
    REQUIRE(root.has_value());
    Program app = Program::Start(L"", InstallCopyAt(*root + L"korveline.exe"));
    wchar_t windir[MAX_PATH] = {};
    GetEnvironmentVariableW(L"windir", windir, MAX_PATH);
    CHECK_EQ(app.Caption(), std::wstring(windir).substr(0, 3) + L"asm1.asm");   // the Windows drive's root
    CHECK_EQ(RegGet(kHkcr, kCommandKey, L""), RegSz(L"R:\\korveline.exe %1"));  // no doubled backslash
}

}  // namespace e2e
