// The editor txtCode as its user sees it: typing (Cyrillic, Enter, Backspace)
// with the keyboard's messages, selecting with Shift and the arrows through
// the accelerators, placing the caret with the mouse.
#include "editor_steps.h"

namespace e2e {
namespace {

LRESULT SendToEditor(const Program& app, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(app.Editor(), message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result))
        Abort("the editor did not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

void TypeKeys(const Program& app, const std::wstring& text) {
    for (wchar_t c : text)
        SendToEditor(app, WM_CHAR, c, 1);
}

// Real key presses (the Shift and Ctrl states included), to the program's
// main window brought to the front: they pass its accelerators as a user's would.
void PressKey(const Program& app, WORD key, bool shift = false, bool ctrl = false) {
    HWND main = app.MainWindow();
    SetForegroundWindow(main);
    if (!WaitUntil([&] { return GetForegroundWindow() == main; }))
        Abort("the main window did not come to the front");
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (vk == VK_HOME || vk == VK_END || vk == VK_LEFT || vk == VK_RIGHT)
            input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        inputs.push_back(input);
    };
    if (shift)
        add(VK_SHIFT, false);
    if (ctrl)
        add(VK_CONTROL, false);
    add(key, false);
    add(key, true);
    if (ctrl)
        add(VK_CONTROL, true);
    if (shift)
        add(VK_SHIFT, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

POINT PositionOf(const Program& app, std::size_t index) {
    const auto packed = static_cast<DWORD>(SendToEditor(app, EM_POSFROMCHAR, index));
    return {static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
}

void ClickAt(const Program& app, POINT at, WPARAM keys = 0, UINT down = WM_LBUTTONDOWN) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendToEditor(app, down, MK_LBUTTON | keys, where);
    SendToEditor(app, WM_LBUTTONUP, keys, where);
}

}  // namespace

E2E_TEST(Editor, TypingCyrillicEnterAndBackspaceThenShiftArrowsAndCut) {
    Program app = Program::Start();
    TypeKeys(app, L"\u043C\u043E\u0432 ax\r1");
    CHECK_EQ(app.EditorText(), L"\u043C\u043E\u0432 ax\r\n1");  // Enter gives CR LF
    TypeKeys(app, L"\b\b");                                     // the 1, then the line end as one character
    CHECK_EQ(app.EditorText(), L"\u043C\u043E\u0432 ax");
    TypeKeys(app, L"\t;");
    CHECK_EQ(app.EditorText(), L"\u043C\u043E\u0432 ax\t;");

    PressKey(app, VK_HOME);
    PressKey(app, VK_RIGHT, true);
    PressKey(app, VK_RIGHT, true);
    PressKey(app, VK_RIGHT, true);
    CHECK_EVENTUALLY_EQ(Selection(app), (Sel{0, 3}));
    SetClipboard(L"sentinel");
    PressKey(app, 'X', false, true);  // Ctrl+X: the menu's Cut
    CHECK_EVENTUALLY_EQ(app.EditorText(), L" ax\t;");
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L"\u043C\u043E\u0432"));
    PressKey(app, 'Z', false, true);  // Ctrl+Z
    CHECK_EVENTUALLY_EQ(app.EditorText(), L"\u043C\u043E\u0432 ax\t;");

    app.Close();  // typing marked the document changed
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), L"Save change to the file before exit?");
    PressButton(box, IDNO);
    CHECK(app.WaitForExit());
}

E2E_TEST(Editor, TheMousePlacesTheCaretExtendsWithShiftAndSelectsAWordWithADoubleClick) {
    Program app = Program::Start();
    app.TypeInEditor(L"mov ax, bx\r\nint 21h");
    const POINT lineOne = PositionOf(app, 0), lineTwo = PositionOf(app, 12), t = PositionOf(app, 14);
    CHECK_EQ(lineTwo.x, lineOne.x);
    CHECK(lineTwo.y > lineOne.y);
    CHECK(t.x > lineTwo.x);
    ClickAt(app, {t.x + 1, t.y + 1});
    CHECK_EQ(Selection(app), (Sel{14, 14}));
    const POINT v = PositionOf(app, 2);
    ClickAt(app, {v.x + 1, v.y + 1}, MK_SHIFT);
    CHECK_EQ(Selection(app), (Sel{2, 14}));
    const POINT x = PositionOf(app, 5);
    ClickAt(app, {x.x + 1, x.y + 1}, 0, WM_LBUTTONDBLCLK);
    CHECK_EQ(Selection(app), (Sel{4, 6}));
    ClickAt(app, {t.x + 1, t.y + 200});  // below the last line: on the last line
    CHECK_EQ(SendToEditor(app, EM_LINEFROMCHAR, static_cast<WPARAM>(-1)), 1);
}

}  // namespace e2e
