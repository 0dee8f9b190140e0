// Starting the program: the splash, the main window and its menu bar, the
// store and the association in the real registry, a file opened from the shell.
#include "driver/e2e.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

// The association's values and the store's flag, for the program when registered, or none.
std::string Association(bool registered) {
    const std::wstring exe = ProgramPath();
    const auto sz = [&](const std::wstring& text) {
        return registered ? "REG_SZ " + Show(text) : "(missing)";
    };
    return sz(L"Korveline.Qorvath") + sz(L"Korveline") + sz(exe + L" %1") + sz(exe + L",0") + "REG_DWORD " +
           (registered ? "1" : "0");
}
std::string AssociationNow() {
    return Reg(RegRoot::ClassesRoot, L".asm", L"") + Reg(RegRoot::ClassesRoot, L".asm", L"Content Type") +
           Reg(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open\\command", L"") +
           Reg(RegRoot::ClassesRoot, L"Korveline.Qorvath\\DefaultIcon", L"") +
           Reg(RegRoot::LocalMachine, kStore, L"asmfiles");
}

}  // namespace

E2E_TEST(Startup, SplashThenMainWindowWithTheDefaultDocumentAndTheMenuBar) {
    Program app;
    HWND splash = app.Wait(L"KorvelineBoot");
    CHECK(!app.Find(kMainClass));
    CHECK_EQ(GetWindowLongW(splash, GWL_STYLE) & WS_CAPTION, 0);  // a bare picture, no task-bar button
    CHECK(GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    CHECK_EQ(Size(splash), XY(Px(5880), Px(2265)));

    HWND main = app.Main();
    CHECK_EVENTUALLY(!app.Find(L"KorvelineBoot"));
    CHECK_EQ(app.Caption(), L"C:\\Program Files\\Korveline\\asm1.asm");
    CHECK_EQ(app.Text(), L"");
    CHECK_EQ(Pos(main), XY(Px(1400), Px(1000)));
    CHECK_EQ(Size(app.Editor()), Size(main, true));  // the editor fills the window, resized too
    SetWindowPos(main, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHECK_EVENTUALLY_EQ(Size(app.Editor()), Size(main, true));
    ShowWindow(main, SW_MINIMIZE);  // minimised and restored, the editor keeps its size
    CHECK_EVENTUALLY(IsIconic(main));
    ShowWindow(main, SW_RESTORE);
    CHECK_EVENTUALLY_EQ(Size(app.Editor()), Size(main, true));
    CHECK_EQ(Size(main), XY(700, 500));

    CHECK_EQ(app.Menu(),
             L"&File: &New Project\tCtrl+N|&Open Project...\tCtrl+O|-|&Save Project\tCtrl+S|"
             L"Sav&e Project As...\tCtrl+E|-|E&xit\tCtrl+Q\n"
             L"&Edit: Cut\tCtrl+X|&Copy\tCtrl+C|&Paste\tCtrl+V|&Undo\tCtrl+Z|&Delete\tCtrl+D|"
             L"Select &All      \tCtrl+A\n"
             L"Com&pile: Make 16&b EXE file\tCtrl+B|Make 32b EXE fi&le\tCtrl+L|-|Make 16b CO&M file\tCtrl+M|"
             L"Make 32b COM &file\tCtrl+F\n"
             L"&Run: (grayed) Run Compile file\tShift+F5\n"
             L"&Options: Command Lines...\tCtrl+F9|(checked) Open &with "
             L"*.asm\tCtrl+W|&Tasm\tCtrl+T|Tlin&k\tCtrl+K\n"
             L"Hel&p: Abo&ut Korveline...\tCtrl+U");
    app.Close();  // unchanged: no question
    CHECK(app.WaitForExit());
}

// The first start writes the store and the association, Open with *.asm
// switches it, a later start (here from the shell) reads the store, and the
// Tasm dialog takes its file from the Open dialog and writes it.
E2E_TEST(Startup, FirstStartWritesTheStoreAndTheAssociationAndALaterStartLoadsTheStore) {
    {
        Program app;
        app.Main();
        for (const auto& [name, value] : kSwitches)
            CHECK_EQ(Reg(RegRoot::LocalMachine, kStore, name), "REG_SZ " + Show(value));
        for (const wchar_t* name : {L"", L"tasm", L"tlink"})
            CHECK_EQ(Reg(RegRoot::LocalMachine, kStore, name), *name ? "REG_SZ \"\"" : "REG_DWORD 1");
        CHECK_EQ(AssociationNow(), Association(true));  // the path not quoted
        for (bool on : {false, true}) {
            app.Click(Command::AsmFiles);
            CHECK_EVENTUALLY_EQ(app.Menu().find(L"(checked) Open &with") != std::wstring::npos, on);
            CHECK_EQ(AssociationNow(), Association(on));
        }
        CHECK(!app.Find(kDialogClass));
        app.Close();
        REQUIRE(app.WaitForExit());
    }
    registry.WriteString(RegRoot::LocalMachine, kStore, L"tasm", L"C:\\TASM\\BIN\\TASM.EXE");
    registry.WriteString(RegRoot::LocalMachine, kStore, L"32btlinkEXE", L"/x");
    const std::wstring file = WorkFolder() + L"\\my sources\\shell opened.asm";
    PutFile(file, "nop\r\n");
    REQUIRE(INT_PTR(ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32);
    Program app = Program::StartedByTheShell();
    CHECK_EQ(app.Caption(), file);  // the whole path, blanks included, is the command line
    CHECK_EQ(app.Text(), L"nop\r\n");
    app.Click(Command::Tasm);
    HWND tasm = app.Wait(L"KorvelineTasm");
    CHECK_EQ(Text(tasm, kIdToolText), L"C:\\TASM\\BIN\\TASM.EXE");
    const std::wstring tasmExe = WorkFolder() + L"\\tasm.exe";
    PutFile(tasmExe, "MZ");
    Press(tasm, kIdToolBrowse);
    HWND open = app.FileDialog();
    ChooseFile(open, tasmExe);
    CHECK_EVENTUALLY_EQ(Text(tasm, kIdToolText), tasmExe);
    registry.WriteDword(RegRoot::LocalMachine, kStore, L"tasm", 3);  // replaced by a string
    Press(tasm, kIdToolOk);
    REQUIRE(CHECK_EVENTUALLY(!IsWindow(tasm)));
    CHECK_EQ(Reg(RegRoot::LocalMachine, kStore, L"tasm"), "REG_SZ " + Show(tasmExe));
    app.Click(Command::CommandLines);
    HWND exe = app.Wait(L"KorvelineCommand");
    CHECK_EQ(Text(exe, kIdOptionsTlink[1]), L"/x");
    CHECK_EQ(Text(exe, kIdOptionsTlink[0]), L"/x /v");
}

}  // namespace e2e
