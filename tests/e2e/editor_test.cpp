// The editor and the File and Edit menus as a user reaches them: keys and the
// mouse, the context menu's Go to line, Find and switches, files on disk byte
// by byte through the real Open/Save dialog, the shared clipboard.
#include "driver/e2e.h"

namespace e2e {
namespace {

const wchar_t kPrivet[] = L"\u041F\u0440\u0438\u0432\u0435\u0442";  // in the DOS code page: 8F E0 A8 A2 A5 E2

// Real key presses to the main window brought to the front, held in order and
// released in reverse (Shift, Ctrl, the key): they pass its accelerators as a user's would.
void PressKeys(const Program& app, std::initializer_list<WORD> keys) {
    HWND main = app.Main();
    SetForegroundWindow(main);
    REQUIRE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    std::vector<INPUT> inputs(keys.size() * 2);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        INPUT &down = inputs[i], &up = inputs[inputs.size() - 1 - i];
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wVk = up.ki.wVk = keys.begin()[i];
        down.ki.dwFlags = down.ki.wVk >= VK_END && down.ki.wVk <= VK_DOWN ? KEYEVENTF_EXTENDEDKEY : 0;
        up.ki.dwFlags = down.ki.dwFlags | KEYEVENTF_KEYUP;
    }
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A click (or double-click) just inside the character at the index.
void ClickAt(const Program& app, std::size_t index, WPARAM keys = 0, UINT down = WM_LBUTTONDOWN) {
    const auto at = DWORD(Send(app.Editor(), EM_POSFROMCHAR, index));
    const LPARAM where = MAKELPARAM(short(LOWORD(at)) + 1, short(HIWORD(at)) + 1);
    Send(app.Editor(), down, MK_LBUTTON | keys, where);
    Send(app.Editor(), WM_LBUTTONUP, keys, where);
}

// Opens the editor's context menu from the keyboard and chooses an item by its underlined letter.
void ChooseFromContextMenu(const Program& app, wchar_t letter) {
    PostMessageW(app.Editor(), WM_CONTEXTMENU, WPARAM(app.Editor()), MAKELPARAM(-1, -1));
    HWND menu = app.Wait(L"#32768", 0, kStateTimeout);
    PostMessageW(menu, WM_CHAR, letter, 0);
    REQUIRE(WaitUntil([&] { return !IsWindowVisible(menu); }));
}

LRESULT Line(const Program& app) {
    return Send(app.Editor(), EM_LINEFROMCHAR, WPARAM(-1));
}
int TextLeft(const Program& app) {
    return short(LOWORD(Send(app.Editor(), EM_POSFROMCHAR, 0)));
}

}  // namespace

E2E_TEST(Editor, KeysTypeCyrillicEnterAndBackspaceSelectWithShiftCutAndUndoAndTheMouseSelects) {
    Program app;
    for (wchar_t c :
         std::wstring(L"\u043C\u043E\u0432 ax\r1\b\b\t;"))  // Backspace takes the 1, then CR LF as one
        Send(app.Editor(), WM_CHAR, c, 1);
    CHECK_EQ(app.Text(), L"\u043C\u043E\u0432 ax\t;");
    PressKeys(app, {VK_HOME});
    for (int i = 0; i < 3; ++i)
        PressKeys(app, {VK_SHIFT, VK_RIGHT});
    CHECK_EVENTUALLY_EQ(app.Selection(), "0-3");
    WriteClipboardText(nullptr, L"sentinel");
    PressKeys(app, {VK_CONTROL, 'X'});  // Ctrl+X: the menu's Cut
    CHECK_EVENTUALLY_EQ(app.Text(), L" ax\t;");
    CHECK_EQ(Clipboard(), L"\u043C\u043E\u0432");
    PressKeys(app, {VK_CONTROL, 'Z'});
    CHECK_EVENTUALLY_EQ(app.Text(), L"\u043C\u043E\u0432 ax\t;");

    app.Select(0, std::size_t(-1));
    app.Type(L"mov ax, bx\r\nint 21h");
    ClickAt(app, 14);
    CHECK_EQ(app.Selection(), "14-14");
    ClickAt(app, 2, MK_SHIFT);
    CHECK_EQ(app.Selection(), "2-14");
    ClickAt(app, 5, 0, WM_LBUTTONDBLCLK);
    CHECK_EQ(app.Selection(), "4-6");
}

E2E_TEST(Editor, GoToLineAndFindACyrillicWordBothWaysInA4MbSource) {
    // 100,000 lines; a whole word on lines 39000 and 60000, inside a longer one on 50000 (Windows-1251).
    std::string source;
    for (int line = 0; line < 100000; ++line)
        source += "        mov     ax, 1234h        ; line " + std::to_string(line) +
                  (line == 39000 || line == 60000 ? " \xCC\xC5\xD2\xCA\xC0"
                   : line == 50000                ? " \xCC\xC5\xD2\xCA\xC0\xD5"
                                                  : "") +
                  "\r\n";
    PutFile(WorkFolder() + L"\\big.asm", source);
    Program app(WorkFolder() + L"\\big.asm");
    REQUIRE(CHECK_EVENTUALLY_EQ(Send(app.Editor(), EM_GETLINECOUNT), 100001));
    ChooseFromContextMenu(app, L'g');
    HWND goTo = app.Wait(kDialogClass, 100, kStateTimeout);  // its number box
    Send(GetDlgItem(goTo, 100), WM_SETTEXT, 0, LPARAM(L"40000"));
    Press(goTo, IDOK);
    CHECK_EVENTUALLY_EQ(Line(app), 39999);
    const LRESULT top = Send(app.Editor(), EM_GETFIRSTVISIBLELINE);
    CHECK(top <= 39999 && 39999 < top + 20);

    ChooseFromContextMenu(app, L'f');
    HWND find = app.Wait(kDialogClass, 0x480, kStateTimeout);  // the system's Find dialog and its text box
    Send(GetDlgItem(find, 0x480), WM_SETTEXT, 0, LPARAM(L"\u043c\u0435\u0442\u043a\u0430"));  // lower case
    Send(GetDlgItem(find, 0x410), BM_SETCHECK, BST_CHECKED);                                  // whole word
    Press(find, IDOK);
    const auto found = [&] {  // the match's line, and the word itself as Copy takes it
        Send(app.Editor(), WM_COPY);
        return std::to_wstring(Line(app)) + L" " + Clipboard();
    };
    CHECK_EVENTUALLY_EQ(found(), L"60000 \u041c\u0415\u0422\u041a\u0410");
    Send(GetDlgItem(find, 0x421), BM_SETCHECK, BST_UNCHECKED);  // up
    Send(GetDlgItem(find, 0x420), BM_SETCHECK, BST_CHECKED);
    Press(find, IDOK);
    CHECK_EVENTUALLY_EQ(found(), L"39000 \u041c\u0415\u0422\u041a\u0410");
}

E2E_TEST(Editor, ColourAndLineNumberSwitchesSurviveARestart) {
    for (int start : {1, 2}) {  // both on at the first start, the gutter taking room; off at the second
        Program app;
        CHECK_EVENTUALLY_EQ(TextLeft(app) > 10, start == 1);
        ChooseFromContextMenu(app, L'n');
        CHECK_EVENTUALLY_EQ(TextLeft(app) > 10, start == 2);
        ChooseFromContextMenu(app, L's');
        CHECK_EVENTUALLY_EQ(Reg(RegRoot::CurrentUser, kUserKey, L"ColourSyntax"),
                            start == 1 ? "REG_DWORD 0" : "REG_DWORD 1");
        CHECK_EQ(Reg(RegRoot::CurrentUser, kUserKey, L"LineNumbers"),
                 start == 1 ? "REG_DWORD 0" : "REG_DWORD 1");
        app.Close();
        REQUIRE(app.WaitForExit());
    }
}

// Paths beyond 260 characters come through the command line: Wine's file dialog stops answering at one.
E2E_TEST(FileCommands, ACommandLineFileOfALongPathOpensAndSavesInTheDosCodePage) {
    std::wstring path = WorkFolder() + L"\\my sources";
    for (int i = 0; path.size() <= 280; ++i)
        path += L"\\" + std::wstring(50, wchar_t(L'a' + i));
    path += L"\\hello world.asm";
    PutFile(path, "; \xCF\xF0\xE8\xE2\xE5\xF2\r\nend\r\n");  // Windows-1251
    Program app(path);
    CHECK_EQ(app.Caption(), path);
    CHECK_EQ(app.Text(), L"; " + std::wstring(kPrivet) + L"\r\nend\r\n");
    app.Select(0, 0);
    app.Type(L";");
    app.Run(Command::Save);
    CHECK(!app.Find(kDialogClass));
    CHECK_EQ(FileText(path), ";; \x8F\xE0\xA8\xA2\xA5\xE2\r\nend\r\n\r\n");
}

E2E_TEST(FileCommands, SaveAndOpenThroughTheDialogAndExitAsksOnceByTheMenuAndByTheCloseBox) {
    const std::wstring path = WorkFolder() + L"\\hello.asm", other = WorkFolder() + L"\\other.asm";
    {
        Program app;
        app.Type(kPrivet);
        app.Click(Command::Save);
        HWND dialog = app.FileDialog();
        CHECK_EQ(Text(dialog, kFileNameBoxId), L"asm1.asm");  // preset with the caption's path
        ChooseFile(dialog, path);
        CHECK_EVENTUALLY_EQ(app.Caption(), path);
        CHECK_EVENTUALLY_EQ(FileText(path), "\x8F\xE0\xA8\xA2\xA5\xE2\r\n");
        PutFile(other, "nop\r\n");
        app.Click(Command::Open);
        dialog = app.FileDialog();
        CHECK_EQ(Text(dialog, kFileNameBoxId), L"hello.asm");  // the dialog's previous name
        ChooseFile(dialog, other);
        CHECK_EVENTUALLY_EQ(app.Text(), L"nop\r\n");
        CHECK_EQ(app.Caption(), other);
        app.Close();
        CHECK(app.WaitForExit());  // a file just read counts as unchanged
    }
    for (bool closeBox : {false, true}) {
        Program app;
        app.Type(L"x");
        closeBox ? app.Close() : app.Click(Command::Exit);
        HWND box = app.Box();
        CHECK_EQ(Text(box, kMessageTextId) + L" " + Text(box),
                 L"Save change to the file before exit? Korveline");
        Press(box, closeBox ? IDYES : IDNO);
        if (closeBox)
            ChooseFile(app.FileDialog(), WorkFolder() + L"\\x.asm");
        CHECK(app.WaitForExit());  // a second question would keep it running
    }
    CHECK_EQ(FileText(WorkFolder() + L"\\x.asm"), "x\r\n");
}

E2E_TEST(EditCommands, CutCopyPasteDeleteSelectAllAndUndoWorkOnTheSharedClipboard) {
    Program app;
    app.Type(L"mov ax, bx");
    const std::wstring privet = kPrivet;
    const struct {
        std::size_t start, end;    // selected before the command (0, 0: as it is)
        const wchar_t* clipboard;  // put there before the command, or left as it is
        Command command;
        std::wstring text, clipboardAfter;
    } steps[] = {
        {4, 6, L"sentinel", Command::Cut, L"mov , bx", L"ax"},
        {0, 0, nullptr, Command::Undo, L"mov ax, bx", L"ax"},
        {0, 3, kPrivet, Command::Paste, privet + L" ax, bx", privet},
        {0, 6, L"sentinel", Command::Copy, privet + L" ax, bx", privet},
        {0, 7, nullptr, Command::Delete, L"ax, bx", privet},
    };
    for (const auto& s : steps) {
        if (s.end)
            app.Select(s.start, s.end);
        if (s.clipboard)
            WriteClipboardText(nullptr, s.clipboard);
        app.Run(s.command);
        CHECK_EQ(app.Text() + L" | " + Clipboard(), s.text + L" | " + s.clipboardAfter);
    }
    app.Run(Command::SelectAll);
    CHECK_EQ(app.Selection(), "0-6");
}

}  // namespace e2e
