// The About box, the tool location dialogs and the build option dialogs:
// where they open, how they block the window under them, what closes them,
// the Tab order, that they keep their size, and what they write.
#include "app/win32/frm_about.h"
#include "driver/program.h"
#include "driver/registry.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

const HKEY kHklm = HKEY_LOCAL_MACHINE;
const wchar_t kStore[] = L"Software\\asm";

using Point = std::vector<long>;  // x, y
Point TopLeft(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}
Point SizeOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}
// A point given in twips from a window's top-left corner, as the program places its dialogs.
Point Offset(Point base, int rightTwips, int downTwips) {
    const int dpi = ScreenDpi();
    return {Px((base[0] * 1440 + dpi / 2) / dpi + rightTwips),
            Px((base[1] * 1440 + dpi / 2) / dpi + downTwips)};
}

HWND Open(const Program& app, Command command, const wchar_t* className) {
    app.Click(command);
    return app.WaitForWindow(className, kStateTimeout);  // shown, so loaded
}
// Closes the dialog with the button (0: the close box); the window under it is enabled and active again.
void CloseAndCheckGivenBack(HWND dialog, int buttonId, HWND under) {
    buttonId ? PressButton(dialog, buttonId) : (void)PostMessageW(dialog, WM_CLOSE, 0, 0);
    REQUIRE_EVENTUALLY(!IsWindow(dialog));
    CHECK_EVENTUALLY(IsWindowEnabled(under) != FALSE);
    CHECK_EVENTUALLY_EQ(GetForegroundWindow(), under);
}

LRESULT SendTo(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    return SendTimed(GetDlgItem(dialog, id), message, wParam, lParam);
}
void SetText(HWND dialog, int id, const std::wstring& text) {
    SendTo(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
bool Ticked(HWND dialog, int id) {
    return SendTo(dialog, id, BM_GETCHECK, 0) == BST_CHECKED;
}

// Presses Tab in the focused control as the keyboard would, for each id in turn, and
// checks that the focus goes there; the focus starts on OK.
void CheckTabOrder(HWND dialog, std::initializer_list<int> order) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const auto focus = [&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ? info.hwndFocus : nullptr;
    };
    CHECK_EVENTUALLY_EQ(GetDlgCtrlID(focus()), kIdOptionsOk);
    for (int id : order) {
        PostMessageW(focus(), WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(focus(), WM_KEYUP, VK_TAB, 0xC00F0001);
        CHECK_EVENTUALLY_EQ(GetDlgCtrlID(focus()), id);
    }
}

}  // namespace

E2E_TEST(Dialogs, EachDialogOpensAtItsPlaceBlocksWhatOpenedItAndGivesItBackOnEveryClosing) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    SetWindowPos(main, nullptr, 37, 52, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // the dialogs follow the window
    REQUIRE_EVENTUALLY_EQ(TopLeft(main), (Point{37, 52}));
    struct Case {
        Command command;
        const wchar_t *className, *caption;
        int offset[2], size[2];  // in twips; no size: not checked
        int closeId;             // 0: the close box
    };
    const Case cases[] = {
        {Command::About, L"KorvelineAbout", L" Korveline", {900, 1000}, {0, 0}, kIdAboutOk},
        {Command::About, L"KorvelineAbout", L" Korveline", {900, 1000}, {0, 0}, 0},
        {Command::Tasm, L"KorvelineTasm", L" tasm", {400, 500}, {5820, 1935}, kIdToolCancel},
        {Command::Tlink, L"KorvelineTlink", L" tlink", {400, 500}, {5820, 1935}, 0},
        {Command::CommandLines,
         L"KorvelineCommand",
         L" Command Lines",
         {400, 500},
         {7020, 3540},
         kIdOptionsCancel},
    };
    for (const Case& c : cases) {
        Log(std::wstring(L"  dialog") + c.caption);
        HWND dialog = Open(app, c.command, c.className);
        CHECK_EQ(WindowText(dialog), std::wstring(c.caption));
        CHECK_EQ(TopLeft(dialog), Offset(TopLeft(main), c.offset[0], c.offset[1]));
        const Point size{Px(c.size[0]), Px(c.size[1])};
        if (c.size[0]) {
            CHECK_EQ(SizeOf(dialog), size);
            SetWindowPos(dialog, nullptr, 0, 0, size[0] + 150, size[1] / 2,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            CHECK_EVENTUALLY_EQ(SizeOf(dialog), size);  // dragged: it snaps back, but not maximised
            ShowWindowAsync(dialog, SW_MAXIMIZE);
            CHECK_EVENTUALLY(IsZoomed(dialog) && SizeOf(dialog)[0] > size[0]);
            ShowWindowAsync(dialog, SW_RESTORE);
            CHECK_EVENTUALLY(!IsZoomed(dialog) && SizeOf(dialog) == size);
        }
        CHECK(IsWindowEnabled(main) == FALSE);
        CloseAndCheckGivenBack(dialog, c.closeId, main);
    }
}

E2E_TEST(Dialogs, BuildOptionDialogsTabInTheirOrderTheComDialogBlocksTheExeDialogAndOkWritesTickedKinds) {
    Program app = Program::Start();
    HWND main = app.MainWindow();
    for (const wchar_t* name : {L"16btasmEXE", L"16btlinkEXE", L"32btasmEXE", L"32btlinkEXE"})
        RegPut(kHklm, kStore, name, RegSz(L"old"));
    HWND exe = Open(app, Command::CommandLines, L"KorvelineCommand");
    CHECK_EQ(ControlText(exe, kIdOptionsFrame[1]), L"32b EXE");
    CheckTabOrder(
        exe, {kIdOptionsTasm[0], kIdOptionsTlink[0], kIdOptionsSave[0], kIdOptionsTlink[1], kIdOptionsTasm[1],
              kIdOptionsSave[1], kIdOptionsCancel, kIdOptionsCom, kIdOptionsDefault, kIdOptionsOk});
    PressButton(exe, kIdOptionsCom);
    HWND com = app.WaitForWindow(L"KorvelineCommand2", kStateTimeout);
    CHECK_EQ(WindowText(com), L" Com Command Line");
    CHECK_EQ(TopLeft(com), (Point{Offset(TopLeft(main), 800, 0)[0], Offset(TopLeft(exe), 0, 570)[1]}));
    CHECK(GetDlgItem(com, kIdOptionsCom) == nullptr);
    CheckTabOrder(
        com, {kIdOptionsTlink[0], kIdOptionsTasm[0], kIdOptionsTlink[1], kIdOptionsTasm[1], kIdOptionsCancel,
              kIdOptionsDefault, kIdOptionsSave[0], kIdOptionsSave[1], kIdOptionsOk});
    CHECK(IsWindowEnabled(exe) == FALSE && IsWindowEnabled(main) == FALSE);
    CloseAndCheckGivenBack(com, 0, exe);  // not the main window
    CHECK(IsWindowEnabled(main) == FALSE);

    PressButton(exe, kIdOptionsDefault);
    CHECK_EVENTUALLY_EQ(ControlText(exe, kIdOptionsTlink[1]), L"/x /v /3");
    CHECK(Ticked(exe, kIdOptionsSave[0]) && Ticked(exe, kIdOptionsSave[1]));
    SetText(exe, kIdOptionsTasm[0], L"/t16");
    SendTo(exe, kIdOptionsSave[0], BM_SETCHECK, BST_UNCHECKED);
    CloseAndCheckGivenBack(exe, kIdOptionsOk, main);
    CHECK_EQ(RegGet(kHklm, kStore, L"16btasmEXE"), RegSz(L"old"));
    CHECK_EQ(RegGet(kHklm, kStore, L"32btlinkEXE"), RegSz(L"/x /v /3"));
    exe = Open(app, Command::CommandLines, L"KorvelineCommand");  // both kinds apply to this run all the same
    CHECK_EQ(ControlText(exe, kIdOptionsTasm[0]), L"/t16");
    CHECK(!Ticked(exe, kIdOptionsSave[0]) && !Ticked(exe, kIdOptionsSave[1]));
}

}  // namespace e2e
