// Starting the program: the splash, the main window and its menu bar, the
// store and the association in the real registry, a file opened from the shell.
#include "driver/e2e.h"
#include "settings/dialog_ids.h"

namespace e2e {

TEST(Startup, SplashThenMainWindowWithTheDefaultDocumentAndTheMenuBar) {
    Program app;
    HWND splash = app.Wait(L"KorvelineBoot");
    EXPECT_FALSE(app.Find(kMainClass));
    EXPECT_EQ(GetWindowLongW(splash, GWL_STYLE) & WS_CAPTION, 0);  // a bare picture without a task-bar button
    EXPECT_TRUE(GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(Size(splash), XY(Px(5880), Px(2265)));
    HWND main = app.Main();
    EXPECT_EVENTUALLY(!app.Find(L"KorvelineBoot"));
    EXPECT_EQ(app.Caption() + L"|" + app.Text(), L"C:\\Program Files\\Korveline\\asm1.asm|");
    EXPECT_EQ(Pos(main), XY(Px(1400), Px(1000)));
    EXPECT_EQ(Size(app.Editor()), Size(main, true));  // the editor fills it, resized or restored
    SetWindowPos(main, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EVENTUALLY_EQ(Size(app.Editor()), Size(main, true));
    ShowWindow(main, SW_MINIMIZE);
    EXPECT_EVENTUALLY(IsIconic(main));
    ShowWindow(main, SW_RESTORE);
    EXPECT_EVENTUALLY_EQ(Size(app.Editor()) + " " + Size(main), Size(main, true) + " 700,500");
    EXPECT_EQ(
        app.Menu(),
        L"&File: &New Project\tCtrl+N|&Open Project...\tCtrl+O|-|&Save Project\tCtrl+S|Sav&e Project "
        L"As...\tCtrl+E|-|E&xit\tCtrl+Q\n&Edit: Cut\tCtrl+X|&Copy\tCtrl+C|&Paste\tCtrl+V|&Undo\tCtrl+Z|"
        L"&Delete\tCtrl+D|Select &All      \tCtrl+A\nCom&pile: Make 16&b EXE file\tCtrl+B|Make 32b EXE "
        L"fi&le\tCtrl+L|-|Make 16b CO&M file\tCtrl+M|Make 32b COM &file\tCtrl+F\n&Run: (grayed) Run Compile "
        L"file\tShift+F5\n&Options: Command Lines...\tCtrl+F9|(checked) Open &with "
        L"*.asm\tCtrl+W|&Tasm\tCtrl+T|"
        L"Tlin&k\tCtrl+K\nHel&p: Abo&ut Korveline...\tCtrl+U");
    app.Close();  // unchanged: no question
    EXPECT_TRUE(app.WaitForExit());
}

// The first start writes the store and the association, Open with *.asm switches
// it, a later start (from the shell) reads the store, and the Tasm dialog takes
// its file from the Open dialog and writes it.
TEST(Startup, FirstStartWritesTheStoreAndTheAssociationAndALaterStartLoadsTheStore) {
    const auto association = [] {  // the .asm keys, then the store's flag
        const RegRoot hkcr = RegRoot::ClassesRoot;
        return Reg(hkcr, L".asm", L"") + L"|" + Reg(hkcr, L".asm", L"Content Type") + L"|" +
               Reg(hkcr, L"Korveline.Qorvath\\Shell\\Open\\command", L"") + L"|" +
               Reg(hkcr, L"Korveline.Qorvath\\DefaultIcon", L"") + L"|" +
               Reg(RegRoot::LocalMachine, kStore, L"asmfiles");
    };
    const std::wstring on = L"REG_SZ Korveline.Qorvath|REG_SZ Korveline|REG_SZ " + kProgram + L" %1|REG_SZ " +
                            kProgram + L",0|REG_DWORD 1";  // the path not quoted
    {
        Program app;
        app.Main();
        EXPECT_EQ(
            Reg(RegRoot::LocalMachine, kStore, L"") + L"|" + Reg(RegRoot::LocalMachine, kStore, L"tasm") +
                L"|" + Reg(RegRoot::LocalMachine, kStore, L"32btlinkEXE"),
            L"REG_DWORD 1|REG_SZ |REG_SZ /x /v /3");  // a few of the first start's values, with their types
        EXPECT_EQ(association(), on);
        for (bool checked : {false, true}) {
            app.Click(Command::AsmFiles);
            EXPECT_EVENTUALLY_EQ(app.Menu().find(L"(checked) Open &with") != std::wstring::npos, checked);
            EXPECT_EQ(association(), checked ? on : L"(missing)|(missing)|(missing)|(missing)|REG_DWORD 0");
        }
        EXPECT_FALSE(app.Find(kDialogClass));  // no message
        app.Close();
        ASSERT_TRUE(app.WaitForExit());
    }
    registry.WriteString(RegRoot::LocalMachine, kStore, L"tasm", L"C:\\TASM\\BIN\\TASM.EXE");
    registry.WriteString(RegRoot::LocalMachine, kStore, L"32btlinkEXE", L"/x");
    const std::wstring file = workFolder + L"\\my sources\\shell opened.asm",
                       tasmExe = workFolder + L"\\tasm.exe";
    PutFile(file, "nop\r\n");
    PutFile(tasmExe, "MZ");
    ASSERT_TRUE(INT_PTR(ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32);
    HWND started = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (started = FindWindowW(kMainClass, nullptr)) && IsWindowVisible(started); },
                  kStartTimeout));
    Program app(started);
    EXPECT_EQ(app.Caption() + L"|" + app.Text(), file + L"|nop\r\n");  // the whole path, blanks included
    HWND tasm = app.Open(Command::Tasm, L"KorvelineTasm");
    EXPECT_EQ(Text(tasm, kIdToolText), L"C:\\TASM\\BIN\\TASM.EXE");
    Press(tasm, kIdToolBrowse);
    ChooseFile(app.FileDialog(), tasmExe);
    EXPECT_EVENTUALLY_EQ(Text(tasm, kIdToolText), tasmExe);
    registry.WriteDword(RegRoot::LocalMachine, kStore, L"tasm", 3);  // replaced by a string
    Press(tasm, kIdToolOk);
    ASSERT_EVENTUALLY(!IsWindow(tasm));
    EXPECT_EQ(Reg(RegRoot::LocalMachine, kStore, L"tasm"), L"REG_SZ " + tasmExe);
    HWND exe = app.Open(Command::CommandLines, L"KorvelineCommand");
    EXPECT_EQ(Text(exe, kIdOptionsTlink[1]) + L"|" + Text(exe, kIdOptionsTlink[0]), L"/x|/x /v");
}

}  // namespace e2e
