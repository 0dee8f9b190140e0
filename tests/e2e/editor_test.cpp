// The editor and the File and Edit menus as a user reaches them: keys and the
// mouse, the context menu's Go to line, Find and switches, files on disk byte
// by byte through the real Open/Save dialog, the clipboard shared with other programs.
#include "app/win32/frm_about.h"
#include "driver/e2e.h"

namespace e2e {
namespace {

const std::wstring kPrivet =
    L"\u041F\u0440\u0438\u0432\u0435\u0442";  // in the DOS code page 8F E0 A8 A2 A5 E2

// A click (or double-click) just inside the character at the index.
void ClickAt(const Program& app, std::size_t index, WPARAM keys = 0, UINT down = WM_LBUTTONDOWN) {
    const auto at = DWORD(Send(app.Editor(), EM_POSFROMCHAR, index));
    Send(app.Editor(), down, MK_LBUTTON | keys, MAKELPARAM(short(LOWORD(at)) + 1, short(HIWORD(at)) + 1));
    Send(app.Editor(), WM_LBUTTONUP, keys, MAKELPARAM(short(LOWORD(at)) + 1, short(HIWORD(at)) + 1));
}

// Opens the editor's context menu from the keyboard and chooses an item by its underlined letter.
void ChooseFromContextMenu(const Program& app, wchar_t letter) {
    PostMessageW(app.Editor(), WM_CONTEXTMENU, WPARAM(app.Editor()), MAKELPARAM(-1, -1));
    HWND menu = app.Wait(L"#32768", 0, kStateTimeout);
    PostMessageW(menu, WM_CHAR, letter, 0);
    if (!WaitUntil([&] { return !IsWindowVisible(menu); }))
        Fail("the context menu stayed");
}

}  // namespace

TEST(Editor, KeysTypeAndSelectTheEditMenuWorksOnTheSharedClipboardAndTheMouseSelects) {
    Program app;
    for (wchar_t c :
         std::wstring(L"\u043C\u043E\u0432 ax\r1\b\b\t;"))  // Backspace takes the 1, then CR LF as one
        Send(app.Editor(), WM_CHAR, c, 1);
    EXPECT_EQ(app.Text(), L"\u043C\u043E\u0432 ax\t;");
    PressKeys(app.Main(), {VK_HOME});
    for (int i = 0; i < 3; ++i)
        PressKeys(app.Main(), {VK_SHIFT, VK_RIGHT});
    EXPECT_EVENTUALLY_EQ(app.Selection(), "0-3");
    PressKeys(app.Main(), {VK_CONTROL, 'X'});  // Cut
    EXPECT_EVENTUALLY_EQ(app.Text() + L"|" + Clipboard(), L" ax\t;|\u043C\u043E\u0432");
    PressKeys(app.Main(), {VK_CONTROL, 'Z'});  // Undo
    EXPECT_EVENTUALLY_EQ(app.Text(), L"\u043C\u043E\u0432 ax\t;");
    PressKeys(app.Main(), {VK_CONTROL, VK_MENU, 'G'});  // AltGr+G types on some layouts: no Go to line
    PressKeys(app.Main(), {VK_END});
    EXPECT_EVENTUALLY_EQ(app.Selection(), "8-8");
    EXPECT_FALSE(app.Find(L"KorvelineGoToLine"));
    WriteClipboardText(nullptr, kPrivet);  // from another program, through the Edit menu
    app.Select(0, 3);
    app.Run(Command::Paste);
    app.Select(6, 9);
    app.Run(Command::Copy);
    EXPECT_EQ(app.Text() + L"|" + Clipboard(), kPrivet + L" ax\t;| ax");
    app.Select(0, 6);
    app.Run(Command::Delete);
    app.Run(Command::SelectAll);
    EXPECT_EQ(app.Text(), L" ax\t;");
    EXPECT_EQ(app.Selection(), "0-5");
    app.Type(L"mov ax, bx\r\nint 21h");
    ClickAt(app, 14);
    EXPECT_EQ(app.Selection(), "14-14");
    ClickAt(app, 2, MK_SHIFT);
    EXPECT_EQ(app.Selection(), "2-14");
    ClickAt(app, 5, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(app.Selection(), "4-6");  // the word
}

TEST(Editor, GoToLineAndFindACyrillicWordBothWaysInA4MbSource) {
    std::string source;  // a whole word on lines 39000 and 60000, inside a longer one on 50000 (Windows-1251)
    for (int line = 0; line < 100000; ++line)
        source += "        mov     ax, 1234h        ; line " + std::to_string(line) +
                  (line == 39000 || line == 60000 ? " \xCC\xC5\xD2\xCA\xC0"
                   : line == 50000                ? " \xCC\xC5\xD2\xCA\xC0\xD5"
                                                  : "") +
                  "\r\n";
    PutFile(workFolder + L"\\big.asm", source);
    Program app(workFolder + L"\\big.asm");
    ASSERT_EVENTUALLY_EQ(Send(app.Editor(), EM_GETLINECOUNT), 100001);
    const auto line = [&] { return Send(app.Editor(), EM_LINEFROMCHAR, WPARAM(-1)); };  // of the caret
    ChooseFromContextMenu(app, L'g');
    HWND goTo = app.Wait(L"KorvelineGoToLine", 100, kStateTimeout);  // its number box
    Send(GetDlgItem(goTo, 100), WM_SETTEXT, 0, LPARAM(L"40000"));
    Press(goTo, IDOK);
    EXPECT_EVENTUALLY_EQ(line(), 39999);
    EXPECT_TRUE(std::size_t(39999 - Send(app.Editor(), EM_GETFIRSTVISIBLELINE)) < 20);  // in view

    ChooseFromContextMenu(app, L'f');
    HWND find = app.Wait(L"KorvelineFind", 0x480, kStateTimeout);  // ids of the system's Find dialog
    Send(GetDlgItem(find, 0x480), WM_SETTEXT, 0, LPARAM(L"\u043c\u0435\u0442\u043a\u0430"));  // lower case
    Send(GetDlgItem(find, 0x410), BM_SETCHECK, BST_CHECKED);                                  // whole word
    const auto found = [&] {  // the match's line, and the word itself as Copy takes it
        Send(app.Editor(), WM_COPY);
        return std::to_wstring(line()) + L" " + Clipboard();
    };
    for (int up : {0, 1}) {
        Send(GetDlgItem(find, 0x421), BM_SETCHECK, !up);  // down
        Send(GetDlgItem(find, 0x420), BM_SETCHECK, up);
        Press(find, IDOK);
        EXPECT_EVENTUALLY_EQ(found(),
                             (up ? L"39000" : L"60000") + std::wstring(L" \u041c\u0415\u0422\u041a\u0410"));
    }
    // Wrapping around, kept for the user; F3 typed in the dialog finds again, past the end to the top.
    Send(GetDlgItem(find, 0x412), BM_SETCHECK, BST_CHECKED);
    Send(GetDlgItem(find, 0x421), BM_SETCHECK, BST_CHECKED), Send(GetDlgItem(find, 0x420), BM_SETCHECK, 0);
    Press(find, IDOK);
    EXPECT_EVENTUALLY_EQ(line(), 60000);
    PressKeys(find, {VK_F3});
    EXPECT_EVENTUALLY_EQ(line(), 39000);
    EXPECT_EQ(Reg(RegRoot::CurrentUser, kUserKey, L"FindWrapAround"), L"REG_DWORD 1");
    WriteClipboardText(nullptr, L"mov");  // the Edit menu's keys in its text box edit the box alone
    Send(GetDlgItem(find, 0x480), WM_SETTEXT, 0, LPARAM(L""));
    PressKeys(find, {VK_CONTROL, 'V'});
    EXPECT_EVENTUALLY_EQ(Text(find, 0x480), L"mov");
    EXPECT_EQ(Send(app.Editor(), WM_GETTEXTLENGTH), LRESULT(source.size()));
    HWND about = app.Open(Command::About, L"KorvelineAbout");  // while a dialog holds the main window
    EXPECT_FALSE(IsWindowEnabled(find));
    Press(about, kIdAboutOk);
    EXPECT_EVENTUALLY(IsWindowEnabled(find));
}

TEST(Editor, ColourAndLineNumberSwitchesSurviveARestart) {
    for (bool first : {true, false}) {  // both off at the first start; line numbers take room
        Program app;
        const auto numbered = [&] { return short(LOWORD(Send(app.Editor(), EM_POSFROMCHAR, 0))) > 10; };
        EXPECT_EVENTUALLY_EQ(numbered(), !first);
        ChooseFromContextMenu(app, L'n');
        EXPECT_EVENTUALLY_EQ(numbered(), first);
        ChooseFromContextMenu(app, L's');
        EXPECT_EVENTUALLY_EQ(Reg(RegRoot::CurrentUser, kUserKey, L"ColourSyntax") +
                                 Reg(RegRoot::CurrentUser, kUserKey, L"LineNumbers"),
                             first ? L"REG_DWORD 1REG_DWORD 1" : L"REG_DWORD 0REG_DWORD 0");
        app.Close();
        ASSERT_TRUE(app.WaitForExit());
    }
}

TEST(FileCommands, SaveAndOpenThroughTheDialogAndExitAsksOnceByTheMenuAndByTheCloseBox) {
    const std::wstring path = workFolder + L"\\hello.asm", other = workFolder + L"\\other.asm";
    PutFile(other, "nop\r\n");
    {
        Program app;
        app.Type(kPrivet);
        app.Click(Command::Save);
        HWND dialog = app.FileDialog();
        EXPECT_EQ(Text(dialog, kFileNameBoxId), L"asm1.asm");  // preset with the caption's path
        ChooseFile(dialog, path);
        EXPECT_EVENTUALLY_EQ(app.Caption(), path);
        EXPECT_EVENTUALLY_EQ(FileText(path), "\x8F\xE0\xA8\xA2\xA5\xE2\r\n");
        app.Click(Command::Open);
        dialog = app.FileDialog();
        EXPECT_EQ(Text(dialog, kFileNameBoxId), L"hello.asm");  // the dialog's previous name
        ChooseFile(dialog, other);
        EXPECT_EVENTUALLY_EQ(app.Caption() + L"|" + app.Text(), other + L"|nop\r\n");
        app.Close();
        EXPECT_TRUE(app.WaitForExit());  // a file just read counts as unchanged
    }
    for (bool closeBox : {false, true}) {
        Program app;
        app.Type(L"x");
        closeBox ? app.Close() : app.Click(Command::Exit);
        HWND box = app.Box();
        EXPECT_EQ(Text(box) + L": " + Text(box, kMessageTextId),
                  L"Korveline: Save change to the file before exit?");
        Press(box, closeBox ? IDYES : IDNO);
        if (closeBox)
            ChooseFile(app.FileDialog(), workFolder + L"\\x.asm");
        EXPECT_TRUE(app.WaitForExit());  // a second question would keep it running
    }
    EXPECT_EQ(FileText(workFolder + L"\\x.asm"), "x\r\n");
}

}  // namespace e2e
