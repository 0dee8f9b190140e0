// The About box, the tool location and the build option dialogs: where they
// open, that they keep their size, how they block the window under them and
// give it back, the Tab order, and what they write.
#include "app/win32/frm_about.h"
#include "driver/e2e.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

// Where the program places a dialog: so many twips right of or below a window's edge.
long Moved(long pixels, int twips) {
    const int dpi = Px(1440);
    return Px(int((pixels * 1440 + dpi / 2) / dpi) + twips);
}

// Closes the dialog with the button (0: the close box); the window under it is enabled and active again.
void CloseAndCheckGivenBack(HWND dialog, int buttonId, HWND under) {
    buttonId ? Press(dialog, buttonId) : (void)PostMessageW(dialog, WM_CLOSE, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(dialog); }))
        Fail("the dialog stayed");
    EXPECT_EVENTUALLY(IsWindowEnabled(under) && GetForegroundWindow() == under);
}

// Tab, as the keyboard gives it to the focused control, moves the focus from OK to each id in turn.
void CheckTabOrder(HWND dialog, std::initializer_list<int> order) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const auto focus = [&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ? info.hwndFocus : nullptr;
    };
    EXPECT_EVENTUALLY_EQ(GetDlgCtrlID(focus()), kIdOptionsOk);
    for (int id : order) {
        PostMessageW(focus(), WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(focus(), WM_KEYUP, VK_TAB, 0xC00F0001);
        EXPECT_EVENTUALLY_EQ(GetDlgCtrlID(focus()), id);
    }
}

}  // namespace

TEST(Dialogs, EachDialogOpensAtItsPlaceBlocksWhatOpenedItAndGivesItBackOnEveryClosing) {
    Program app;
    HWND main = app.Main();
    SetWindowPos(main, nullptr, 37, 52, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // the dialogs follow the window
    ASSERT_EVENTUALLY_EQ(Pos(main), XY(37, 52));
    const struct {
        Command command;
        const wchar_t *className, *caption;
        int right, down, width, height;  // in twips; no width: the size is not checked
        int closeId;                     // 0: the close box
    } cases[] = {
        {Command::About, L"KorvelineAbout", L" Korveline", 900, 1000, 0, 0, kIdAboutOk},
        {Command::Tasm, L"KorvelineTasm", L" tasm", 400, 500, 5820, 1935, kIdToolCancel},
        {Command::Tlink, L"KorvelineTlink", L" tlink", 400, 500, 5820, 1935, 0},
        {Command::CommandLines, L"KorvelineCommand", L" Command Lines", 400, 500, 7020, 3540,
         kIdOptionsCancel},
    };
    for (const auto& c : cases) {
        HWND dialog = app.Open(c.command, c.className);
        EXPECT_EQ(Text(dialog), c.caption);
        EXPECT_EQ(Pos(dialog), XY(Moved(37, c.right), Moved(52, c.down)));
        const std::string size = XY(Px(c.width), Px(c.height));
        if (c.width) {
            EXPECT_EQ(Size(dialog), size);
            SetWindowPos(dialog, nullptr, 0, 0, Px(c.width) + 150, 100,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            EXPECT_EVENTUALLY_EQ(Size(dialog), size);  // dragged: it snaps back, but not maximised
            ShowWindowAsync(dialog, SW_MAXIMIZE);
            EXPECT_EVENTUALLY(IsZoomed(dialog) && Size(dialog) != size);
            ShowWindowAsync(dialog, SW_RESTORE);
            EXPECT_EVENTUALLY(!IsZoomed(dialog) && Size(dialog) == size);
        }
        EXPECT_FALSE(IsWindowEnabled(main));
        CloseAndCheckGivenBack(dialog, c.closeId, main);
    }
}

TEST(Dialogs, BuildOptionDialogsTabInTheirOrderTheComDialogBlocksTheExeDialogAndOkWritesTickedKinds) {
    Program app;
    HWND main = app.Main();
    registry.WriteString(RegRoot::LocalMachine, kStore, L"32btlinkEXE", L"old");
    HWND exe = app.Open(Command::CommandLines, L"KorvelineCommand");
    EXPECT_EQ(Text(exe, kIdOptionsFrame[1]), L"32b EXE");
    CheckTabOrder(
        exe, {kIdOptionsTasm[0], kIdOptionsTlink[0], kIdOptionsSave[0], kIdOptionsTlink[1], kIdOptionsTasm[1],
              kIdOptionsSave[1], kIdOptionsCancel, kIdOptionsCom, kIdOptionsDefault, kIdOptionsOk});
    Press(exe, kIdOptionsCom);
    HWND com = app.Wait(L"KorvelineCommand2");
    EXPECT_EQ(Text(com), L" Com Command Line");
    EXPECT_EQ(Pos(com), XY(Moved(Of(main).left, 800), Moved(Of(exe).top, 570)));
    EXPECT_FALSE(GetDlgItem(com, kIdOptionsCom));
    CheckTabOrder(
        com, {kIdOptionsTlink[0], kIdOptionsTasm[0], kIdOptionsTlink[1], kIdOptionsTasm[1], kIdOptionsCancel,
              kIdOptionsDefault, kIdOptionsSave[0], kIdOptionsSave[1], kIdOptionsOk});
    EXPECT_TRUE(!IsWindowEnabled(exe) && !IsWindowEnabled(main));
    CloseAndCheckGivenBack(com, 0, exe);  // not the main window
    EXPECT_FALSE(IsWindowEnabled(main));

    Press(exe, kIdOptionsDefault);  // fills both kinds and ticks them: OK writes them
    EXPECT_EVENTUALLY_EQ(Text(exe, kIdOptionsTlink[1]), L"/x /v /3");
    CloseAndCheckGivenBack(exe, kIdOptionsOk, main);
    EXPECT_EQ(Reg(RegRoot::LocalMachine, kStore, L"32btlinkEXE"), L"REG_SZ /x /v /3");
}

}  // namespace e2e
