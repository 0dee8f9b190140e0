// The editor txtCode as its user sees it: typing (Cyrillic, Enter, Backspace)
// with the keyboard's messages, selecting with Shift and the arrows, placing
// the caret with the mouse, a large source opened and scrolled to its end, and
// NUL characters kept from file to file.
#include <chrono>

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

E2E_TEST(Editor, AFourMegabyteSourceOpensAtOnceAndCtrlEndShowsItsLastLine) {
    std::string bytes;
    int lines = 0;
    std::size_t lastStart = 0;
    while (bytes.size() < 4u << 20) {
        lastStart = bytes.size();
        char line[80];
        std::snprintf(line, sizeof line,
                      "        mov     ax, %06d        ; \xAB\xAE\xAC\xA5\xAD\xE2\xA0\xE0\xA8\xA9\r\n",
                      ++lines);
        bytes += line;
    }
    const std::wstring path = WorkFolder() + L"\\big.asm";
    WriteBytes(path, bytes);
    const auto started = std::chrono::steady_clock::now();
    Program app = Program::Start(path);
    REQUIRE_EVENTUALLY_EQ(SendToEditor(app, WM_GETTEXTLENGTH), static_cast<LRESULT>(bytes.size()));
    Log("the 4 MB source was shown " +
        std::to_string(std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - started).count()) +
        " ms after the start");
    CHECK_EQ(SendToEditor(app, EM_GETFIRSTVISIBLELINE), 0);
    CHECK_EQ(SendToEditor(app, EM_GETLINECOUNT), lines + 1);  // the last line end starts an empty line
    CHECK_EQ(app.EditorText() == DecodeWindows1251(bytes), true);
    Screenshot(L"editor-4mb-start");

    PressKey(app, VK_END, false, true);
    CHECK_EVENTUALLY_EQ(SendToEditor(app, EM_LINEFROMCHAR, static_cast<WPARAM>(-1)), lines);
    const auto lastLine = static_cast<std::size_t>(SendToEditor(app, EM_LINEINDEX, lines - 1));
    CHECK_EQ(lastLine, lastStart);
    RECT client{};
    GetClientRect(app.Editor(), &client);
    const POINT last = PositionOf(app, lastLine), end = PositionOf(app, bytes.size());
    CHECK(last.y >= 0);
    CHECK(end.y > last.y);
    CHECK(end.y + (end.y - last.y) <= client.bottom);
    Screenshot(L"editor-4mb-end");

    // Typing at the end of the large text: each key is handled at once.
    const auto typing = std::chrono::steady_clock::now();
    TypeKeys(app, std::wstring(100, L'x'));
    const auto perKey =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - typing)
            .count() /
        100;
    Log("typing at the end of the 4 MB source: " + std::to_string(perKey) + " microseconds a key");
    CHECK(perKey < 50000);
    CHECK_EQ(SendToEditor(app, WM_GETTEXTLENGTH), static_cast<LRESULT>(bytes.size() + 100));
}

E2E_TEST(Editor, NulCharactersSurviveOpenAndSave) {
    const std::wstring path = WorkFolder() + L"\\zeros.asm";
    const std::string bytes("db 0\0\0, 1\r\n\0\r\nend\0\r\n", 20);
    WriteBytes(path, bytes);
    Program app = Program::Start(path);
    CHECK_EQ(SendToEditor(app, WM_GETTEXTLENGTH), 20);
    Run(app, Command::Save);
    CHECK_EQ(ReadBytes(path), std::optional<std::string>(bytes + "\r\n"));  // a save adds one line end
}

}  // namespace e2e
