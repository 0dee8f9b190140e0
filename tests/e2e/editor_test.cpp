// The editor txtCode as its user sees it: typing (Cyrillic, Enter, Backspace)
// with the keyboard's messages, selecting with Shift and the arrows through
// the accelerators, placing the caret with the mouse.
#include "editor_steps.h"

namespace e2e {
namespace {

LRESULT SendToEditor(const Program& app, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendTimed(app.Editor(), message, wParam, lParam);
}

void TypeKeys(const Program& app, const std::wstring& text) {
    for (wchar_t c : text)
        SendToEditor(app, WM_CHAR, c, 1);
}

// Real key presses, held in order and released in reverse (Shift, Ctrl, the
// key), to the program's main window brought to the front: they pass its
// accelerators as a user's would.
void PressKeys(const Program& app, std::initializer_list<WORD> keys) {
    HWND main = app.MainWindow();
    SetForegroundWindow(main);
    if (!WaitUntil([&] { return GetForegroundWindow() == main; }))
        Abort("the main window did not come to the front");
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
    TypeKeys(app, L"\u043C\u043E\u0432 ax\r1\b\b\t;");  // Backspace takes the 1, then CR LF as one
    CHECK_EQ(app.EditorText(), L"\u043C\u043E\u0432 ax\t;");

    PressKeys(app, {VK_HOME});
    for (int i = 0; i < 3; ++i)
        PressKeys(app, {VK_SHIFT, VK_RIGHT});
    CHECK_EVENTUALLY_EQ(Selection(app), (Sel{0, 3}));
    SetClipboard(L"sentinel");
    PressKeys(app, {VK_CONTROL, 'X'});  // Ctrl+X: the menu's Cut
    CHECK_EVENTUALLY_EQ(app.EditorText(), L" ax\t;");
    CHECK_EQ(ClipboardText(), std::optional<std::wstring>(L"\u043C\u043E\u0432"));
    PressKeys(app, {VK_CONTROL, 'Z'});  // Ctrl+Z
    CHECK_EVENTUALLY_EQ(app.EditorText(), L"\u043C\u043E\u0432 ax\t;");
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
