// The editor's own features as a user reaches them: its context menu, Go to
// line in a 4 MB source, Find of a Cyrillic word down and up, and the two
// switches of the menu kept from one start to the next.
#include "driver/registry.h"
#include "editor_steps.h"

namespace e2e {
namespace {

const wchar_t kSwitchesKey[] = L"Software\\Korveline";
constexpr int kGoToLineBox = 100;  // the Go to line dialog's number box
constexpr int kFindWhat = 0x480, kWholeWord = 0x410, kUp = 0x420, kDown = 0x421;  // the system's Find dialog

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result))
        Abort("no answer to message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

// Opens the editor's context menu from the keyboard and chooses an item by its underlined letter.
void ChooseFromContextMenu(const Program& app, wchar_t letter) {
    PostMessageW(app.Editor(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.Editor()), MAKELPARAM(-1, -1));
    HWND menu = nullptr;
    REQUIRE(WaitUntil([&] { return (menu = app.FindWindowOfClass(L"#32768")) && IsWindowVisible(menu); }));
    PostMessageW(menu, WM_CHAR, letter, 0);
    REQUIRE(WaitUntil([&] { return !IsWindowVisible(menu); }));
}

// The dialog of the program that holds the control.
HWND WaitForDialogWith(const Program& app, int controlId) {
    HWND dialog = nullptr;
    REQUIRE(WaitUntil([&] {
        dialog = app.FindWindowOfClass(kDialogClass);
        return dialog && IsWindowVisible(dialog) && GetDlgItem(dialog, controlId);
    }));
    return dialog;
}

std::size_t CaretLine(const Program& app) {
    return static_cast<std::size_t>(Send(app.Editor(), EM_LINEFROMCHAR, static_cast<WPARAM>(-1)));
}

int TextLeft(const Program& app) {
    return static_cast<short>(LOWORD(Send(app.Editor(), EM_POSFROMCHAR, 0)));
}

}  // namespace

E2E_TEST(EditorFeatures, GoToLineAndFindACyrillicWordBothWaysInA4MbSource) {
    // 100,000 lines; "МЕТКА" (Windows-1251) as a whole word on lines 39000 and
    // 60000, and inside a longer word on line 50000.
    std::string source;
    for (int line = 0; line < 100000; ++line) {
        source += "        mov     ax, 1234h        ; line " + std::to_string(line);
        if (line == 39000 || line == 60000)
            source += " \xCC\xC5\xD2\xCA\xC0";
        if (line == 50000)
            source += " \xCC\xC5\xD2\xCA\xC0\xD5";
        source += "\r\n";
    }
    const std::wstring path = WorkFolder() + L"\\big.asm";
    WriteBytes(path, source);
    Program app = Program::Start(path);
    REQUIRE_EVENTUALLY_EQ(Send(app.Editor(), EM_GETLINECOUNT), 100001);

    ChooseFromContextMenu(app, L'g');
    HWND goTo = WaitForDialogWith(app, kGoToLineBox);
    Send(GetDlgItem(goTo, kGoToLineBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"40000"));
    PressButton(goTo, IDOK);
    CHECK_EVENTUALLY_EQ(CaretLine(app), 39999u);
    const auto top = static_cast<std::size_t>(Send(app.Editor(), EM_GETFIRSTVISIBLELINE));
    CHECK(top <= 39999 && 39999 < top + 20);
    Screenshot(L"editor-colours-and-line-numbers");

    ChooseFromContextMenu(app, L'f');
    HWND find = WaitForDialogWith(app, kFindWhat);
    // Lower case, which is not matched; a whole word.
    Send(GetDlgItem(find, kFindWhat), WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>(L"\u043c\u0435\u0442\u043a\u0430"));
    Send(GetDlgItem(find, kWholeWord), BM_SETCHECK, BST_CHECKED);
    PressButton(find, IDOK);
    // The match is selected: its line, and the word itself as Copy takes it.
    const auto found = [&] {
        Send(app.Editor(), WM_COPY);
        return std::to_wstring(CaretLine(app)) + L" " + ClipboardText().value_or(L"");
    };
    CHECK_EVENTUALLY_EQ(found(), L"60000 \u041c\u0415\u0422\u041a\u0410");
    Send(GetDlgItem(find, kDown), BM_SETCHECK, BST_UNCHECKED);
    Send(GetDlgItem(find, kUp), BM_SETCHECK, BST_CHECKED);
    PressButton(find, IDOK);
    CHECK_EVENTUALLY_EQ(found(), L"39000 \u041c\u0415\u0422\u041a\u0410");
}

E2E_TEST(EditorFeatures, ColourAndLineNumberSwitchesSurviveARestart) {
    RegRemoveValue(HKEY_CURRENT_USER, kSwitchesKey, L"ColourSyntax");
    RegRemoveValue(HKEY_CURRENT_USER, kSwitchesKey, L"LineNumbers");
    {
        Program app = Program::Start();
        const int withNumbers = TextLeft(app);
        CHECK(withNumbers > 10);  // both on at the first start: the gutter takes room
        ChooseFromContextMenu(app, L'n');
        CHECK_EVENTUALLY_EQ(TextLeft(app), 2);
        ChooseFromContextMenu(app, L's');
        CHECK_EVENTUALLY_EQ(RegGet(HKEY_CURRENT_USER, kSwitchesKey, L"ColourSyntax"), RegDword(0));
        CHECK_EQ(RegGet(HKEY_CURRENT_USER, kSwitchesKey, L"LineNumbers"), RegDword(0));
        app.Close();
        REQUIRE(app.WaitForExit());
    }
    Program app = Program::Start();
    CHECK_EVENTUALLY_EQ(TextLeft(app), 2);  // no gutter
    ChooseFromContextMenu(app, L's');       // was off, so it turns on
    CHECK_EVENTUALLY_EQ(RegGet(HKEY_CURRENT_USER, kSwitchesKey, L"ColourSyntax"), RegDword(1));
    ChooseFromContextMenu(app, L'n');
    CHECK_EVENTUALLY(TextLeft(app) > 10);
    RegRemoveValue(HKEY_CURRENT_USER, kSwitchesKey, L"ColourSyntax");
    RegRemoveValue(HKEY_CURRENT_USER, kSwitchesKey, L"LineNumbers");
}

}  // namespace e2e
